#include "MeterTestHelpers.h"

#include <memory>
#include <thread>

using namespace meter_test;

namespace
{
    struct ClickRecorder : public LevelMeter::Listener
    {
        struct Click
        {
            std::string element;
            int channel;
        };

        std::vector<Click> clicks;

        void clipIndicatorClicked (LevelMeter*, int channel, juce::ModifierKeys) override
        {
            clicks.push_back ({ "clip light", channel });
        }

        void peakNumberClicked (LevelMeter*, int channel, juce::ModifierKeys) override
        {
            clicks.push_back ({ "peak number", channel });
        }
    };

    /** Stands in for the window's repaint machinery: counts the meter's repaint requests. */
    struct RepaintCounter : public juce::CachedComponentImage
    {
        explicit RepaintCounter (int& counter) : count (counter) {}

        void paint (juce::Graphics&) override {}
        bool invalidateAll() override { ++count; return false; }
        bool invalidate (const juce::Rectangle<int>&) override { ++count; return false; }
        void releaseResources() override {}

        int& count;
    };

    /** The editor's meter on a stereo source whose channels have both clipped. */
    class EditorMeterTest : public testing::Test
    {
    protected:
        EditorMeterTest()
        {
            source->resize (2, 0);
            feed (*source, { 1.5f, 1.2f });
            meter.setSize (editorMeterWidth, editorMeterHeight);
            meter.attachSource (source.get());
            meter.addListener (&recorder);
        }

        ~EditorMeterTest() override
        {
            meter.removeListener (&recorder);
        }

        void click (int x, int y, juce::ModifierKeys modifiers = leftButton)
        {
            meter.mouseDown (mouseDownAt (meter, { (float) x, (float) y }, modifiers));
        }

        bool everyChannelWasReset() const
        {
            for (int channel = 0; channel < source->channelCount(); ++channel)
                if (source->isClipped (channel) || source->peakOverallLevel (channel) != -100.0f)
                    return false;

            return true;
        }

        bool noChannelWasReset() const
        {
            return source->isClipped (0) && source->isClipped (1)
                && source->peakOverallLevel (0) == 1.5f && source->peakOverallLevel (1) == 1.2f;
        }

        std::unique_ptr<LevelMeterSource> source = std::make_unique<LevelMeterSource>();
        RecordingLookAndFeel drawing; // outlives the meter, as a look-and-feel must
        LevelMeter meter { editorFlags };
        ClickRecorder recorder;
    };
}

TEST_F (EditorMeterTest, ClickOnAClipLightOrPeakNumberResetsEveryChannel)
{
    struct Case
    {
        const char* description;
        int x, y;
        juce::ModifierKeys modifiers;
        std::string noticedElement; // empty: nothing noticed
        int noticedChannel;
    };

    const Case cases[] {
        { "left click on the first clip light", 10, 5, leftButton, "clip light", 0 },
        { "left click on the second clip light", 30, 5, leftButton, "clip light", 1 },
        { "left click on the first peak number", 10, 370, leftButton, "peak number", 0 },
        { "left click on the second peak number", 40, 370, leftButton, "peak number", 1 },
        { "right click on a clip light", 10, 5, rightButton, "", -1 },
        { "right click on a peak number", 10, 370, rightButton, "", -1 },
        { "left click on a bar", 10, 200, leftButton, "", -1 },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.description);
        source->resize (2, 0);
        feed (*source, { 1.5f, 1.2f });
        source->measureBlock (juce::AudioBuffer<float> (2, 0)); // no longer overloaded, still latched
        recorder.clicks.clear();

        click (testCase.x, testCase.y, testCase.modifiers);

        if (testCase.noticedElement.empty())
        {
            EXPECT_TRUE (recorder.clicks.empty()) << "a listener heard a click that should do nothing";
            EXPECT_TRUE (noChannelWasReset()) << "clip lights or peak numbers were reset";
            continue;
        }

        ASSERT_EQ (recorder.clicks.size(), 1u);
        EXPECT_EQ (recorder.clicks[0].element, testCase.noticedElement);
        EXPECT_EQ (recorder.clicks[0].channel, testCase.noticedChannel);
        EXPECT_TRUE (everyChannelWasReset()) << "some clip light stays lit or peak number keeps its value";
    }
}

