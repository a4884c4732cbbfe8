#include "MeterTestHelpers.h"

#include <functional>

using namespace meter_test;
using Rect = juce::Rectangle<float>;

namespace
{
    const auto unpainted = juce::Colours::black;
    const auto meterBackground = juce::Colour (0xff050a29);
    const auto elementBackground = juce::Colour (0xff555555);
    const auto gradientLow = juce::Colour (0xff008000);
    const auto gradientMid = juce::Colour (0xfffafad2);
    const auto gradientHigh = juce::Colour (0xffff0000);
    const auto orange = juce::Colour (0xffffa500);
    const auto lightGrey = juce::Colour (0xffd3d3d3);

    // Channel 0's bar area in the editor's stereo meter; its snapped fill area F is
    // (2, 11, 12, 350), so F's rows are 11 to 360 and -100 dB lies at row 361.
    const Rect editorBar { 50.0f / 3.0f / 20.0f, 10.0f, 15.0f, 352.5f };
    constexpr int barColumn = 8, barTopRow = 11, barEndRow = 361;

    juce::Image drawnBar (float rms, float peak, LevelMeter::MeterFlags flags = editorFlags)
    {
        LevelMeterLookAndFeel drawing;
        auto image = blankImage (editorMeterWidth, editorMeterHeight, unpainted);
        juce::Graphics g (image);
        drawing.drawMeterBar (g, flags, editorBar, rms, peak);
        return image;
    }

    bool isPainted (const juce::Image& image, int x, int y)
    {
        return image.getPixelAt (x, y) != unpainted;
    }

    /** An editor-sized meter on its own stereo source, as the editor builds it. */
    struct EditorMeter
    {
        EditorMeter()
        {
            source.resize (2, 0);
            meter.setSize (editorMeterWidth, editorMeterHeight);
            meter.attachSource (&source);
        }

        juce::Image paintWithLevels (std::vector<float> levels)
        {
            feed (source, std::move (levels));
            return paintToImage (meter);
        }

        LevelMeterSource source;
        LevelMeter meter { editorFlags };
    };
}

TEST (LevelMeterDrawing, BarRisesLinearlyInDecibelsFromTheBottomOfItsArea)
{
    struct Case
    {
        const char* description;
        float rms;
        int firstLitRow; // -1: nothing filled
    };

    const Case cases[] {
        { "-20 dB reaches a fifth of the way down", 0.1f, barTopRow + 70 },
        { "full scale fills the whole bar", 1.0f, barTopRow },
        { "silence fills nothing", 0.0f, -1 },
        { "-120 dB is below the -100 dB floor", 1.0e-6f, -1 },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.description);
        const auto image = drawnBar (testCase.rms, 0.0f);

        for (int y = 0; y < editorMeterHeight; ++y)
        {
            const auto lit = testCase.firstLitRow >= 0 && y >= testCase.firstLitRow && y < barEndRow;
            ASSERT_EQ (isPainted (image, barColumn, y), lit) << "bar pixel at row " << y;
        }

        if (testCase.firstLitRow >= 0)
        {
            EXPECT_FALSE (isPainted (image, 1, 300)) << "the bar stays inside its outline on the left";
            EXPECT_TRUE (isPainted (image, 2, 300));
            EXPECT_TRUE (isPainted (image, 13, 300));
            EXPECT_FALSE (isPainted (image, 14, 300)) << "the bar stays inside its outline on the right";
        }
    }
}

TEST (LevelMeterDrawing, BarColourDependsOnlyOnHeight)
{
    const auto image = drawnBar (1.0f, 0.0f);

    for (const auto row : { 190, 300, 360 })
        expectPixel (image, "bar below -50 dB", barColumn, row, gradientLow);

    expectPixel (image, "bar at -25 dB (the mid stop)", barColumn, 98, gradientMid, 6);
    expectPixel (image, "bar top at 0 dB", barColumn, barTopRow, gradientHigh, 8);
}

