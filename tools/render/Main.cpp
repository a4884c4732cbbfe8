// ceilora-render: renders an audio file through the built Ceilora.vst3, as a host would, and
// reports the levels before and after.

#include "CommandLine.h"
#include "Renderer.h"

#include <iostream>

int main (int argc, char* argv[])
{
    juce::StringArray arguments;

    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    const auto fail = [] (const juce::String& message)
    {
        std::cerr << "ceilora-render: " << message << std::endl;
        return 1;
    };

    RenderOptions options;

    if (const auto parsed = CommandLine::parse (arguments, options); parsed.failed())
        return fail (parsed.getErrorMessage());

    if (options.showHelp)
    {
        std::cout << CommandLine::getUsage() << std::endl;
        return 0;
    }

    // The plug-in and JUCE's VST3 hosting expect a message thread: this one.
    const juce::ScopedJuceInitialiser_GUI juceInitialiser;
    Renderer renderer (options);

    if (const auto result = options.listPlugin ? renderer.listPlugin() : renderer.run(); result.failed())
        return fail (result.getErrorMessage());

    std::cout << renderer.getSummary() << std::flush;
    return 0;
}
