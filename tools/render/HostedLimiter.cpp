#include "HostedLimiter.h"

#include <cmath>
#include <cstdlib>

namespace
{
    // JUCE's VST3 client layer derives each parameter's VST3 ID from its string ID with this
    // function, masked to 31 bits (its default, for hosts that refuse the top bit).
    juce::String vst3IdFor (const juce::String& id)
    {
        return juce::String (juce::VST3ClientExtensions::convertJuceParameterId (id, true));
    }

    std::optional<float> parseNumber (const juce::String& text)
    {
        const auto utf8 = text.trim().toStdString();
        char* end = nullptr;
        const auto value = std::strtod (utf8.c_str(), &end);

        if (utf8.empty() || end != utf8.c_str() + utf8.size() || ! std::isfinite (value))
            return std::nullopt;

        return (float) value;
    }

    juce::String formatPlain (float value)
    {
        return juce::String (value, 3).trimCharactersAtEnd ("0").trimCharactersAtEnd (".");
    }
}

HostedLimiter::HostedLimiter (std::unique_ptr<juce::AudioPluginInstance> loaded)
    : instance (std::move (loaded))
{
}

const juce::StringArray& HostedLimiter::getParameterIds()
{
    static const juce::StringArray ids { "threshold", "lookahead", "release", "trim", "soft", "bypass" };
    return ids;
}

std::unique_ptr<HostedLimiter> HostedLimiter::load (const juce::File& bundle, double sampleRate, int blockSize, juce::String& error)
{
    const auto path = bundle.getFullPathName();
    const auto quotedPath = "\"" + path + "\"";

    if (! bundle.isDirectory())
    {
        error = "no plug-in bundle at " + quotedPath;
        return {};
    }

    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> descriptions;
    format.findAllTypesForFile (descriptions, path);

    if (descriptions.isEmpty())
    {
        error = "cannot load " + quotedPath + " as a VST3 plug-in";
        return {};
    }

    const auto* description = descriptions[0];

    if (description->name != "Ceilora")
    {
        error = quotedPath + " holds the plug-in \"" + description->name + "\", not Ceilora";
        return {};
    }

    juce::String creationError;
    auto instance = format.createInstanceFromDescription (*description, sampleRate, blockSize, creationError);

    if (instance == nullptr)
    {
        error = "cannot start the plug-in in " + quotedPath + (creationError.isEmpty() ? juce::String() : ": " + creationError);
        return {};
    }

    return std::unique_ptr<HostedLimiter> (new HostedLimiter (std::move (instance)));
}

juce::Result HostedLimiter::setInputChannels (int numInputChannels)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (juce::AudioChannelSet::canonicalChannelSet (numInputChannels));
    layout.outputBuses.add (juce::AudioChannelSet::stereo());

    if (! instance->setBusesLayout (layout))
        return juce::Result::fail ("the plug-in does not accept " + juce::String (numInputChannels) + "-channel input");

    return juce::Result::ok();
}

juce::Result HostedLimiter::applyPreset (const juce::String& nameOrNumber)
{
    const auto numPrograms = instance->getNumPrograms();
    juce::StringArray names;

    for (int index = 0; index < numPrograms; ++index)
        names.add (instance->getProgramName (index));

    auto index = names.indexOf (nameOrNumber, true);

    if (index < 0 && nameOrNumber.isNotEmpty() && nameOrNumber.containsOnly ("0123456789") && nameOrNumber.length() < 9)
        index = juce::isPositiveAndBelow (nameOrNumber.getIntValue(), numPrograms) ? nameOrNumber.getIntValue() : -1;

    if (index < 0)
        return juce::Result::fail ("unknown preset \"" + nameOrNumber + "\": choose " + names.joinIntoString (", ")
                                   + " or a number from 0 to " + juce::String (numPrograms - 1));

    instance->setCurrentProgram (index);

    if (instance->getCurrentProgram() != index)
        return juce::Result::fail ("the plug-in did not switch to preset " + juce::String (index) + " (" + names[index] + ")");

    return juce::Result::ok();
}

