#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

/**
    Levels gathered while a file is rendered: peak and RMS per channel of input and output, the
    output's clip count, and the peak of both sides in short windows over time, from which the
    gain reduction is measured.

    A window's gain reduction is how far the limiter pulled the input's peak down, in dB (never
    less than 0): the output's peak is taken back through the plug-in's saturation and trim to the
    level the gain stage left, and the input windows are shifted by the look-ahead delay, so that
    each window compares the same stretch of audio on both sides.
*/
class RenderStatistics
{
public:
    static constexpr double windowSeconds = 0.01;
    static constexpr float decibelFloor = -100.0f;

    /** The plug-in's stage after the gain: trimGain * tanh (drive * y) / tanh (drive), unless bypassed. */
    struct OutputStage
    {
        float drive = 1.0f;
        float trimGain = 1.0f;
        bool bypassed = false;

        /** The magnitude before the stage that gives this output magnitude. */
        float undo (float outputMagnitude) const;
    };

    RenderStatistics (int numInputChannels, int numOutputChannels, double sampleRate, int lookaheadSamples, OutputStage outputStage);

    /** Adds the next numSamples of the input; the channels are those of the file. */
    void addInput (const float* const* channels, int numSamples);

    /** Adds the next numSamples of the output. */
    void addOutput (const float* const* channels, int numSamples);

    struct ChannelLevel
    {
        float peak = 0.0f;
        double sumOfSquares = 0.0;
        juce::int64 numSamples = 0;

        void add (float magnitude) noexcept;
        float getPeakDecibels() const;
        float getRmsDecibels() const;
    };

    const std::vector<ChannelLevel>& getInputLevels() const noexcept   { return inputLevels; }
    const std::vector<ChannelLevel>& getOutputLevels() const noexcept  { return outputLevels; }

    /** Output samples whose magnitude is 1.0 or more, or that are not finite. */
    juce::int64 getClipCount() const noexcept  { return clipCount; }

    /** Peaks over all channels per window, linear; input windows aligned to the output. */
    const std::vector<float>& getInputWindowPeaks() const noexcept   { return inputWindowPeaks; }
    const std::vector<float>& getOutputWindowPeaks() const noexcept  { return outputWindowPeaks; }

    int getWindowLength() const noexcept  { return windowLength; }
    double getSampleRate() const noexcept { return sampleRate; }

    float getGainReductionDecibels (size_t window) const;

    struct Reduction
    {
        float decibels = 0.0f;
        double seconds = 0.0;
    };

    Reduction getLargestGainReduction() const;

private:
    static void addWindowPeak (std::vector<float>& peaks, size_t window, float peak);

    double sampleRate;
    int windowLength;
    int lookaheadSamples;
    OutputStage outputStage;
    std::vector<ChannelLevel> inputLevels, outputLevels;
    juce::int64 numInputSamples = 0, numOutputSamples = 0, clipCount = 0;
    std::vector<float> inputWindowPeaks, outputWindowPeaks;
};
