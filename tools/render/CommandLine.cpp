#include "CommandLine.h"

namespace
{
    constexpr int maxBlockSize = 65536;

    juce::File fileFromArgument (const juce::String& path)
    {
        return juce::File::getCurrentWorkingDirectory().getChildFile (path);
    }

    std::optional<int> parseWholeNumber (const juce::String& text)
    {
        // Nine digits at most, so the value always fits an int.
        if (text.isEmpty() || text.length() > 9 || ! text.containsOnly ("0123456789"))
            return std::nullopt;

        return text.getIntValue();
    }
}

juce::Result CommandLine::parse (const juce::StringArray& arguments, RenderOptions& options)
{
    juce::StringArray positional;

    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];

        const auto takeValue = [&] (juce::String& value)
        {
            if (i + 1 >= arguments.size())
                return false;

            value = arguments[++i];
            return true;
        };

        if (argument == "-h" || argument == "--help")
        {
            options.showHelp = true;
            continue;
        }

        if (argument == "--list")
        {
            options.listPlugin = true;
            continue;
        }

        if (! argument.startsWith ("-"))
        {
            positional.add (argument);
            continue;
        }

        static const juce::StringArray optionsWithValues { "--preset", "--set", "--block-size", "--bits", "--plot", "--plugin" };

        if (! optionsWithValues.contains (argument))
            return juce::Result::fail ("unknown option " + argument + " (see --help)");

        juce::String value;

        if (! takeValue (value))
            return juce::Result::fail (argument + " needs a value (see --help)");

        if (argument == "--preset")
        {
            options.preset = value.trim();
        }
        else if (argument == "--set")
        {
            const auto id = value.upToFirstOccurrenceOf ("=", false, false).trim();
            const auto setting = value.fromFirstOccurrenceOf ("=", false, false).trim();

            if (! value.contains ("=") || id.isEmpty() || setting.isEmpty())
                return juce::Result::fail ("--set takes ID=VALUE, for example --set threshold=-3; got \"" + value + "\"");

            options.settings.push_back ({ id, setting });
        }
        else if (argument == "--block-size")
        {
            const auto blockSize = parseWholeNumber (value);

            if (! blockSize.has_value() || *blockSize < 1 || *blockSize > maxBlockSize)
                return juce::Result::fail ("--block-size must be a whole number from 1 to " + juce::String (maxBlockSize) + "; got \"" + value + "\"");

            options.blockSize = *blockSize;
        }
        else if (argument == "--bits")
        {
            const auto bits = parseWholeNumber (value);

            if (! bits.has_value() || (*bits != 16 && *bits != 24 && *bits != 32))
                return juce::Result::fail ("--bits must be 16, 24 or 32; got \"" + value + "\"");

            options.bitsPerSample = *bits;
        }
        else if (argument == "--plot")
        {
            options.plot = fileFromArgument (value);
        }
        else
        {
            options.bundle = fileFromArgument (value);
        }
    }

    if (positional.size() > 2)
        return juce::Result::fail ("too many files: give at most an input and an output (see --help)");

    if (positional.size() > 0)
        options.input = fileFromArgument (positional[0]);

    if (positional.size() > 1)
        options.output = fileFromArgument (positional[1]);
    else if (positional.size() == 1)
        options.output = getDefaultOutputFor (options.input);
    else
        options.output = juce::File::getCurrentWorkingDirectory().getChildFile ("ceilora-demo.wav");

    return juce::Result::ok();
}

juce::File CommandLine::getDefaultOutputFor (const juce::File& input)
{
    return input.getSiblingFile (input.getFileNameWithoutExtension() + "-ceilora" + input.getFileExtension());
}

juce::String CommandLine::getUsage()
{
    return R"(Usage: ceilora-render [options] [INPUT [OUTPUT]]

Renders INPUT (WAV, AIFF or FLAC, any channel count the plug-in accepts, at the file's own
sample rate) through the Ceilora.vst3 plug-in into a stereo OUTPUT (WAV, AIFF or FLAC, chosen by
its extension; default: INPUT's name with "-ceilora" added, beside it) and prints input and
output levels. Without INPUT it renders a built-in demo signal into ceilora-demo.wav in the
current folder.

Options:
  --preset NAME|NUMBER  start from a factory preset, by name ("Brick Wall") or by the
                        plug-in's own program number, 0 (Init) to 4; see --list
  --set ID=VALUE        set a parameter in its own unit, applied after the preset and
                        repeatable: --set threshold=-3 --set lookahead=5 --set bypass=on
  --block-size N        samples per processing block, 1 to 65536 (default 512)
  --bits 16|24|32       output sample format; 32 is floating point and WAV only
                        (default: 32 for WAV, 24 for AIFF and FLAC)
  --plot FILE.png       draw input and output peak levels, the threshold and the
                        gain reduction over time
  --plugin PATH         the Ceilora.vst3 bundle to load (default: the one built with
                        this tool)
  --list                print the plug-in's presets and parameters with their ranges
  -h, --help            print this text

The plug-in reports no latency, so the output is delayed by the look-ahead, as in a host.
A clip is an output sample whose magnitude is 1.0 (0 dBFS) or more.
Exit status: 0 when done; on any error, 1 and one line on the error stream.)";
}
