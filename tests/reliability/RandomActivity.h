#pragma once

#include "plugin/PluginProcessor.h"

#include <array>

/** A buffer that every block of up to maxSamples fits into without reallocating. It is sized with
    setSize, which reckons its storage as the later, smaller setSize calls do; the constructor
    reckons a few bytes less, so the largest blocks would reallocate. */
inline juce::AudioBuffer<float> makeBlockBuffer (int numChannels, int maxSamples)
{
    juce::AudioBuffer<float> buffer;
    buffer.setSize (numChannels, maxSamples);
    return buffer;
}

/** Fills audio blocks the way a careless host and a loud session would. */
class RandomAudio
{
public:
    explicit RandomAudio (juce::int64 seed) : random (seed) {}

    /** Resizes the buffer (keeping its storage) to a random length up to maxSamples and fills it with
        noise up to twice full scale, now and then with a NaN or an infinity in it.
        Returns false when the block holds a non-finite sample. */
    bool fillRandomBlock (juce::AudioBuffer<float>& buffer, int numChannels, int maxSamples)
    {
        const auto numSamples = random.nextInt (10) == 0 ? 0 : random.nextInt (maxSamples + 1);
        buffer.setSize (numChannels, numSamples, false, false, true);

        const auto level = 2.0f * random.nextFloat();

        for (int channel = 0; channel < numChannels; ++channel)
        {
            auto* samples = buffer.getWritePointer (channel);

            for (int i = 0; i < numSamples; ++i)
                samples[i] = level * (2.0f * random.nextFloat() - 1.0f);
        }

        if (numSamples == 0 || random.nextInt (20) != 0)
            return true;

        constexpr std::array<float, 3> hostile { std::numeric_limits<float>::quiet_NaN(),
                                                 std::numeric_limits<float>::infinity(),
                                                 -std::numeric_limits<float>::infinity() };
        buffer.setSample (random.nextInt (numChannels), random.nextInt (numSamples),
                          hostile[(size_t) random.nextInt ((int) hostile.size())]);
        return false;
    }

private:
    juce::Random random;
};

/** What a host and a user do to a playing processor from the message thread: move parameters,
    toggle bypass, pick programs (valid or not) and read, decay and reset the meter sources. */
class RandomControlActivity
{
public:
    RandomControlActivity (CeiloraAudioProcessor& processorToDrive, juce::int64 seed)
        : processor (processorToDrive), random (seed)
    {
    }

    void step()
    {
        switch (random.nextInt (6))
        {
            case 0:  setProgram(); break;
            case 1:  setParameter ("bypass", random.nextBool() ? 1.0f : 0.0f); break;
            case 2:  readMeters(); break;
            default: setParameter (floatParameterIDs[(size_t) random.nextInt ((int) floatParameterIDs.size())],
                                   random.nextFloat());
                     break;
        }
    }

private:
    void setParameter (const char* parameterID, float normalisedValue)
    {
        auto* parameter = processor.parameters.getParameter (parameterID);
        parameter->beginChangeGesture();
        parameter->setValueNotifyingHost (normalisedValue);
        parameter->endChangeGesture();
    }

    void setProgram()
    {
        processor.setCurrentProgram (random.nextInt ({ -1, processor.getNumPrograms() + 1 }));
    }

    void readMeters()
    {
        for (auto* source : { &processor.inputMeterSource, &processor.outputMeterSource })
        {
            for (int channel = 0; channel < source->channelCount(); ++channel)
            {
                juce::ignoreUnused (source->rmsLevel (channel), source->peakLevel (channel),
                                    source->peakOverallLevel (channel), source->isClipped (channel),
                                    source->reductionLevel (channel));
            }

            source->decayIfIdle();
            source->clearNewData();

            if (random.nextInt (10) == 0)
            {
                source->resetPeakOverall();
                source->resetClipFlags();
            }
        }
    }

    static constexpr std::array<const char*, 5> floatParameterIDs { "threshold", "lookahead", "release", "trim", "soft" };

    CeiloraAudioProcessor& processor;
    juce::Random random;
};
