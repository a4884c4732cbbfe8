#include "PaintTestHelpers.h"

#include "suite/Colors.h"
#include "suite/PelmarLookAndFeel.h"

#include <cmath>

using paint_test::pixelIs;
using paint_test::pixelIsNot;

// The shared look-and-feel reads the palette while it is built, so the palette must be usable in
// constant expressions: no source file's initialisation order can then leave it unset.
static_assert (suite::Colors::text.argb == 0xffe8e8e8 && suite::Colors::textDim.argb == 0xff909090);

namespace
{
    const juce::Colour background { 0xff0a0a0a };
    const juce::Colour trackColour { 0xff202020 };
    const juce::Colour arcCoreColour { 0xff7ab8ff };
    const juce::Colour bodyTop { 0xff434343 };
    const juce::Colour bodyBottom { 0xff111111 };

    // The editor's knob: a 150 x 150 rotary slider whose 20-pixel text box leaves a 150 x 130 knob area.
    constexpr float centreX = 75.0f;
    constexpr float centreY = 65.0f;
    constexpr float trackRadius = 55.0f;
    constexpr float knobRadius = 0.62f * trackRadius;

    struct EditorKnob
    {
        explicit EditorKnob (double value)
        {
            slider.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
            slider.setTextBoxStyle (juce::Slider::TextBoxBelow, false, 70, 20);
            slider.setLookAndFeel (&suite::pelmarLookAndFeel());
            slider.setRange (0.0, 1.0);
            slider.setValue (value, juce::dontSendNotification);
            slider.setSize (150, 150);
        }

        float angleAt (double proportion) const
        {
            const auto params = slider.getRotaryParameters();
            return params.startAngleRadians + (float) proportion * (params.endAngleRadians - params.startAngleRadians);
        }

        juce::Image paint()  { return paint_test::paintComponent (slider, background); }

        juce::Slider slider;
    };

    // Angle 0 points to twelve o'clock and grows clockwise, as in JUCE's rotary sliders.
    juce::Point<float> alongAngle (float angle, float distance)
    {
        return { centreX + distance * std::sin (angle), centreY - distance * std::cos (angle) };
    }
}

TEST (PelmarLookAndFeel, IsOneSharedInstanceHoldingTheThemesTextColours)
{
    auto& lookAndFeel = suite::pelmarLookAndFeel();
    EXPECT_EQ (&lookAndFeel, &suite::pelmarLookAndFeel());

    EXPECT_EQ (lookAndFeel.findColour (juce::Slider::textBoxTextColourId), juce::Colour (0xffe8e8e8));
    EXPECT_EQ (lookAndFeel.findColour (juce::Slider::textBoxOutlineColourId), juce::Colour (0x00000000));
    EXPECT_EQ (lookAndFeel.findColour (juce::Label::textColourId), juce::Colour (0xff909090));
}

TEST (PelmarLookAndFeel, DrawsTheValueArcOverTheTrackFromTheStartToTheValueOnly)
{
    struct Case
    {
        double value;
    };

    for (const auto testCase : { Case { 0.5 }, Case { 0.8 }, Case { 1.0 } })
    {
        SCOPED_TRACE ("knob at " + std::to_string (testCase.value));
        EditorKnob knob (testCase.value);
        const auto image = knob.paint();
        const auto valueAngle = knob.angleAt (testCase.value);

        EXPECT_TRUE (pixelIs (image, "value arc core halfway to the value", alongAngle (knob.angleAt (testCase.value * 0.5), trackRadius), arcCoreColour));
        EXPECT_TRUE (pixelIs (image, "value arc core just short of the value", alongAngle (valueAngle - 0.15f, trackRadius), arcCoreColour));

        if (testCase.value < 1.0)
        {
            // The rounded caps and the 12-pixel glow reach about 6 pixels past the value; beyond that lies bare track.
            EXPECT_TRUE (pixelIs (image, "track beyond the value", alongAngle (valueAngle + 0.25f, trackRadius), trackColour));
            EXPECT_TRUE (pixelIs (image, "track at its end", alongAngle (knob.angleAt (0.98), trackRadius), trackColour));
            EXPECT_TRUE (pixelIs (image, "background outside the track beyond the value", alongAngle (valueAngle + 0.25f, trackRadius + 5.0f), background));
        }

        EXPECT_TRUE (pixelIsNot (image, "outer glow beside the value arc", alongAngle (knob.angleAt (testCase.value * 0.5), trackRadius + 5.0f), background, 4));
    }
}

