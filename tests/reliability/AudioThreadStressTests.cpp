#include "PlayingAudioThread.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
    constexpr int blocksWhileHeld = 50;
    constexpr int holdTimeoutMs = 10000;

    /** Parks the message thread inside a framework callback (and so inside whatever locks the
        framework holds around it) until the audio thread has moved on by a few blocks. */
    class ParkingCallbacks : public juce::AudioProcessorValueTreeState::Listener,
                             public juce::ValueTree::Listener
    {
    public:
        explicit ParkingCallbacks (const PlayingAudioThread& audioThreadToWatch) : audioThread (audioThreadToWatch) {}

        void parameterChanged (const juce::String&, float) override   { park(); }
        void valueTreePropertyChanged (juce::ValueTree&, const juce::Identifier&) override  { park(); }

        int timesParked = 0;
        bool audioKeptRunning = true;

    private:
        void park()
        {
            ++timesParked;
            audioKeptRunning = audioKeptRunning && audioThread.waitForMoreBlocks (blocksWhileHeld, holdTimeoutMs);
        }

        const PlayingAudioThread& audioThread;
    };
}

// If processBlock shared a lock with the message thread, a slow editor or host callback would
// stall the audio and the user would hear it drop out.
TEST (AudioThreadStress, AudioKeepsRunningWhileTheMessageThreadHoldsTheFrameworkLocks)
{
    struct Case
    {
        const char* lockHeld;
        std::function<void (CeiloraAudioProcessor&, ParkingCallbacks&)> holdIt;
    };

    const Case cases[] {
        { "the parameter's and the state's listener locks, inside a parameter listener",
          [] (CeiloraAudioProcessor& processor, ParkingCallbacks& callbacks)
          {
              processor.parameters.addParameterListener ("threshold", &callbacks);
              processor.parameters.getParameter ("threshold")->setValueNotifyingHost (0.25f);
              processor.parameters.removeParameterListener ("threshold", &callbacks);
          } },
        { "the state's tree lock, inside a tree listener while the state is copied",
          [] (CeiloraAudioProcessor& processor, ParkingCallbacks& callbacks)
          {
              processor.parameters.getParameter ("release")->setValueNotifyingHost (0.75f);
              processor.parameters.state.addListener (&callbacks);
              juce::ignoreUnused (processor.parameters.copyState());
              processor.parameters.state.removeListener (&callbacks);
          } },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.lockHeld);

        CeiloraAudioProcessor processor;
        processor.prepareToPlay (48000.0, 512);
        PlayingAudioThread audioThread (processor, 512, 7);
        ParkingCallbacks callbacks (audioThread);

        testCase.holdIt (processor, callbacks);

        EXPECT_GT (callbacks.timesParked, 0) << "the message thread never entered the callback";
        EXPECT_TRUE (callbacks.audioKeptRunning) << "the audio thread stopped while the message thread held " << testCase.lockHeld;
    }
}

// Hosts stop the audio, re-prepare (new rate, new block size) and start again while the user keeps
// working the controls and the meters keep reading.
TEST (AudioThreadStress, SurvivesControlChangesAndReprepareCyclesWhilePlaying)
{
    constexpr double sampleRates[] { 22050.0, 44100.0, 48000.0, 96000.0, 192000.0 };
    constexpr int blockSizes[] { 1, 64, 480, 512, 4096, 8192 };
    constexpr int cycles = 20;
    constexpr int runTimeMs = 100;

    CeiloraAudioProcessor processor;
    RandomControlActivity control (processor, 5);
    juce::Random random (11);
    int totalBlocks = 0;

    for (int cycle = 0; cycle < cycles; ++cycle)
    {
        const auto sampleRate = sampleRates[random.nextInt ((int) std::size (sampleRates))];
        const auto blockSize = blockSizes[random.nextInt ((int) std::size (blockSizes))];
        SCOPED_TRACE (juce::String (sampleRate) + " Hz, blocks up to " + juce::String (blockSize));

        processor.prepareToPlay (sampleRate, blockSize);
        ASSERT_EQ (processor.outputMeterSource.channelCount(), 2);

        {
            PlayingAudioThread audioThread (processor, blockSize, cycle);
            const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) runTimeMs;

            while (juce::Time::getMillisecondCounter() < end)
                control.step();

            audioThread.waitForMoreBlocks (1, holdTimeoutMs);
            EXPECT_EQ (audioThread.corruptedBlocks(), 0) << "finite input came out with NaN or infinity";
            totalBlocks += audioThread.blocksProcessed();
        }

        processor.releaseResources();
    }

    EXPECT_GT (totalBlocks, cycles);
    std::cout << "[ stress   ] " << cycles << " prepare cycles, " << totalBlocks << " blocks\n";
}
