#include "meters/LevelMeterSource.h"

#include <gtest/gtest.h>

#include <limits>
#include <thread>

namespace
{
    juce::AudioBuffer<float> constantBlock (int numChannels, float value, int numSamples = 64)
    {
        juce::AudioBuffer<float> block (numChannels, numSamples);

        for (int channel = 0; channel < numChannels; ++channel)
            juce::FloatVectorOperations::fill (block.getWritePointer (channel), value, numSamples);

        return block;
    }

    void waitPastIdleThreshold()
    {
        std::this_thread::sleep_for (std::chrono::milliseconds (110));
    }
}

TEST (LevelMeterSource, StartsEmptyAndGrowsNeutralRecords)
{
    LevelMeterSource source;
    EXPECT_EQ (source.channelCount(), 0);
    EXPECT_TRUE (source.hasNewData());

    source.clearNewData();
    source.resize (2, 8);

    EXPECT_EQ (source.channelCount(), 2);
    EXPECT_EQ (source.rmsLevel (0), 0.0f);
    EXPECT_EQ (source.peakLevel (0), 0.0f);
    EXPECT_EQ (source.peakOverallLevel (0), 0.0f);
    EXPECT_FALSE (source.isClipped (0));
    EXPECT_EQ (source.reductionLevel (0), 1.0f);
    EXPECT_EQ (source.reductionLevel (2), -1.0f);
    EXPECT_EQ (source.reductionLevel (-1), -1.0f);
    EXPECT_TRUE (source.hasNewData());
    EXPECT_THROW (source.peakLevel (2), std::out_of_range);
}

TEST (LevelMeterSource, HoldsANewPeakForHalfASecond)
{
    LevelMeterSource::ChannelData record;
    const juce::int64 t = 10'000;

    record.applyMeasurement (t, 0.5f, 0.1f, 500);
    EXPECT_EQ (record.peak.load(), 0.5f);
    EXPECT_EQ (record.holdUntilMs.load(), t + 500);

    record.applyMeasurement (t + 100, 0.2f, 0.1f, 500);
    EXPECT_EQ (record.peak.load(), 0.5f);

    record.applyMeasurement (t + 600, 0.2f, 0.1f, 500);
    EXPECT_EQ (record.peak.load(), 0.2f);
    EXPECT_EQ (record.peakOverall.load(), 0.5f);
}

TEST (LevelMeterSource, LatchesClipsAboveFullScaleOnly)
{
    struct Case
    {
        const char* description;
        float sample;
        bool clips;
        float peak, peakOverall;
    };

    const Case cases[] {
        { "exactly full scale", 1.0f,  false, 1.0f, 1.0f },
        { "negative overload",  -1.2f, true,  1.0f, 1.2f },
        { "half scale",         0.5f,  false, 0.5f, 0.5f },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.description);
        LevelMeterSource source;
        source.resize (1, 0);

        source.measureBlock (constantBlock (1, testCase.sample));
        source.measureBlock (constantBlock (1, 0.0f));

        EXPECT_EQ (source.isClipped (0), testCase.clips);
        EXPECT_EQ (source.peakLevel (0), testCase.peak);
        EXPECT_EQ (source.peakOverallLevel (0), testCase.peakOverall);
    }
}

TEST (LevelMeterSource, AveragesRmsOverItsWindowOfBlocks)
{
    LevelMeterSource source;
    source.resize (1, 8);

    for (int block = 0; block < 8; ++block)
        source.measureBlock (constantBlock (1, 0.5f));

    EXPECT_FLOAT_EQ (source.rmsLevel (0), 0.5f);

    source.measureBlock (constantBlock (1, 0.0f));
    EXPECT_NEAR (source.rmsLevel (0), std::sqrt (7.0f * 0.25f / 8.0f), 1.0e-6f);
    EXPECT_NEAR (source.rmsLevel (0), 0.4677f, 1.0e-4f);
}

TEST (LevelMeterSource, ShowsTheLastBlocksClampedRmsWithoutAWindow)
{
    LevelMeterSource source;
    source.resize (1, 0);

    source.measureBlock (constantBlock (1, 0.25f));
    EXPECT_FLOAT_EQ (source.rmsLevel (0), 0.25f);

    source.measureBlock (constantBlock (1, 3.0f));
    EXPECT_EQ (source.rmsLevel (0), 1.0f);
}

TEST (LevelMeterSource, CountsEmptyAndClearedBlocksAsSilence)
{
    LevelMeterSource source;
    source.resize (2, 0);
    source.measureBlock (constantBlock (2, 0.25f));

    juce::AudioBuffer<float> cleared (2, 64);
    cleared.clear();
    source.measureBlock (juce::AudioBuffer<float> (2, 0));
    EXPECT_EQ (source.rmsLevel (0), 0.0f);

    source.measureBlock (constantBlock (2, 0.25f));
    source.measureBlock (cleared);
    EXPECT_EQ (source.rmsLevel (1), 0.0f);
    EXPECT_EQ (source.peakLevel (1), 0.25f);
}

