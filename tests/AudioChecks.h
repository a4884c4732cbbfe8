#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>

/** True when no sample of the buffer is NaN or infinite. */
inline bool allSamplesFinite (const juce::AudioBuffer<float>& buffer)
{
    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (! std::isfinite (buffer.getSample (channel, i)))
                return false;

    return true;
}
