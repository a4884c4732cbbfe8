// Many instances of the built bundle at once, driven the way a busy session drives them.

#include "AudioChecks.h"
#include "BundleHost.h"

#include <thread>

namespace
{
    constexpr int numInstances = 16;
    constexpr int numAudioThreads = 4;
    constexpr int maxBlockSize = 8192;

    struct HostedInstance
    {
        std::unique_ptr<juce::AudioPluginInstance> plugin;
        juce::AudioBuffer<float> buffer;
        std::atomic<int> corruptedBlocks { 0 };
    };

    /** One of the host's audio threads: runs its share of the instances in turn, every block a
        different length, until stopped. */
    class HostAudioThread
    {
    public:
        HostAudioThread (std::vector<HostedInstance*> instancesToRun, int maxSamples, juce::int64 seed)
            : instances (std::move (instancesToRun)), maxBlock (maxSamples), random (seed), thread ([this] { run(); })
        {
        }

        ~HostAudioThread()
        {
            stopRequested = true;
            thread.join();
        }

        int blocksProcessed() const  { return blocks.load(); }

    private:
        void run()
        {
            juce::MidiBuffer midi;

            while (! stopRequested)
            {
                for (auto* instance : instances)
                {
                    auto& buffer = instance->buffer;
                    const auto numSamples = 1 + random.nextInt (maxBlock);
                    buffer.setSize (buffer.getNumChannels(), numSamples, false, false, true);

                    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
                        for (int i = 0; i < numSamples; ++i)
                            buffer.setSample (channel, i, 1.5f * (2.0f * random.nextFloat() - 1.0f));

                    instance->plugin->processBlock (buffer, midi);

                    if (! allSamplesFinite (buffer))
                        ++instance->corruptedBlocks;
                }

                ++blocks;
            }
        }

        std::vector<HostedInstance*> instances;
        const int maxBlock;
        juce::Random random;
        std::atomic<bool> stopRequested { false };
        std::atomic<int> blocks { 0 };
        std::thread thread;
    };

    void automateSomething (HostedInstance& instance, juce::Random& random)
    {
        auto& plugin = *instance.plugin;
        const auto& parameters = plugin.getParameters();

        switch (random.nextInt (8))
        {
            case 0:
                plugin.getBypassParameter()->setValueNotifyingHost (random.nextBool() ? 1.0f : 0.0f);
                break;

            case 1:
            {
                juce::MemoryBlock saved;
                plugin.getStateInformation (saved);
                plugin.setStateInformation (saved.getData(), (int) saved.getSize());

                juce::MemoryBlock garbage ((size_t) random.nextInt (2048));

                for (size_t i = 0; i < garbage.getSize(); ++i)
                    garbage[i] = (char) random.nextInt (256);

                plugin.setStateInformation (garbage.getData(), (int) garbage.getSize());
                break;
            }

            default:
            {
                auto* parameter = parameters[random.nextInt (parameters.size())];
                parameter->beginChangeGesture();
                parameter->setValueNotifyingHost (random.nextFloat());
                parameter->endChangeGesture();
                break;
            }
        }
    }
}

TEST (HostStress, SixteenInstancesSurviveAutomationStateAndRateChangesWhilePlaying)
{
    constexpr double sampleRates[] { 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0 };
    constexpr int playTimeMs = 400;
    using Set = juce::AudioChannelSet;
    const Set inputLayouts[] { Set::stereo(), Set::mono(), Set::create5point1() };

    std::vector<std::unique_ptr<HostedInstance>> instances;

    for (int i = 0; i < numInstances; ++i)
    {
        auto instance = std::make_unique<HostedInstance>();
        instance->plugin = BundleHost::loadBundle();
        ASSERT_NE (instance->plugin, nullptr) << "instance " << i << " did not load";
        ASSERT_TRUE (instance->plugin->setBusesLayout (BundleHost::layoutOf (inputLayouts[i % 3], Set::stereo())));
        const auto numChannels = std::max (instance->plugin->getTotalNumInputChannels(),
                                           instance->plugin->getTotalNumOutputChannels());
        instance->buffer.setSize (numChannels, maxBlockSize);
        instances.push_back (std::move (instance));
    }

    juce::Random random (2024);
    int totalBlocks = 0;

    for (const auto sampleRate : sampleRates)
    {
        SCOPED_TRACE (juce::String (sampleRate) + " Hz");

        for (auto& instance : instances)
            instance->plugin->prepareToPlay (sampleRate, maxBlockSize);

        {
            std::vector<std::unique_ptr<HostAudioThread>> audioThreads;

            for (int t = 0; t < numAudioThreads; ++t)
            {
                std::vector<HostedInstance*> share;

                for (int i = t; i < numInstances; i += numAudioThreads)
                    share.push_back (instances[(size_t) i].get());

                audioThreads.push_back (std::make_unique<HostAudioThread> (share, maxBlockSize, random.nextInt64()));
            }

            const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) playTimeMs;

            while (juce::Time::getMillisecondCounter() < end)
            {
                automateSomething (*instances[(size_t) random.nextInt (numInstances)], random);
                std::this_thread::sleep_for (std::chrono::microseconds (100));
            }

            for (auto& audioThread : audioThreads)
                totalBlocks += audioThread->blocksProcessed();
        }

        for (auto& instance : instances)
            instance->plugin->releaseResources();
    }

    for (int i = 0; i < numInstances; ++i)
        EXPECT_EQ (instances[(size_t) i]->corruptedBlocks.load(), 0) << "instance " << i << " turned finite input into NaN or infinity";

    EXPECT_GT (totalBlocks, 0);
    std::cout << "[ stress   ] " << numInstances << " instances, " << std::size (sampleRates) << " sample rates, "
              << totalBlocks << " rounds of blocks\n";
}