juce::AudioProcessorParameter* HostedLimiter::findParameter (const juce::String& id) const
{
    const auto wanted = vst3IdFor (id);

    for (auto* parameter : instance->getParameters())
        if (auto* hosted = dynamic_cast<juce::HostedAudioProcessorParameter*> (parameter))
            if (hosted->getParameterID() == wanted)
                return parameter;

    return nullptr;
}

bool HostedLimiter::isSwitch (const juce::AudioProcessorParameter& parameter)
{
    return parameter.getNumSteps() == 2;
}

float HostedLimiter::toPlain (const juce::AudioProcessorParameter& parameter, float normalised)
{
    return parameter.getText (normalised, 64).getFloatValue();
}

juce::Result HostedLimiter::setParameter (const juce::String& requestedId, const juce::String& value)
{
    const auto& ids = getParameterIds();
    const auto idIndex = ids.indexOf (requestedId, true);

    if (idIndex < 0)
        return juce::Result::fail ("unknown parameter \"" + requestedId + "\": use " + ids.joinIntoString (", "));

    const auto& id = ids[idIndex];
    auto* parameter = findParameter (id);

    if (parameter == nullptr)
        return juce::Result::fail ("the loaded plug-in has no parameter \"" + id + "\"");

    if (isSwitch (*parameter))
    {
        const juce::StringArray offWords { "off", "0", "false", "no" };
        const juce::StringArray onWords { "on", "1", "true", "yes" };

        if (! offWords.contains (value, true) && ! onWords.contains (value, true))
            return juce::Result::fail (id + " is on or off; got \"" + value + "\"");

        parameter->setValue (onWords.contains (value, true) ? 1.0f : 0.0f);
        return juce::Result::ok();
    }

    const auto number = parseNumber (value);
    const auto minimum = toPlain (*parameter, 0.0f);
    const auto maximum = toPlain (*parameter, 1.0f);
    const auto range = parameter->getName (64) + " goes from " + formatPlain (minimum) + " to " + formatPlain (maximum);

    if (! number.has_value())
        return juce::Result::fail (id + " needs a number; got \"" + value + "\" (" + range + ")");

    if (*number < minimum || *number > maximum)
        return juce::Result::fail (id + "=" + value + " is out of range: " + range);

    parameter->setValue (parameter->getValueForText (juce::String (*number, 7)));
    return juce::Result::ok();
}

float HostedLimiter::getValue (const juce::String& id) const
{
    auto* parameter = findParameter (id);

    if (parameter == nullptr)
        return 0.0f;

    return isSwitch (*parameter) ? parameter->getValue() : toPlain (*parameter, parameter->getValue());
}

juce::String HostedLimiter::describeSettings() const
{
    juce::StringArray settings;

    for (const auto& id : getParameterIds())
        if (auto* parameter = findParameter (id))
            settings.add (parameter->getName (64) + " " + parameter->getCurrentValueAsText());

    return settings.joinIntoString (", ");
}

juce::String HostedLimiter::describeRange (const juce::String& id) const
{
    auto* parameter = findParameter (id);

    if (parameter == nullptr)
        return "missing";

    if (isSwitch (*parameter))
        return "off or on, now " + parameter->getCurrentValueAsText();

    return formatPlain (toPlain (*parameter, 0.0f)) + " to " + formatPlain (toPlain (*parameter, 1.0f))
           + ", now " + parameter->getCurrentValueAsText();
}

juce::String HostedLimiter::describePlugin() const
{
    const auto description = instance->getPluginDescription();
    juce::String text;
    text << description.name << " " << description.version << " by " << description.manufacturerName
         << "\n\nPresets (--preset NAME or NUMBER):\n";

    for (int index = 0; index < instance->getNumPrograms(); ++index)
        text << "  " << index << "  " << instance->getProgramName (index) << "\n";

    text << "\nParameters (--set ID=VALUE):\n";

    for (const auto& id : getParameterIds())
    {
        auto* parameter = findParameter (id);
        text << "  " << id.paddedRight (' ', 10) << " "
             << (parameter != nullptr ? parameter->getName (64) : juce::String()).paddedRight (' ', 17) << " "
             << describeRange (id) << "\n";
    }

    return text;
}
