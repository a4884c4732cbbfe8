// Opens the built Ceilora.vst3's editor in real desktop windows through JUCE's VST3 hosting, with
// audio running on its own thread, as a host does.

#include "BundleHost.h"
#include "MessagePump.h"
#include "NativeWindows.h"

#include <atomic>
#include <cmath>
#include <thread>

namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 256;

    std::unique_ptr<juce::AudioPluginInstance> loadBundle()
    {
        return BundleHost::loadBundle (sampleRate, blockSize);
    }

    /** Feeds the instance a loud sine block after block on its own thread, at about real-time pace. */
    class AudioThread
    {
    public:
        explicit AudioThread (juce::AudioPluginInstance& instanceToRun)
            : instance (instanceToRun)
        {
            instance.setRateAndBufferSizeDetails (sampleRate, blockSize);
            instance.prepareToPlay (sampleRate, blockSize);
            thread = std::thread ([this] { run(); });
        }

        ~AudioThread()
        {
            running = false;
            thread.join();
            instance.releaseResources();
        }

        int blocksProcessed() const  { return blocks.load(); }

    private:
        void run()
        {
            juce::AudioBuffer<float> buffer (2, blockSize);
            juce::MidiBuffer midi;
            double phase = 0.0;

            while (running)
            {
                for (int i = 0; i < blockSize; ++i, phase += 2.0 * juce::MathConstants<double>::pi * 440.0 / sampleRate)
                    for (int channel = 0; channel < 2; ++channel)
                        buffer.setSample (channel, i, 1.2f * (float) std::sin (phase));

                instance.processBlock (buffer, midi);
                ++blocks;
                std::this_thread::sleep_for (std::chrono::milliseconds (5));
            }
        }

        juce::AudioPluginInstance& instance;
        std::atomic<bool> running { true };
        std::atomic<int> blocks { 0 };
        std::thread thread;
    };

    NativeWindowSize pluginWindowSize (juce::Component& window);

    /** The host's side of an open editor, on the desktop once the plug-in's own window has its full size in it. */
    std::unique_ptr<juce::AudioProcessorEditor> openWindow (juce::AudioPluginInstance& instance)
    {
        std::unique_ptr<juce::AudioProcessorEditor> window (instance.createEditorIfNeeded());

        if (window != nullptr)
        {
            window->setVisible (true);
            window->addToDesktop (juce::ComponentPeer::windowHasTitleBar);

            // A loaded machine may take a while to map and size the plug-in's window.
            const auto shown = pumpMessagesUntil ([&]
            {
                const auto size = pluginWindowSize (*window);
                return size.width == 690 && size.height == 525;
            }, 10000);

            EXPECT_TRUE (shown) << "the plug-in's 690 x 525 window never appeared";
        }

        return window;
    }

    NativeWindowSize pluginWindowSize (juce::Component& window)
    {
        auto* peer = window.getPeer();
        return peer != nullptr ? largestMappedWindowInside (peer->getNativeHandle()) : NativeWindowSize {};
    }
}

TEST (EditorWindow, OpensAtTheFixedSizeAndRefusesToBeResized)
{
    auto instance = loadBundle();
    ASSERT_NE (instance, nullptr);
    AudioThread audio (*instance);

    auto window = openWindow (*instance);
    ASSERT_NE (window, nullptr);
    ASSERT_NE (window->getPeer(), nullptr) << "no desktop window was created";

    EXPECT_EQ (window->getWidth(), 690);
    EXPECT_EQ (window->getHeight(), 525);
    EXPECT_FALSE (window->isResizable()) << "the plug-in told the host its window can be resized";

    const auto native = pluginWindowSize (*window);
    EXPECT_EQ (native.width, 690) << "the plug-in's own X window";
    EXPECT_EQ (native.height, 525);

    // A resize the host checks with the plug-in first is refused outright...
    window->getConstrainer()->setBoundsForComponent (window.get(), window->getBounds().withSize (800, 600),
                                                     false, false, true, true);
    pumpMessagesFor (100);
    EXPECT_EQ (window->getWidth(), 690) << "the plug-in accepted a resize";
    EXPECT_EQ (window->getHeight(), 525);

    // ...and one it forces leaves the plug-in's window at its fixed size.
    window->setSize (800, 600);
    pumpMessagesFor (100);
    const auto afterForcedResize = pluginWindowSize (*window);
    EXPECT_EQ (afterForcedResize.width, 690) << "the plug-in's window followed a forced resize";
    EXPECT_EQ (afterForcedResize.height, 525);

    EXPECT_GT (audio.blocksProcessed(), 10) << "audio stalled while the window was open";
}

TEST (EditorWindow, ClosesAndReopensRepeatedlyWhileAudioRuns)
{
    auto first = loadBundle();
    auto second = loadBundle();
    ASSERT_NE (first, nullptr);
    ASSERT_NE (second, nullptr);
    AudioThread firstAudio (*first);
    AudioThread secondAudio (*second);

    for (int round = 0; round < 4; ++round)
    {
        SCOPED_TRACE ("round " + std::to_string (round));

        // Two instances' windows open at once share the plug-in's one look-and-feel.
        auto firstWindow = openWindow (*first);
        auto secondWindow = openWindow (*second);
        ASSERT_NE (firstWindow, nullptr);
        ASSERT_NE (secondWindow, nullptr);

        EXPECT_EQ (firstWindow->getBounds().getWidth(), 690);
        EXPECT_EQ (secondWindow->getBounds().getHeight(), 525);

        firstWindow.reset();
        pumpMessagesFor (50);
        EXPECT_EQ (pluginWindowSize (*secondWindow).width, 690) << "closing one window disturbed the other";
    }
}

TEST (EditorWindow, DestroysTheInstanceRightAfterItsOpenWindowOrLongAfterClosingIt)
{
    for (const auto closeFirst : { false, true })
    {
        SCOPED_TRACE (closeFirst ? "window closed long before" : "window still open");
        auto instance = loadBundle();
        ASSERT_NE (instance, nullptr);

        auto audio = std::make_unique<AudioThread> (*instance);
        auto window = openWindow (*instance);
        ASSERT_NE (window, nullptr);

        if (closeFirst)
        {
            window.reset();
            pumpMessagesFor (200);
        }

        // With the window still open, the host tears down in one go: only the message JUCE posts
        // itself while the window closes (a synthetic mouse move) is delivered before the
        // instance goes, as the host's event loop would deliver it. Without it JUCE's debug build
        // asserts at unload that its mouse source still had an update pending.
        audio.reset();
        window.reset();
        pumpMessagesFor (10);
        instance.reset();
        pumpMessagesFor (100);
    }
}