TEST (PelmarLookAndFeel, ShadesTheKnobBodyFromLightAtTheTopToDarkAtTheBottom)
{
    // At the start position the pointer lies down-left, clear of the vertical through the centre.
    EditorKnob knob (0.0);
    const auto image = knob.paint();

    const auto shadeAt = [] (float y)
    {
        const auto proportion = (y - (centreY - knobRadius)) / (2.0f * knobRadius);
        return bodyTop.interpolatedWith (bodyBottom, proportion);
    };

    for (const auto y : { centreY - knobRadius + 3.5f, centreY, centreY + knobRadius - 3.5f })
    {
        SCOPED_TRACE ("row " + std::to_string (y));
        const juce::Point<float> point (centreX - 0.5f, y);
        EXPECT_TRUE (pixelIs (image, "knob body", point, shadeAt (std::floor (y) + 0.5f), 2));
    }
}

TEST (PelmarLookAndFeel, LightsThePointerCoreAlongTheValueAngle)
{
    // The core spans about 2.74 to 15.87 pixels from the centre; the glow copies lie farther out.
    for (const auto value : { 0.5, 0.75, 0.1 })
    {
        SCOPED_TRACE ("knob at " + std::to_string (value));
        EditorKnob knob (value);
        const auto image = knob.paint();
        const auto angle = knob.angleAt (value);

        for (const auto distance : { 4.0f, 9.0f, 14.5f })
            EXPECT_TRUE (pixelIs (image, "pointer core", alongAngle (angle, distance), arcCoreColour));

        EXPECT_TRUE (pixelIsNot (image, "knob centre, inside the pointer's inner end", alongAngle (angle, 0.5f), arcCoreColour, 24));
        EXPECT_TRUE (pixelIsNot (image, "past the pointer core's outer end", alongAngle (angle, 19.0f), arcCoreColour, 24));
        EXPECT_TRUE (pixelIsNot (image, "opposite the pointer", alongAngle (angle, -9.0f), arcCoreColour, 24));
    }
}

TEST (PelmarLookAndFeel, DrawsNoArcsWhenTheKnobAreaIsTwentyOnePixelsOrLess)
{
    struct Case
    {
        int width, height;
    };

    const Case cases[] { { 21, 21 }, { 21, 130 }, { 130, 20 } };
    juce::Slider slider;

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (std::to_string (testCase.width) + " x " + std::to_string (testCase.height));
        auto image = paint_test::blankImage (150, 150, background);

        {
            juce::Graphics g (image);
            suite::pelmarLookAndFeel().drawRotarySlider (g, 10, 10, testCase.width, testCase.height, 0.7f,
                                                         juce::MathConstants<float>::pi * 1.2f,
                                                         juce::MathConstants<float>::pi * 2.8f, slider);
        }

        // The arcs and glows are the only blue; a zero-sized body leaves at most a grey dot of rim.
        const auto arcs = paint_test::inkBounds (image, image.getBounds(), [] (juce::Colour c)
        {
            return c.getBlue() > c.getRed() + 8 || c == trackColour;
        });

        EXPECT_TRUE (arcs.isEmpty()) << "an arc was drawn in " << arcs.toString();
    }
}

TEST (PelmarLookAndFeel, DrawsDisabledKnobsLikeEnabledOnes)
{
    EditorKnob enabled (0.6);
    EditorKnob disabled (0.6);
    disabled.slider.setEnabled (false);

    const auto knobArea = juce::Rectangle<int> (0, 0, 150, 130);
    const auto enabledImage = enabled.paint().getClippedImage (knobArea);
    const auto disabledImage = disabled.paint().getClippedImage (knobArea);

    for (int y = 0; y < knobArea.getHeight(); ++y)
        for (int x = 0; x < knobArea.getWidth(); ++x)
            ASSERT_EQ (enabledImage.getPixelAt (x, y), disabledImage.getPixelAt (x, y)) << "at (" << x << ", " << y << ")";
}