TEST_F (EditorMeterTest, NextPaintShowsResetNumbersAndDarkClipLights)
{
    meter.setLookAndFeel (&drawing);

    click (10, 5);
    paintToImage (meter);

    const auto numbers = drawing.callsTo ("peak number");
    const auto lights = drawing.callsTo ("clip light");
    ASSERT_EQ (numbers.size(), 2u);
    ASSERT_EQ (lights.size(), 2u);

    for (size_t channel = 0; channel < 2; ++channel)
    {
        EXPECT_EQ (numbers[channel].value, -100.0f) << "channel " << channel << "'s number (reads -100.0 dB)";
        EXPECT_EQ (lights[channel].value, 0.0f) << "channel " << channel << "'s clip light is lit";
    }
}

TEST_F (EditorMeterTest, EmptyClipHandlerOnlyNotifiesListeners)
{
    meter.onClipIndicatorClick = nullptr;

    click (10, 5);

    ASSERT_EQ (recorder.clicks.size(), 1u);
    EXPECT_EQ (recorder.clicks[0].element, "clip light");
    EXPECT_TRUE (noChannelWasReset());

    click (10, 370);
    EXPECT_TRUE (everyChannelWasReset()) << "the peak-number handler still resets";
}

TEST_F (EditorMeterTest, CustomHandlerReplacesTheResetAndRunsAfterTheListeners)
{
    std::vector<std::string> order;
    meter.onPeakNumberClick = [&] (LevelMeter& clicked, int channel, juce::ModifierKeys modifiers)
    {
        EXPECT_EQ (&clicked, &meter);
        EXPECT_EQ (channel, 1);
        EXPECT_TRUE (modifiers.isShiftDown());
        order.push_back (recorder.clicks.empty() ? "handler before listener" : "handler after listener");
    };

    click (40, 370, juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::shiftModifier));

    EXPECT_EQ (order, std::vector<std::string> { "handler after listener" });
    EXPECT_TRUE (noChannelWasReset());
}

TEST_F (EditorMeterTest, RemovedListenerHearsNoMoreClicks)
{
    meter.removeListener (&recorder);
    click (10, 5);
    EXPECT_TRUE (recorder.clicks.empty());
    EXPECT_TRUE (everyChannelWasReset()) << "the default handler still runs without listeners";
}

TEST_F (EditorMeterTest, DestroyedSourceLeavesAnEmptyMeterThatIgnoresClicks)
{
    LevelMeter neverAttached { editorFlags };
    neverAttached.setSize (editorMeterWidth, editorMeterHeight);

    source.reset();
    click (10, 5);
    click (10, 370);
    tick (meter);

    EXPECT_TRUE (recorder.clicks.empty());
    EXPECT_EQ (countDifferentPixels (paintToImage (meter), paintToImage (neverAttached)), 0)
        << "a meter whose source is gone shows more than the empty background";
}

TEST_F (EditorMeterTest, LetsAnIdleSourceDecayAfterEachPaint)
{
    meter.setLookAndFeel (&drawing);
    feed (*source, { 0.5f, 0.5f });
    std::this_thread::sleep_for (std::chrono::milliseconds (110));

    paintToImage (meter);

    ASSERT_FALSE (drawing.callsTo ("bar").empty());
    EXPECT_EQ (drawing.callsTo ("bar")[0].value, 0.5f) << "the paint shows the level before decaying it";
    EXPECT_EQ (source->rmsLevel (0), 0.0f) << "no audio for 100 ms, yet the level did not fall after the paint";
}

TEST (LevelMeter, TicksThirtyTimesASecondUntilToldOtherwise)
{
    LevelMeter meter;
    EXPECT_EQ (timerIntervalMs (meter), 33);

    meter.setRepaintRate (10);
    EXPECT_EQ (timerIntervalMs (meter), 100);
}