TEST (LevelMeterDrawing, PeakLineSitsAtThePeakInItsWarningColour)
{
    struct Case
    {
        const char* description;
        float peak;
        int row;
        juce::Colour colour;
    };

    const Case cases[] {
        { "-0.087 dB: over", 0.99f, 11, juce::Colour (0xff8b0000) },
        { "-3.1 dB: warning", 0.7f, 22, orange },
        { "-6.0 dB: normal", 0.5f, 32, lightGrey },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.description);
        const auto image = drawnBar (0.0f, testCase.peak);

        expectPixel (image, "peak line", barColumn, testCase.row, testCase.colour);
        expectPixel (image, "peak line's left end", 2, testCase.row, testCase.colour);
        expectPixel (image, "peak line's right end", 13, testCase.row, testCase.colour);
        expectPixel (image, "row above the peak line", barColumn, testCase.row - 1, unpainted);
        expectPixel (image, "row below the peak line", barColumn, testCase.row + 1, unpainted);
    }
}

TEST (LevelMeterDrawing, PeakAtOrBelowMinus90DbDrawsNoLine)
{
    const auto image = drawnBar (0.0f, 1.0e-5f);

    for (int y = 0; y < editorMeterHeight; ++y)
        ASSERT_FALSE (isPainted (image, barColumn, y)) << "something drawn at row " << y;
}

TEST (LevelMeterDrawing, ReductionHangsFromTheTopOnAThirtyDecibelScale)
{
    struct Case
    {
        const char* description;
        std::function<void (LevelMeterLookAndFeel&, juce::Graphics&, Rect)> draw;
        int lastLitRow; // -1: nothing filled
    };

    // The element (0, 0, 20, 302) snaps to F = (1, 1, 18, 300).
    const Case cases[] {
        { "overlay of -20 dB covers two thirds",
          [] (auto& d, auto& g, Rect b) { d.drawMeterReduction (g, LevelMeter::NoFlags, b, 0.1f); }, 200 },
        { "overlay of 0 dB covers nothing",
          [] (auto& d, auto& g, Rect b) { d.drawMeterReduction (g, LevelMeter::NoFlags, b, 1.0f); }, -1 },
        { "a gain-reduction bar of -20 dB covers two thirds and has no peak line",
          [] (auto& d, auto& g, Rect b) { d.drawMeterBar (g, LevelMeter::GainReduction, b, 0.1f, 1.0f); }, 200 },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.description);
        LevelMeterLookAndFeel drawing;
        auto image = blankImage (20, 302, unpainted);
        juce::Graphics g (image);
        testCase.draw (drawing, g, { 0.0f, 0.0f, 20.0f, 302.0f });

        for (int y = 0; y < 302; ++y)
        {
            const auto lit = y >= 1 && y <= testCase.lastLitRow;

            if (lit)
                expectPixel (image, "reduction", 10, y, orange);
            else
                expectPixel (image, "outside the reduction", 10, y, unpainted);
        }
    }
}

TEST (LevelMeterDrawing, FullAreaDrawsNoBar)
{
    const auto image = drawnBar (1.0f, 1.0f, LevelMeter::FullArea);

    for (int y = 0; y < editorMeterHeight; ++y)
        ASSERT_FALSE (isPainted (image, barColumn, y)) << "something drawn at row " << y;
}