TEST (LevelMeterSource, MeasuresOnlyTheChannelsBothSidesHave)
{
    LevelMeterSource source;
    source.resize (2, 0);

    source.measureBlock (constantBlock (1, 0.5f));
    EXPECT_EQ (source.peakLevel (0), 0.5f);
    EXPECT_EQ (source.peakLevel (1), 0.0f);

    source.measureBlock (constantBlock (4, 0.75f));
    EXPECT_EQ (source.peakLevel (1), 0.75f);
}

TEST (LevelMeterSource, ResetsOverallPeaksAndClipLightsOnRequest)
{
    LevelMeterSource source;
    source.resize (2, 0);
    source.measureBlock (constantBlock (2, 1.5f));

    source.resetPeakOverall();
    source.resetClipFlags();

    for (int channel = 0; channel < 2; ++channel)
    {
        EXPECT_EQ (source.peakOverallLevel (channel), -100.0f);
        EXPECT_FALSE (source.isClipped (channel));
    }

    source.measureBlock (constantBlock (2, 0.1f));
    EXPECT_FLOAT_EQ (source.peakOverallLevel (0), 0.1f);
}

TEST (LevelMeterSource, KeepsPeaksButRestartsRmsOnResize)
{
    LevelMeterSource source;
    source.resize (2, 4);

    for (int block = 0; block < 4; ++block)
        source.measureBlock (constantBlock (2, 1.25f));

    source.clearNewData();
    source.resize (2, 9);

    EXPECT_TRUE (source.hasNewData());
    EXPECT_EQ (source.peakLevel (0), 1.0f);
    EXPECT_EQ (source.peakOverallLevel (1), 1.25f);
    EXPECT_TRUE (source.isClipped (1));
    EXPECT_EQ (source.rmsLevel (0), 0.0f);

    source.resize (3, 9);
    EXPECT_EQ (source.peakOverallLevel (1), 1.25f);
    EXPECT_EQ (source.peakOverallLevel (2), 0.0f);
    EXPECT_FALSE (source.isClipped (2));
}

TEST (LevelMeterSource, DecaysOnceAfterAHundredIdleMilliseconds)
{
    LevelMeterSource source;
    source.resize (1, 2);
    source.measureBlock (constantBlock (1, 0.5f));
    source.measureBlock (constantBlock (1, 0.5f));
    source.resetPeakOverall();
    source.clearNewData();

    source.decayIfIdle();
    EXPECT_FALSE (source.hasNewData()) << "a block arrived less than 100 ms ago";

    waitPastIdleThreshold();
    source.decayIfIdle();
    EXPECT_TRUE (source.hasNewData());
    EXPECT_NEAR (source.rmsLevel (0), std::sqrt (0.25f / 2.0f), 1.0e-6f);
    EXPECT_EQ (source.peakOverallLevel (0), 0.0f);
    EXPECT_EQ (source.peakLevel (0), 0.5f) << "the peak is still held";
    EXPECT_EQ (source.reductionLevel (0), 1.0f);

    source.clearNewData();
    source.decayIfIdle();
    EXPECT_FALSE (source.hasNewData()) << "a decay ran less than 100 ms ago";
}

TEST (LevelMeterSource, ShowsNaNAudioAsAnOverloadInsteadOfPoisoningItsLevels)
{
    LevelMeterSource source;
    source.resize (1, 4);

    auto block = constantBlock (1, 0.5f);
    block.setSample (0, 7, std::numeric_limits<float>::quiet_NaN());
    source.measureBlock (block);

    EXPECT_TRUE (source.isClipped (0));
    EXPECT_TRUE (std::isfinite (source.rmsLevel (0)));

    for (int i = 0; i < 4; ++i)
        source.measureBlock (constantBlock (1, 0.5f));

    EXPECT_FLOAT_EQ (source.rmsLevel (0), 0.5f);
}

TEST (LevelMeterSource, LetsAMeterReadWhileTheHostReprepares)
{
    LevelMeterSource source;
    source.resize (2, 8);
    std::atomic<bool> done { false };

    std::thread host ([&]
    {
        for (int round = 0; round < 2000; ++round)
        {
            source.resize (round % 2 == 0 ? 2 : 1, 1 + round % 17);
            source.measureBlock (constantBlock (2, 0.5f, 16));
        }

        done = true;
    });

    while (! done)
        for (int channel = 0; channel < source.channelCount() && channel < 1; ++channel)
            EXPECT_LE (source.rmsLevel (channel) + source.peakLevel (channel), 1.5f);

    host.join();
}
