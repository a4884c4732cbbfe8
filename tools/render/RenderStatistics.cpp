#include "RenderStatistics.h"

#include <cmath>

float RenderStatistics::OutputStage::undo (float outputMagnitude) const
{
    if (bypassed)
        return outputMagnitude;

    if (trimGain <= 0.0f)
        return 0.0f;

    // Just below 1, where the saturation's inverse is still finite.
    constexpr double largestTanh = 1.0 - 1.0e-12;
    const auto saturated = juce::jmin ((double) outputMagnitude / trimGain * std::tanh ((double) drive), largestTanh);
    return (float) (std::atanh (saturated) / drive);
}

RenderStatistics::RenderStatistics (int numInputChannels, int numOutputChannels, double rate, int lookahead, OutputStage stage)
    : sampleRate (rate),
      windowLength (juce::jmax (1, juce::roundToInt (rate * windowSeconds))),
      lookaheadSamples (lookahead),
      outputStage (stage),
      inputLevels ((size_t) numInputChannels),
      outputLevels ((size_t) numOutputChannels)
{
}

void RenderStatistics::addWindowPeak (std::vector<float>& peaks, size_t window, float peak)
{
    if (window >= peaks.size())
        peaks.resize (window + 1, 0.0f);

    peaks[window] = juce::jmax (peaks[window], peak);
}

void RenderStatistics::addInput (const float* const* channels, int numSamples)
{
    for (size_t channel = 0; channel < inputLevels.size(); ++channel)
    {
        auto& level = inputLevels[channel];

        for (int i = 0; i < numSamples; ++i)
        {
            const auto magnitude = std::abs (channels[channel][i]);
            level.add (magnitude);
            addWindowPeak (inputWindowPeaks, (size_t) ((numInputSamples + i + lookaheadSamples) / windowLength), magnitude);
        }
    }

    numInputSamples += numSamples;
}

void RenderStatistics::addOutput (const float* const* channels, int numSamples)
{
    for (size_t channel = 0; channel < outputLevels.size(); ++channel)
    {
        auto& level = outputLevels[channel];

        for (int i = 0; i < numSamples; ++i)
        {
            const auto magnitude = std::abs (channels[channel][i]);

            if (! (magnitude < 1.0f))
                ++clipCount;

            level.add (magnitude);
            addWindowPeak (outputWindowPeaks, (size_t) ((numOutputSamples + i) / windowLength), magnitude);
        }
    }

    numOutputSamples += numSamples;
}

void RenderStatistics::ChannelLevel::add (float magnitude) noexcept
{
    peak = juce::jmax (peak, magnitude);
    sumOfSquares += (double) magnitude * magnitude;
    ++numSamples;
}

float RenderStatistics::ChannelLevel::getPeakDecibels() const
{
    return juce::Decibels::gainToDecibels (peak, decibelFloor);
}

float RenderStatistics::ChannelLevel::getRmsDecibels() const
{
    const auto rms = numSamples > 0 ? std::sqrt (sumOfSquares / (double) numSamples) : 0.0;
    return juce::Decibels::gainToDecibels ((float) rms, decibelFloor);
}
float RenderStatistics::getGainReductionDecibels (size_t window) const
{
    if (window >= inputWindowPeaks.size() || window >= outputWindowPeaks.size() || outputWindowPeaks[window] <= 0.0f)
        return 0.0f;

    const auto limitedPeak = outputStage.undo (outputWindowPeaks[window]);

    if (limitedPeak <= 0.0f)
        return 0.0f;

    const auto reduction = juce::Decibels::gainToDecibels (inputWindowPeaks[window], decibelFloor)
                           - juce::Decibels::gainToDecibels (limitedPeak, decibelFloor);
    return juce::jmax (0.0f, reduction);
}

RenderStatistics::Reduction RenderStatistics::getLargestGainReduction() const
{
    Reduction largest;

    for (size_t window = 0; window < outputWindowPeaks.size(); ++window)
    {
        const auto reduction = getGainReductionDecibels (window);

        if (reduction > largest.decibels)
            largest = { reduction, (double) (window * (size_t) windowLength) / sampleRate };
    }

    return largest;
}
