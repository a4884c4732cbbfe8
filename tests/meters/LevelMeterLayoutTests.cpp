#include "MeterTestHelpers.h"

using namespace meter_test;
using Rect = juce::Rectangle<float>;
using Flags = LevelMeter::MeterFlags;

namespace
{
    constexpr auto geometryTolerance = 1.0e-4f;

    std::string describe (Rect r)
    {
        return "(" + std::to_string (r.getX()) + ", " + std::to_string (r.getY()) + ", "
             + std::to_string (r.getWidth()) + ", " + std::to_string (r.getHeight()) + ")";
    }

    void expectRect (Rect actual, Rect expected, const std::string& what)
    {
        const auto near = [] (float a, float b) { return std::abs (a - b) <= geometryTolerance; };
        EXPECT_TRUE (near (actual.getX(), expected.getX()) && near (actual.getY(), expected.getY())
                     && near (actual.getWidth(), expected.getWidth()) && near (actual.getHeight(), expected.getHeight()))
            << what << " is " << describe (actual) << ", expected " << describe (expected);
    }

    void expectDrawnAt (const RecordingLookAndFeel& drawing, const std::string& element, const std::vector<Rect>& expected)
    {
        const auto calls = drawing.callsTo (element);
        ASSERT_EQ (calls.size(), expected.size()) << "number of " << element << " elements drawn";

        for (size_t i = 0; i < calls.size(); ++i)
            expectRect (calls[i].bounds, expected[i], element + " " + std::to_string (i));
    }

    Flags flagsOf (int bits)
    {
        return Flags (bits);
    }
}

TEST (LevelMeterLayout, SplitsTheEditorMeterIntoBarsTickColumnsClipLightsAndNumbers)
{
    const auto cw = 50.0f / 3.0f;

    struct Case
    {
        const char* description;
        int numChannels;
        std::vector<Rect> bars, clipLights, numbers, ticks;
    };

    const Case cases[] {
        { "stereo: two bars around one tick column", 2,
          { { cw / 20.0f, 10.0f, 15.0f, 352.5f }, { 2.0f * cw + cw / 20.0f, 10.0f, 15.0f, 352.5f } },
          { { cw / 20.0f, cw / 20.0f, 15.0f, 7.5f }, { 2.0f * cw + cw / 20.0f, cw / 20.0f, 15.0f, 7.5f } },
          { { 1.25f, 365.25f, 22.5f, 13.5f }, { 26.25f, 365.25f, 22.5f, 13.5f } },
          { { 19.5f, 10.0f, 11.0f, 352.5f } } },
        { "mono: one wide bar and no tick column", 1,
          { { 2.5f, 30.0f, 45.0f, 297.5f } },
          { { 2.5f, 2.5f, 45.0f, 22.5f } },
          { { 2.5f, 350.5f, 45.0f, 27.0f } },
          {} },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.description);

        LevelMeterSource source;
        source.resize (testCase.numChannels, 0);
        RecordingLookAndFeel drawing;
        auto image = blankImage (editorMeterWidth, editorMeterHeight);
        juce::Graphics g (image);

        drawing.drawMeterBars (g, editorFlags, { 0.0f, 0.0f, 50.0f, 380.0f }, &source, -1, -1);

        expectDrawnAt (drawing, "bar", testCase.bars);
        expectDrawnAt (drawing, "clip light", testCase.clipLights);
        expectDrawnAt (drawing, "peak number", testCase.numbers);
        expectDrawnAt (drawing, "ticks", testCase.ticks);
    }
}

