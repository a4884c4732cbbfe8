#include "AllocationCounter.h"
#include "RandomActivity.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
    constexpr int maxBlockSize = 8192;
    constexpr int blocksPerLayout = 4000;

    struct InputLayout
    {
        const char* name;
        juce::AudioChannelSet channels;
    };

    juce::AudioProcessor::BusesLayout withStereoOutput (const juce::AudioChannelSet& input)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (input);
        layout.outputBuses.add (juce::AudioChannelSet::stereo());
        return layout;
    }
}

// A host's audio thread may not wait for the allocator: a heap call there can take a lock or
// fault in pages at any moment, and the result is a dropout.
TEST (RealtimeSafety, ProcessBlockMakesNoHeapCallsAfterTheFirstBlock)
{
    const InputLayout layouts[] { { "mono in", juce::AudioChannelSet::mono() },
                                  { "stereo in", juce::AudioChannelSet::stereo() },
                                  { "5.1 in", juce::AudioChannelSet::create5point1() } };

    for (const auto& layout : layouts)
    {
        SCOPED_TRACE (layout.name);

        CeiloraAudioProcessor processor;
        ASSERT_TRUE (processor.setBusesLayout (withStereoOutput (layout.channels)));
        processor.prepareToPlay (48000.0, maxBlockSize);

        const auto numChannels = std::max (processor.getTotalNumInputChannels(), processor.getTotalNumOutputChannels());
        auto buffer = makeBlockBuffer (numChannels, maxBlockSize);
        std::atomic<bool> audioFinished { false };
        std::atomic<int> heapCalls { -1 };

        std::thread audioThread ([&]
        {
            RandomAudio audio (1234);
            juce::MidiBuffer midi;

            AllocationCounter::reset();

            for (int block = 0; block < blocksPerLayout; ++block)
            {
                audio.fillRandomBlock (buffer, numChannels, maxBlockSize);
                processor.processBlock (buffer, midi);

                // Lazy first-use work (thread-local storage, say) is allowed once.
                if (block == 0)
                    AllocationCounter::watchThisThread (true);
            }

            AllocationCounter::watchThisThread (false);
            heapCalls = (int) AllocationCounter::count();
            audioFinished = true;
        });

        RandomControlActivity control (processor, 99);
        int controlSteps = 0;

        while (! audioFinished)
        {
            control.step();
            ++controlSteps;
            std::this_thread::sleep_for (std::chrono::microseconds (200));
        }

        audioThread.join();

        EXPECT_EQ (heapCalls.load(), 0) << "processBlock reached the heap on the audio thread in "
                                        << blocksPerLayout - 1 << " blocks, while the message thread made "
                                        << controlSteps << " parameter, program and meter changes";
        EXPECT_GT (controlSteps, 0);
        std::cout << "[ realtime ] " << layout.name << ": " << blocksPerLayout - 1 << " blocks watched, "
                  << heapCalls.load() << " heap calls, " << controlSteps << " control changes alongside\n";
    }
}

// Without this the test above would pass with a counter that sees nothing.
TEST (RealtimeSafety, TheCounterSeesHeapCallsMadeInsideTheFramework)
{
    AllocationCounter::reset();
    AllocationCounter::watchThisThread (true);

    {
        juce::AudioBuffer<float> grown (2, 16);
        grown.setSize (2, 4096);  // juce::HeapBlock: plain malloc and free
        const juce::String text = juce::String::repeatedString ("level", 100);  // operator new
        juce::ignoreUnused (text);
    }

    AllocationCounter::watchThisThread (false);
    EXPECT_GE (AllocationCounter::count(), 4);

    const auto before = AllocationCounter::count();
    std::vector<int> unwatched (1000);
    EXPECT_EQ (AllocationCounter::count(), before) << "an unwatched thread's allocation was counted";
}
