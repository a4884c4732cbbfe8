#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/**
    The Ceilora.vst3 bundle loaded through JUCE's VST3 hosting, as any host loads it, with the
    plug-in's parameters addressed by their string IDs and set in their own units. Ranges, texts
    and preset names are read from the loaded plug-in, so they follow whatever bundle is loaded.
*/
class HostedLimiter
{
public:
    /** Loads the bundle; fails with a one-line reason when it is not a loadable Ceilora bundle. */
    static std::unique_ptr<HostedLimiter> load (const juce::File& bundle, double sampleRate, int blockSize, juce::String& error);

    /** Asks the plug-in for numInputChannels in and stereo out (the only output it offers). */
    juce::Result setInputChannels (int numInputChannels);

    /** Applies a factory preset given by name (any case) or by program number. */
    juce::Result applyPreset (const juce::String& nameOrNumber);

    /** Sets a parameter in its own unit; values outside the plug-in's range are refused. */
    juce::Result setParameter (const juce::String& id, const juce::String& value);

    /** The parameter's current value in its own unit, as the plug-in converts it (0 or 1 for a switch). */
    float getValue (const juce::String& id) const;

    /** One line with every parameter's name and current text, as the plug-in shows them. */
    juce::String describeSettings() const;

    /** The presets and parameters with their ranges, for --list. */
    juce::String describePlugin() const;

    juce::AudioPluginInstance& getInstance() noexcept  { return *instance; }

    /** The string IDs of the plug-in's parameters, in the plug-in's order. */
    static const juce::StringArray& getParameterIds();

private:
    explicit HostedLimiter (std::unique_ptr<juce::AudioPluginInstance>);

    juce::AudioProcessorParameter* findParameter (const juce::String& id) const;
    static bool isSwitch (const juce::AudioProcessorParameter&);
    static float toPlain (const juce::AudioProcessorParameter&, float normalised);
    juce::String describeRange (const juce::String& id) const;

    std::unique_ptr<juce::AudioPluginInstance> instance;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HostedLimiter)
};
