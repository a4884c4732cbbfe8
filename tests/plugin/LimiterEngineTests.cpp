#include "EngineFixture.h"

#include <cmath>

using LimiterEngine = EngineFixture;

TEST_F (LimiterEngine, BoundsTheLookAheadDelayAtJustOverTwentyMilliseconds)
{
    const std::pair<double, int> expectations[] { { 44100.0, 883 }, { 48000.0, 961 }, { 88200.0, 1765 },
                                                  { 96000.0, 1921 }, { 192000.0, 3841 } };

    for (const auto& [rate, maxDelay] : expectations)
    {
        prepare (rate);
        EXPECT_EQ (processor.getMaxDelaySamples(), maxDelay) << rate << " Hz";
    }
}

TEST_F (LimiterEngine, DelaysByExactly144SamplesForThreeMillisecondsAt48k)
{
    prepare (48000.0);
    set ("soft", 0.0f);
    const auto amplitude = 0.001f;

    const auto output = process (impulse (512, 10, amplitude));

    for (size_t i = 0; i < output.size(); ++i)
    {
        const auto expected = (i == 154) ? saturate (amplitude, 0.0f) : 0.0f;
        ASSERT_EQ (output[i], expected) << "sample " << i;
    }
}

TEST_F (LimiterEngine, InterpolatesTowardsTheOlderSampleForAFractionalDelayAt44k1)
{
    prepare (44100.0);
    set ("soft", 0.0f);
    const auto amplitude = 0.001f;

    const auto delay = (valueOf ("lookahead") * 0.001f) * 44100.0f;
    const auto fraction = delay - std::floor (delay);
    ASSERT_EQ ((int) std::floor (delay), 132);
    ASSERT_NEAR (fraction, 0.3000031f, 1.0e-6f);

    const auto output = process (impulse (512, 10, amplitude));

    // Output n is 0.7 x[n - 132] + 0.3 x[n - 133].
    EXPECT_EQ (output[142], saturate (amplitude + fraction * (0.0f - amplitude), 0.0f));
    EXPECT_EQ (output[143], saturate (0.0f + fraction * (amplitude - 0.0f), 0.0f));
    EXPECT_NEAR (output[142] / output[143], 0.7f / 0.3f, 1.0e-3f);

    for (size_t i = 0; i < output.size(); ++i)
    {
        if (i != 142 && i != 143)
        {
            ASSERT_EQ (output[i], 0.0f) << "sample " << i;
        }
    }
}

TEST_F (LimiterEngine, PullsTheSamplesAfterASpikeDownAlongTheReleaseCurve)
{
    prepare (48000.0);
    set ("threshold", -6.0f);
    set ("lookahead", 0.0f);
    set ("soft", 0.0f);

    const auto thresholdGain = juce::Decibels::decibelsToGain (-6.0f);
    ASSERT_NEAR (thresholdGain, 0.5011872f, 1.0e-7f);
    const auto releaseCoef = std::exp (-1.0f / ((valueOf ("release") * 0.001f) * 48000.0f));

    // Silence, a full-scale spike, then a quiet tone too small to move the envelope.
    const auto quiet = 0.01f;
    const int spikeAt = 100, length = 4096;
    std::vector<float> input ((size_t) length, 0.0f);
    input[(size_t) spikeAt] = 1.0f;
    std::fill (input.begin() + spikeAt + 1, input.end(), quiet);

    const auto output = process (input);

    EXPECT_EQ (output[(size_t) spikeAt - 1], 0.0f);
    EXPECT_EQ (output[(size_t) spikeAt], saturate (1.0f * (thresholdGain / 1.0f), 0.0f));

    auto envelope = 1.0f;
    int limitedSamples = 0;

    for (int j = 1; spikeAt + j < length; ++j)
    {
        envelope = releaseCoef * envelope;
        const auto limiting = envelope > thresholdGain;
        const auto gain = limiting ? thresholdGain / envelope : 1.0f;
        limitedSamples += limiting ? 1 : 0;

        ASSERT_EQ (output[(size_t) (spikeAt + j)], saturate (quiet * gain, 0.0f)) << j << " samples after the spike";

        if (limiting)
        {
            const auto closedFormGain = (double) thresholdGain / std::pow ((double) releaseCoef, j);
            ASSERT_NEAR (gain, closedFormGain, 1.0e-4 * closedFormGain) << j << " samples after the spike";
        }
    }

    // ln (0.5012) / ln (releaseCoef) samples of limiting: about 1658 at 50 ms and 48 kHz.
    EXPECT_NEAR (limitedSamples, 1658, 2);
}

TEST_F (LimiterEngine, RaisesSmallSignalsByTheSaturationDrive)
{
    const std::pair<float, float> drives[] { { 0.0f, 1.3130f }, { 0.5f, 6.0001f }, { 1.0f, 11.0f } };

    for (const auto& [soft, expectedGain] : drives)
    {
        SCOPED_TRACE ("soft " + std::to_string (soft));
        prepare (48000.0);
        set ("lookahead", 0.0f);
        set ("soft", soft);

        const auto input = sine (2048, 1.0e-4f);
        const auto output = process (input);

        for (size_t i = 1; i < input.size(); i += 37)
        {
            if (std::abs (input[i]) > 1.0e-6f)
            {
                ASSERT_NEAR (output[i] / input[i], expectedGain, 2.0e-4f * expectedGain) << "sample " << i;
            }
        }
    }
}

