#pragma once

#include "plugin/PluginProcessor.h"

#include <gtest/gtest.h>

#include <vector>

/** A prepared processor plus helpers to set parameters and run plain buffers through it. */
class EngineFixture : public testing::Test
{
protected:
    void prepare (double sampleRate, int blockSize = 512)
    {
        processor.setRateAndBufferSizeDetails (sampleRate, blockSize);
        processor.prepareToPlay (sampleRate, blockSize);
    }

    void set (const char* id, float plainValue)
    {
        auto* parameter = processor.parameters.getParameter (id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (plainValue));
    }

    float valueOf (const char* id)
    {
        return processor.parameters.getRawParameterValue (id)->load();
    }

    /** Runs one channel's samples through the processor, as a stereo block with both channels equal. */
    std::vector<float> process (const std::vector<float>& input)
    {
        juce::AudioBuffer<float> buffer (2, (int) input.size());

        if (! input.empty())
            for (int channel = 0; channel < 2; ++channel)
                buffer.copyFrom (channel, 0, input.data(), (int) input.size());

        processor.processBlock (buffer, midi);
        return { buffer.getReadPointer (0), buffer.getReadPointer (0) + buffer.getNumSamples() };
    }

    static std::vector<float> impulse (int length, int position, float amplitude)
    {
        std::vector<float> samples ((size_t) length, 0.0f);
        samples[(size_t) position] = amplitude;
        return samples;
    }

    static std::vector<float> sine (int length, float amplitude, float cyclesPerSample = 0.01f)
    {
        std::vector<float> samples ((size_t) length);

        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = amplitude * std::sin (juce::MathConstants<float>::twoPi * cyclesPerSample * (float) i);

        return samples;
    }

    /** The saturation stage alone, with the engine's operations: tanh (k * y) / tanh (k), then trim. */
    static float saturate (float y, float soft, float trimGain = 1.0f)
    {
        const auto k = soft * 10.0f + 1.0f;
        return trimGain * (std::tanh (k * y) / std::tanh (k));
    }

    CeiloraAudioProcessor processor;
    juce::MidiBuffer midi;
};