TEST (LevelMeterLayout, ClickAreasOfTheEditorMeterAreEqualStripsOfItsWidth)
{
    // Clip click areas are (1.25, 1.25, 22.5, 11.25) and (26.25, 1.25, 22.5, 11.25); number click
    // areas are the drawn boxes (1.25, 365.25, 22.5, 13.5) and (26.25, 365.25, 22.5, 13.5).
    struct Case
    {
        int x, y;
        int clipChannel, numberChannel;
    };

    const Case cases[] {
        { 2, 2, 0, -1 },     { 23, 12, 0, -1 },   { 1, 5, -1, -1 },   { 24, 5, -1, -1 },
        { 10, 13, -1, -1 },  { 27, 5, 1, -1 },    { 48, 12, 1, -1 },  { 49, 5, -1, -1 },
        { 2, 366, -1, 0 },   { 23, 378, -1, 0 },  { 10, 365, -1, -1 }, { 10, 379, -1, -1 },
        { 30, 370, -1, 1 },  { 10, 200, -1, -1 },
    };

    LevelMeterSource source;
    source.resize (2, 0);
    const LevelMeterLookAndFeel drawing;
    const Rect bounds { 0.0f, 0.0f, 50.0f, 380.0f };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE ("click at (" + std::to_string (testCase.x) + ", " + std::to_string (testCase.y) + ")");
        const juce::Point<int> position { testCase.x, testCase.y };

        EXPECT_EQ (drawing.hitTestClipIndicator (position, editorFlags, bounds, &source), testCase.clipChannel);
        EXPECT_EQ (drawing.hitTestMaxNumber (position, editorFlags, bounds, &source), testCase.numberChannel);
    }
}

TEST (LevelMeterLayout, HitTestsFindNothingWithoutChannels)
{
    const LevelMeterLookAndFeel drawing;
    LevelMeterSource empty;
    const Rect bounds { 0.0f, 0.0f, 50.0f, 380.0f };

    EXPECT_EQ (drawing.hitTestClipIndicator ({ 10, 5 }, editorFlags, bounds, nullptr), -1);
    EXPECT_EQ (drawing.hitTestMaxNumber ({ 10, 370 }, editorFlags, bounds, nullptr), -1);
    EXPECT_EQ (drawing.hitTestClipIndicator ({ 10, 5 }, editorFlags, bounds, &empty), -1);
    EXPECT_EQ (drawing.hitTestMaxNumber ({ 10, 370 }, editorFlags, bounds, &empty), -1);
}

TEST (LevelMeterLayout, FramedMetersDrawInsideTheirFrame)
{
    LevelMeterLookAndFeel drawing;
    const Rect bounds { 0.0f, 0.0f, 100.0f, 300.0f };
    auto image = blankImage (100, 300);
    juce::Graphics g (image);

    expectRect (drawing.getMeterInnerBounds (bounds, LevelMeter::Framed), { 4.0f, 4.0f, 92.0f, 292.0f }, "framed inner area");
    expectRect (drawing.drawBackground (g, LevelMeter::Framed, bounds), { 4.0f, 4.0f, 92.0f, 292.0f }, "area left by the frame");
    expectRect (drawing.getMeterInnerBounds (bounds, LevelMeter::NoFlags), bounds, "unframed inner area");
    expectRect (drawing.getMeterInnerBounds ({ 0.0f, 0.0f, 5.0f, 5.0f }, LevelMeter::Framed), { 3.05f, 3.05f, 0.0f, 0.0f },
                "inner area of a frame larger than its meter");
}

TEST (LevelMeterLayout, PlacesEveryElementOfEachLayout)
{
    struct Case
    {
        const char* description;
        int flags;
        Rect bounds;
        Rect bar, ticks, clipLight, number;
    };

    const Case cases[] {
        { "default, vertical", LevelMeter::NoFlags, { 0, 0, 100, 400 },
          { 5, 32.5f, 45, 332.5f }, { 50, 34.5f, 45, 328.5f }, { 5, 5, 45, 22.5f }, { 5, 370, 90, 25 } },
        { "default, horizontal", LevelMeter::HorizontalBars, { 0, 0, 400, 100 },
          { 75, 5, 285, 40 }, { 75, 55, 285, 40 }, { 375, 5, 20, 40 }, { 5, 55, 60, 40 } },
        { "full area", LevelMeter::FullArea, { 10, 20, 30, 40 },
          { 10, 20, 30, 40 }, { 10, 20, 30, 40 }, { 10, 20, 30, 40 }, { 10, 20, 30, 40 } },
        { "compact, horizontal, with number", LevelMeter::Compact | LevelMeter::HorizontalBars | LevelMeter::PeakNumber, { 0, 0, 400, 40 },
          { 2, 2, 354, 36 }, { 2, 4, 354, 32 }, { 362, 2, 36, 36 }, { 362, 2, 36, 36 } },
        { "compact, vertical, without number", LevelMeter::Compact, { 0, 0, 20, 300 },
          { 1, 12, 18, 287 }, { 3, 12, 14, 287 }, { 1, 1, 18, 9 }, {} },
        { "compact, vertical, with number", LevelMeter::Compact | LevelMeter::PeakNumber, { 0, 0, 50, 380 },
          { 2.5f, 30, 45, 297.5f }, { 4.5f, 30, 41, 297.5f }, { 2.5f, 2.5f, 45, 22.5f }, { 2.5f, 350.5f, 45, 27 } },
    };

    const LevelMeterLookAndFeel drawing;

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.description);
        const auto flags = flagsOf (testCase.flags);

        expectRect (drawing.getMeterBarBounds (testCase.bounds, flags), testCase.bar, "bar area");
        expectRect (drawing.getMeterTickmarksBounds (testCase.bounds, flags), testCase.ticks, "tick area");
        expectRect (drawing.getMeterClipIndicatorBounds (testCase.bounds, flags), testCase.clipLight, "clip light");
        expectRect (drawing.getMeterMaxNumberBounds (testCase.bounds, flags), testCase.number, "number box");
    }
}

