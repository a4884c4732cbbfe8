#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

/**
    A few seconds of stereo test material read like a file: a steady two-note tone with drum-like
    transients on top, some of them well over full scale, so that a render shows the limiter
    both idle and at work.
*/
class DemoSignalReader : public juce::AudioFormatReader
{
public:
    DemoSignalReader();

    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    float getSample (int channel, juce::int64 position) const;

    struct Hit
    {
        double time;       // seconds
        float amplitude;   // peak, linear
        float pan;         // 0 left .. 1 right
    };

    std::vector<Hit> hits;
    std::vector<float> noise;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DemoSignalReader)
};