TEST (LevelMeter, RepaintsOnTicksWhileItsPictureMayBeStale)
{
    struct Case
    {
        const char* description;
        bool attached, cached, paintFirst, newData;
        int expectedRepaints;
    };

    const Case cases[] {
        { "no source, no cache: every tick", false, false, true, false, 3 },
        { "no source, cache not drawn yet: every tick", false, true, false, false, 3 },
        { "no source, cache drawn: never", false, true, true, false, 0 },
        { "source without news, cache drawn: never", true, true, true, false, 0 },
        { "source with news, cache drawn: once for the news", true, true, true, true, 1 },
        { "source without news, no cache: every tick", true, false, true, false, 3 },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.description);
        LevelMeterSource source;
        source.resize (2, 0);
        LevelMeter meter { editorFlags };
        meter.setSize (editorMeterWidth, editorMeterHeight);
        meter.setVisible (true);
        meter.setCacheBackground (testCase.cached);

        if (testCase.attached)
            meter.attachSource (&source);

        if (testCase.paintFirst)
            paintToImage (meter);

        source.clearNewData();

        if (testCase.newData)
            feed (source, { 0.5f, 0.5f });

        int repaints = 0;
        meter.setCachedComponentImage (new RepaintCounter (repaints));
        repaints = 0; // installing the counter repaints once by itself

        for (int i = 0; i < 3; ++i)
            tick (meter);

        EXPECT_EQ (repaints, testCase.expectedRepaints);

        if (testCase.attached)
            EXPECT_FALSE (source.hasNewData()) << "a repaint leaves the source's news flagged";
    }
}

TEST (LevelMeter, CachedBackgroundShowsTheSamePicture)
{
    LevelMeterSource source;
    source.resize (2, 0);
    LevelMeter direct { editorFlags }, cached { editorFlags };
    cached.setCacheBackground (true);

    for (auto* meter : { &direct, &cached })
    {
        meter->setSize (editorMeterWidth, editorMeterHeight);
        meter->attachSource (&source);
    }

    feed (source, { 0.3f, 1.5f });
    const auto directImage = paintToImage (direct);
    paintToImage (cached);
    EXPECT_EQ (countDifferentPixels (paintToImage (cached), directImage), 0);
}

TEST (LevelMeter, DrawsWithALookAndFeelThatProvidesTheMeterInterface)
{
    LevelMeterSource source;
    source.resize (2, 0);
    RecordingLookAndFeel provided;

    LevelMeter meter { editorFlags };
    meter.setSize (editorMeterWidth, editorMeterHeight);
    meter.attachSource (&source);
    const auto ownPicture = paintToImage (meter);

    meter.setLookAndFeel (&provided);
    paintToImage (meter);
    EXPECT_EQ (provided.callsTo ("bar").size(), 2u) << "the meter ignored the look-and-feel set on it";

    meter.setLookAndFeel (nullptr);
    provided.calls.clear();
    const auto restoredPicture = paintToImage (meter);
    EXPECT_TRUE (provided.calls.empty()) << "the meter still draws with a look-and-feel it was taken off";
    EXPECT_EQ (countDifferentPixels (restoredPicture, ownPicture), 0);
}

TEST (LevelMeter, PicksUpTheMeterInterfaceFromItsParent)
{
    LevelMeterSource source;
    source.resize (2, 0);
    RecordingLookAndFeel provided;
    juce::Component parent;
    parent.setLookAndFeel (&provided);

    LevelMeter meter { editorFlags };
    meter.setSize (editorMeterWidth, editorMeterHeight);
    meter.attachSource (&source);
    parent.addChildComponent (meter);

    paintToImage (meter);
    EXPECT_EQ (provided.callsTo ("bar").size(), 2u);

    parent.removeChildComponent (&meter);
    parent.setLookAndFeel (nullptr);
}
