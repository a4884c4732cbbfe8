#include "DemoSignalReader.h"

namespace
{
    constexpr double demoSampleRate = 48000.0;
    constexpr double demoSeconds = 6.0;
    constexpr float toneLevel = 0.25f;              // -12 dBFS
    constexpr double toneHz[] { 220.0, 330.0 };     // left, right: a fifth apart
    constexpr double hitDecaySeconds = 0.06;
    constexpr double hitLengthSeconds = 0.4;
    constexpr double fadeSeconds = 0.01;
}

DemoSignalReader::DemoSignalReader()
    : juce::AudioFormatReader (nullptr, "Demo signal")
{
    sampleRate = demoSampleRate;
    bitsPerSample = 32;
    lengthInSamples = (juce::int64) (demoSampleRate * demoSeconds);
    numChannels = 2;
    usesFloatingPointData = true;

    // Hits every 375 ms that swell from half scale to +6 dBFS and back, wandering across the image.
    for (int index = 0; index < 14; ++index)
    {
        const auto swell = std::sin (juce::MathConstants<double>::pi * index / 13.0);
        hits.push_back ({ 0.5 + 0.375 * index, (float) (0.5 + 1.5 * swell), (float) ((index % 5) / 4.0) });
    }

    juce::Random random (20261211);
    noise.resize ((size_t) (demoSampleRate * hitLengthSeconds));

    for (auto& sample : noise)
        sample = 2.0f * random.nextFloat() - 1.0f;
}

float DemoSignalReader::getSample (int channel, juce::int64 position) const
{
    const auto time = (double) position / demoSampleRate;
    const auto fade = juce::jmin (1.0, time / fadeSeconds, (demoSeconds - time) / fadeSeconds);
    auto sample = toneLevel * (float) (fade * std::sin (juce::MathConstants<double>::twoPi * toneHz[channel] * time));

    for (const auto& hit : hits)
    {
        const auto age = time - hit.time;

        if (age < 0.0 || age >= hitLengthSeconds)
            continue;

        // A struck body: a noise burst and a low thump that both die away quickly.
        const auto envelope = std::exp (-age / hitDecaySeconds);
        const auto thump = std::sin (juce::MathConstants<double>::twoPi * 60.0 * age);
        const auto body = 0.5 * noise[(size_t) (age * demoSampleRate)] + 0.5 * thump;
        const auto side = channel == 0 ? 1.0f - hit.pan : hit.pan;
        sample += hit.amplitude * (0.5f + side) / 1.5f * (float) (envelope * body);
    }

    return sample;
}

bool DemoSignalReader::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                                    juce::int64 startSampleInFile, int numSamples)
{
    for (int channel = 0; channel < numDestChannels; ++channel)
    {
        if (destChannels[channel] == nullptr)
            continue;

        auto* destination = reinterpret_cast<float*> (destChannels[channel]) + startOffsetInDestBuffer;

        for (int i = 0; i < numSamples; ++i)
        {
            const auto position = startSampleInFile + i;
            destination[i] = channel < (int) numChannels && juce::isPositiveAndBelow (position, lengthInSamples)
                                 ? getSample (channel, position)
                                 : 0.0f;
        }
    }

    return true;
}
