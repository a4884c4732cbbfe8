#include "AudioChecks.h"
#include "EngineFixture.h"

#include <chrono>
#include <cmath>
#include <limits>

using HostileInput = EngineFixture;

TEST_F (HostileInput, PassesChannelsBeyondThePreparedOnesUntouched)
{
    prepare (48000.0);
    juce::AudioBuffer<float> buffer (6, 512);

    for (int channel = 0; channel < 6; ++channel)
        for (int i = 0; i < 512; ++i)
            buffer.setSample (channel, i, 0.1f * (float) (channel + 1) * std::sin (0.05f * (float) i));

    const auto original = buffer;
    processor.processBlock (buffer, midi);

    for (int channel = 2; channel < 6; ++channel)
        for (int i = 0; i < 512; ++i)
            ASSERT_EQ (buffer.getSample (channel, i), original.getSample (channel, i)) << "channel " << channel;

    EXPECT_NE (buffer.getSample (0, 300), original.getSample (0, 300));
    EXPECT_EQ (processor.inputMeterSource.channelCount(), 2);
}

TEST_F (HostileInput, PassesAudioThroughWhenProcessedBeforeTheFirstPrepare)
{
    juce::AudioBuffer<float> buffer (2, 256);
    buffer.setSample (0, 10, 0.5f);
    const auto original = buffer;

    processor.processBlock (buffer, midi);

    for (int i = 0; i < 256; ++i)
        ASSERT_EQ (buffer.getSample (0, i), original.getSample (0, i));
}

TEST_F (HostileInput, StaysFiniteAcrossSampleRatesAndBlockSizes)
{
    for (const auto rate : { 8000.0, 22050.0, 44100.0, 96000.0, 192000.0, 384000.0 })
    {
        for (const auto blockSize : { 1, 17, 512, 65536 })
        {
            SCOPED_TRACE (std::to_string (rate) + " Hz, " + std::to_string (blockSize) + " samples");
            prepare (rate, blockSize);

            juce::AudioBuffer<float> buffer (2, blockSize);
            for (int i = 0; i < blockSize; ++i)
                buffer.setSample (0, i, 1.5f * std::sin (0.01f * (float) i));

            processor.processBlock (buffer, midi);
            ASSERT_TRUE (allSamplesFinite (buffer));
            ASSERT_LE (buffer.getMagnitude (0, 0, blockSize), 1.0f / std::tanh (2.5f) + 1.0e-6f);
        }
    }
}

TEST_F (HostileInput, RecoversFromNonFiniteSamplesOnceTheInputIsFiniteAgain)
{
    constexpr auto infinity = std::numeric_limits<float>::infinity();
    constexpr auto nan = std::numeric_limits<float>::quiet_NaN();

    for (const auto poison : { infinity, -infinity, nan })
    {
        SCOPED_TRACE (poison);
        prepare (44100.0);
        const auto music = sine (4096, 0.5f);

        CeiloraAudioProcessor clean;
        clean.prepareToPlay (44100.0, 512);
        juce::AudioBuffer<float> cleanBuffer (2, 4096);
        cleanBuffer.copyFrom (0, 0, music.data(), 4096);
        cleanBuffer.copyFrom (1, 0, music.data(), 4096);
        clean.processBlock (cleanBuffer, midi);

        auto poisoned = music;
        poisoned[1000] = poison;
        const auto output = process (poisoned);

        for (size_t i = 0; i < output.size(); ++i)
            ASSERT_TRUE (std::isfinite (output[i])) << "sample " << i;

        // Well after the poisoned sample has left the look-ahead delay, the channel sounds as if
        // that one sample had been silent.
        EXPECT_NEAR (output[4000], cleanBuffer.getSample (0, 4000), 1.0e-6f);
        EXPECT_GT (std::abs (output[3000]), 0.0f);

        EXPECT_TRUE (processor.inputMeterSource.isClipped (0));
        EXPECT_TRUE (std::isfinite (processor.inputMeterSource.rmsLevel (0)));
    }
}

TEST_F (HostileInput, KeepsFiniteAudioBitExactAroundTheNonFiniteGuard)
{
    prepare (48000.0);
    set ("lookahead", 0.0f);
    const auto soft = valueOf ("soft");
    const auto input = sine (256, 0.3f);

    const auto output = process (input);

    for (size_t i = 0; i < input.size(); ++i)
        ASSERT_EQ (output[i], saturate (input[i], soft)) << "sample " << i;
}

TEST_F (HostileInput, DoesNotSlowDownInTheLongSilenceAfterLoudAudio)
{
    prepare (48000.0);
    set ("release", 5.0f);

    const auto timeBlocks = [this] (float amplitude, int numBlocks)
    {
        juce::AudioBuffer<float> buffer (2, 512);
        const auto start = std::chrono::steady_clock::now();

        for (int block = 0; block < numBlocks; ++block)
        {
            for (int channel = 0; channel < 2; ++channel)
                for (int i = 0; i < 512; ++i)
                    buffer.setSample (channel, i, amplitude * std::sin (0.02f * (float) i));

            processor.processBlock (buffer, midi);
        }

        return std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
    };

    const auto loud = timeBlocks (1.0f, 400);

    // After loud audio the envelope decays towards zero; a 5 ms release reaches the subnormal
    // range within a few thousand samples of silence, where it would stay for a long time.
    const auto silent = timeBlocks (0.0f, 400);

    EXPECT_LT (silent, 3.0 * loud + 0.002) << "loud " << loud << " s, silent " << silent << " s";
}