TEST (LevelMeterLayout, SplitsTheAreaIntoChannelStrips)
{
    struct Case
    {
        const char* description;
        int flags;
        int numChannels, channel;
        Rect expected;
    };

    const Rect bounds { 0, 0, 90, 300 };

    const Case cases[] {
        { "side by side", LevelMeter::NoFlags, 3, 2, { 60, 0, 30, 300 } },
        { "stacked", LevelMeter::HorizontalBars, 3, 1, { 0, 100, 90, 100 } },
        { "one channel fills the area", LevelMeter::OneChannel, 3, 2, bounds },
    };

    const LevelMeterLookAndFeel drawing;

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.description);
        expectRect (drawing.getMeterBounds (bounds, flagsOf (testCase.flags), testCase.numChannels, testCase.channel),
                    testCase.expected, "channel strip");
    }
}

TEST (LevelMeterLayout, DefaultLayoutDividesByAFixedChannelCount)
{
    // Four strips for a stereo source: the two channels take the left half.
    LevelMeterSource source;
    source.resize (2, 0);
    RecordingLookAndFeel drawing;
    auto image = blankImage (400, 300);
    juce::Graphics g (image);

    drawing.drawMeterBars (g, LevelMeter::NoFlags, { 0, 0, 400, 300 }, &source, 4, -1);
    const auto bars = drawing.callsTo ("bar");

    ASSERT_EQ (bars.size(), 2u);
    expectRect (bars[1].bounds, drawing.getMeterBarBounds ({ 100, 0, 100, 300 }, LevelMeter::NoFlags), "second channel's bar");

    drawing.calls.clear();
    drawing.drawMeterBars (g, LevelMeter::NoFlags, { 0, 0, 400, 300 }, &source, 0, -1);
    ASSERT_EQ (drawing.callsTo ("bar").size(), 2u) << "a fixed count of 0 follows the source instead of dividing by zero";
    expectRect (drawing.callsTo ("bar")[1].bounds, drawing.getMeterBarBounds ({ 200, 0, 200, 300 }, LevelMeter::NoFlags),
                "second channel's bar");
}

TEST (LevelMeterLayout, OneChannelDrawsOnlyAnExistingSelectedChannel)
{
    LevelMeterSource source;
    source.resize (2, 0);
    feed (source, { 0.25f, 0.5f });
    RecordingLookAndFeel drawing;
    auto image = blankImage (100, 300);
    juce::Graphics g (image);
    const auto flags = LevelMeter::OneChannel;

    drawing.drawMeterBars (g, flags, { 0, 0, 100, 300 }, &source, -1, 1);
    ASSERT_EQ (drawing.callsTo ("bar").size(), 1u);
    EXPECT_EQ (drawing.callsTo ("bar")[0].value, 0.5f) << "the selected channel's level";

    for (const auto selected : { -1, 2 })
    {
        drawing.calls.clear();
        drawing.drawMeterBars (g, flags, { 0, 0, 100, 300 }, &source, -1, selected);
        EXPECT_TRUE (drawing.calls.empty()) << "selected channel " << selected << " is not shown";
    }
}