TEST (LevelMeterDrawing, PeakNumberShowsDecibelsWithOneDecimalInItsColour)
{
    struct Case
    {
        float maxGain;
        const char* text;
        juce::Colour colour;
    };

    const Case cases[] {
        { 0.5f, "-6.0 dB", lightGrey },
        { 1.0f, "0.0 dB", lightGrey },
        { 1.2f, "1.6 dB", juce::Colours::white },
        { -100.0f, "-100.0 dB", lightGrey },
        { 0.0f, "-100.0 dB", lightGrey },
    };

    const Rect box { 0.0f, 0.0f, 120.0f, 40.0f };
    const juce::Rectangle<int> textBox { 2, 2, 116, 36 };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (std::string ("peak ") + std::to_string (testCase.maxGain) + " should read " + testCase.text);
        LevelMeterLookAndFeel drawing;
        auto drawn = blankImage (120, 40, unpainted);
        {
            juce::Graphics g (drawn);
            drawing.drawMaxNumber (g, editorFlags, box, testCase.maxGain);
        }

        auto expected = blankImage (120, 40, elementBackground);
        {
            juce::Graphics g (expected);
            g.setColour (testCase.colour);
            g.setFont (20.0f);
            g.drawFittedText (testCase.text, textBox, juce::Justification::centred, 1, 0.0f);
        }

        ASSERT_GT (countDifferentPixels (expected, blankImage (120, 40, elementBackground), textBox), 0)
            << "no text could be rendered on this machine";
        EXPECT_EQ (countDifferentPixels (drawn, expected, textBox), 0) << "the number box shows other text or colours";
        expectPixel (drawn, "number box outline", 60, 0, lightGrey);
    }
}

TEST (LevelMeterDrawing, WideCompactTickColumnsCarryDecibelLabels)
{
    // A 30 x 300 column has a step of 29.8 pixels, enough for labels; the top one reads "-0".
    LevelMeterLookAndFeel drawing;
    auto drawn = blankImage (30, 300, unpainted);
    {
        juce::Graphics g (drawn);
        drawing.drawTickMarks (g, LevelMeter::Compact, { 0.0f, 0.0f, 30.0f, 300.0f });
    }

    auto expected = blankImage (30, 300, unpainted);
    {
        juce::Graphics g (expected);
        g.setColour (orange);
        g.setFont (0.5f * 29.8f);
        g.drawFittedText ("-0", { 0, 2, 30, 18 }, juce::Justification::centredTop, 1, 0.0f);
    }

    EXPECT_EQ (countDifferentPixels (drawn, expected, { 0, 2, 30, 18 }), 0) << "the top label is not \"-0\" in the tick colour";
    expectPixel (drawn, "top tick line", 15, 1, orange);
    expectPixel (drawn, "second tick line", 15, 31, orange);
}

TEST (LevelMeterDrawing, EditorMeterShowsTicksLevelWithTheBarsScaleAndNoLabels)
{
    EditorMeter editor;
    const auto image = editor.paintWithLevels ({ 0.0f, 0.0f });

    // The tick area (19.5, 10, 11, 352.5) has lines from x = 23.5 at rows 11, 46, 81, ... 326.
    for (const auto row : { 11, 46, 81, 186, 326 })
        expectPixel (image, "tick line", 26, row, orange);

    expectPixel (image, "left of the tick lines", 21, 81, meterBackground);

    for (int y = 13; y < 45; ++y)
        for (int x = 20; x < 31; ++x)
            ASSERT_EQ (image.getPixelAt (x, y), meterBackground) << "label or mark between tick lines at (" << x << ", " << y << ")";
}

TEST (LevelMeterDrawing, EditorMeterPaintsBackgroundThenBarThenPeakLine)
{
    EditorMeter editor;
    const auto image = editor.paintWithLevels ({ 0.1f, 0.1f });

    expectPixel (image, "meter background beside the bars", 25, 5, meterBackground);
    expectPixel (image, "empty bar area above -20 dB", barColumn, 79, elementBackground);
    expectPixel (image, "peak line at -20 dB over the bar", barColumn, 81, lightGrey);
    EXPECT_NE (image.getPixelAt (barColumn, 82), elementBackground) << "the bar is lit just below its peak line";
    expectPixel (image, "bar below -50 dB", barColumn, 300, gradientLow);
    expectPixel (image, "second channel's bar below -50 dB", 41, 300, gradientLow);
}

TEST (LevelMeterDrawing, ClipLightIsLitOnlyForAClippedChannel)
{
    EditorMeter editor;
    const auto image = editor.paintWithLevels ({ 1.5f, 0.5f });

    expectPixel (image, "first channel's clip light after an overload", 8, 4, juce::Colour (0xffff0000));
    expectPixel (image, "second channel's clip light", 41, 4, elementBackground);
}

