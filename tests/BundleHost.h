#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

/** Finds and instantiates the built Ceilora.vst3 through JUCE's VST3 hosting, as a host would. */
namespace BundleHost
{
    inline const juce::File bundle { CEILORA_VST3_BUNDLE };

    inline std::unique_ptr<juce::PluginDescription> describeBundle (const juce::File& bundleToDescribe = bundle)
    {
        juce::VST3PluginFormat format;
        juce::OwnedArray<juce::PluginDescription> descriptions;
        format.findAllTypesForFile (descriptions, bundleToDescribe.getFullPathName());

        if (descriptions.size() != 1)
            return {};

        return std::make_unique<juce::PluginDescription> (*descriptions[0]);
    }

    inline std::unique_ptr<juce::AudioPluginInstance> loadBundle (double sampleRate = 44100.0, int blockSize = 512,
                                                                  const juce::File& bundleToLoad = bundle)
    {
        const auto description = describeBundle (bundleToLoad);

        if (description == nullptr)
            return {};

        juce::VST3PluginFormat format;
        juce::String error;
        auto instance = format.createInstanceFromDescription (*description, sampleRate, blockSize, error);
        EXPECT_TRUE (error.isEmpty()) << error;
        return instance;
    }

    inline juce::AudioProcessor::BusesLayout layoutOf (const juce::AudioChannelSet& input, const juce::AudioChannelSet& output)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (input);
        layout.outputBuses.add (output);
        return layout;
    }
}