TEST_F (LimiterEngine, LeavesAConstantFullScaleSignalAtExactlyOne)
{
    for (const auto soft : { 0.0f, 0.15f, 0.5f, 1.0f })
    {
        SCOPED_TRACE ("soft " + std::to_string (soft));
        prepare (44100.0);
        set ("threshold", 0.0f);
        set ("trim", 0.0f);
        set ("soft", soft);

        const auto output = process (std::vector<float> (1024, 1.0f));

        for (size_t i = 134; i < output.size(); ++i)
            ASSERT_EQ (output[i], 1.0f) << "sample " << i;
    }
}

TEST_F (LimiterEngine, AppliesTheOutputTrimAfterTheSaturation)
{
    prepare (48000.0);
    set ("lookahead", 0.0f);
    set ("trim", -6.0f);
    const auto soft = valueOf ("soft");
    const auto trimGain = juce::Decibels::decibelsToGain (valueOf ("trim"));

    const auto input = sine (512, 0.2f);
    const auto output = process (input);

    for (size_t i = 0; i < input.size(); ++i)
        ASSERT_EQ (output[i], saturate (input[i], soft, trimGain)) << "sample " << i;
}

TEST_F (LimiterEngine, BypassPassesAudioUnchangedAndFreezesTheEngine)
{
    const auto first = sine (700, 0.9f, 0.013f);
    const auto during = sine (300, 0.5f, 0.021f);
    const auto after = sine (700, 0.7f, 0.007f);

    prepare (48000.0);
    const auto reference = [&]
    {
        process (first);
        return process (after);
    }();

    prepare (48000.0);
    process (first);
    set ("bypass", 1.0f);
    const auto bypassed = process (during);
    set ("bypass", 0.0f);
    const auto resumed = process (after);

    EXPECT_EQ (bypassed, during);
    EXPECT_EQ (resumed, reference);
}

TEST_F (LimiterEngine, BypassFeedsBothMetersTheUnprocessedSignal)
{
    prepare (48000.0, 256);
    set ("bypass", 1.0f);

    process (std::vector<float> (256, 0.5f));

    EXPECT_FLOAT_EQ (processor.inputMeterSource.peakLevel (0), 0.5f);
    EXPECT_FLOAT_EQ (processor.outputMeterSource.peakLevel (0), 0.5f);
}

TEST_F (LimiterEngine, MetersTheBlockBeforeAndAfterLimiting)
{
    prepare (48000.0, 512);
    set ("threshold", -12.0f);
    set ("lookahead", 0.0f);
    set ("soft", 0.0f);

    process (std::vector<float> (512, 0.9f));

    EXPECT_FLOAT_EQ (processor.inputMeterSource.peakLevel (1), 0.9f);
    EXPECT_FLOAT_EQ (processor.outputMeterSource.peakLevel (1), saturate (0.9f * (juce::Decibels::decibelsToGain (-12.0f) / 0.9f), 0.0f));
}

TEST_F (LimiterEngine, LeavesItsStateAloneOnAnEmptyBlock)
{
    const auto first = sine (600, 0.9f);
    const auto second = sine (600, 0.8f, 0.03f);

    prepare (44100.0);
    process (first);
    const auto reference = process (second);

    prepare (44100.0);
    process (first);
    EXPECT_TRUE (process ({}).empty());
    EXPECT_EQ (process (second), reference);
}

TEST_F (LimiterEngine, StartsFromSilenceAfterEveryPrepare)
{
    const auto input = sine (2000, 0.95f, 0.017f);

    CeiloraAudioProcessor fresh;
    fresh.setRateAndBufferSizeDetails (48000.0, 512);
    fresh.prepareToPlay (48000.0, 512);
    juce::AudioBuffer<float> freshBuffer (2, (int) input.size());
    for (int channel = 0; channel < 2; ++channel)
        freshBuffer.copyFrom (channel, 0, input.data(), (int) input.size());
    fresh.processBlock (freshBuffer, midi);

    prepare (44100.0);
    process (sine (3000, 1.5f));
    const auto clippedBefore = processor.inputMeterSource.isClipped (0);
    const auto overallBefore = processor.inputMeterSource.peakOverallLevel (0);
    prepare (48000.0);

    EXPECT_EQ (processor.getMaxDelaySamples(), 961);
    EXPECT_TRUE (clippedBefore);
    EXPECT_TRUE (processor.inputMeterSource.isClipped (0));
    EXPECT_EQ (processor.inputMeterSource.peakOverallLevel (0), overallBefore);
    EXPECT_EQ (processor.inputMeterSource.rmsLevel (0), 0.0f);

    const auto output = process (input);
    EXPECT_EQ (output, std::vector<float> (freshBuffer.getReadPointer (0), freshBuffer.getReadPointer (0) + input.size()));
}