TEST (LevelMeterDrawing, FramedBackgroundHasAnOutlineInsideItsEdge)
{
    LevelMeterLookAndFeel drawing;
    auto image = blankImage (100, 300, unpainted);
    juce::Graphics g (image);
    drawing.drawBackground (g, LevelMeter::Framed, { 0.0f, 0.0f, 100.0f, 300.0f });

    expectPixel (image, "frame", 3, 150, orange);
    expectPixel (image, "background outside the frame", 0, 150, meterBackground);
    expectPixel (image, "background inside the frame", 10, 150, meterBackground);
}

TEST (LevelMeterDrawing, ColourSetOnAMeterWinsOnlyOnThatMeter)
{
    const auto customLow = juce::Colour (0xff00ff88);
    EditorMeter tinted, plain;
    tinted.meter.setColour (LevelMeter::gradientLowColourId, customLow);

    const auto tintedImage = tinted.paintWithLevels ({ 0.5f, 0.5f });
    const auto plainImage = plain.paintWithLevels ({ 0.5f, 0.5f });

    expectPixel (tintedImage, "tinted meter's bar below -50 dB", barColumn, 300, customLow);
    expectPixel (plainImage, "plain meter's bar below -50 dB", barColumn, 300, gradientLow);
    expectPixel (tintedImage, "tinted meter's peak line", barColumn, 32, lightGrey);
}

TEST (LevelMeterDrawing, ColoursForReservedIdsChangeNothing)
{
    EditorMeter reserved, plain;
    reserved.meter.setColour (LevelMeter::reservedColourIdA, juce::Colours::magenta);
    reserved.meter.setColour (LevelMeter::reservedColourIdB, juce::Colours::cyan);

    const auto reservedImage = reserved.paintWithLevels ({ 1.5f, 0.25f });
    const auto plainImage = plain.paintWithLevels ({ 1.5f, 0.25f });

    EXPECT_EQ (countDifferentPixels (reservedImage, plainImage), 0);
}

TEST (LevelMeterDrawing, ColourChangeReachesTheBarsAfterTheNextResize)
{
    const auto customLow = juce::Colour (0xff00ff88);
    EditorMeter editor;
    editor.paintWithLevels ({ 0.5f, 0.5f });

    editor.meter.setColour (LevelMeter::gradientLowColourId, customLow);
    expectPixel (editor.paintWithLevels ({ 0.5f, 0.5f }), "bar with its cached gradient", barColumn, 300, gradientLow);

    editor.meter.setSize (editorMeterWidth, editorMeterHeight + 1);
    editor.meter.setSize (editorMeterWidth, editorMeterHeight);
    expectPixel (editor.paintWithLevels ({ 0.5f, 0.5f }), "bar after a resize", barColumn, 300, customLow);
}

TEST (LevelMeterDrawing, MetersSharingADrawingObjectKeepTheirOwnBarColours)
{
    // A look-and-feel on the parent draws both meters; the plain one is shorter, so its bar
    // is low-coloured further up (-50 dB is row 96 of its 200 rows).
    LevelMeterLookAndFeel shared;
    juce::Component parent;
    parent.setLookAndFeel (&shared);

    const auto customLow = juce::Colour (0xff00ff88);
    EditorMeter tinted, plain;
    tinted.meter.setColour (LevelMeter::gradientLowColourId, customLow);
    plain.meter.setSize (editorMeterWidth, 200);
    parent.addChildComponent (tinted.meter);
    parent.addChildComponent (plain.meter);

    expectPixel (tinted.paintWithLevels ({ 0.5f, 0.5f }), "tinted meter's bar", barColumn, 300, customLow);
    expectPixel (plain.paintWithLevels ({ 0.5f, 0.5f }), "plain meter's bar below -50 dB", barColumn, 120, gradientLow);
    expectPixel (tinted.paintWithLevels ({ 0.5f, 0.5f }), "tinted meter's bar, painted again", barColumn, 300, customLow);

    parent.removeAllChildren();
    parent.setLookAndFeel (nullptr);
}
