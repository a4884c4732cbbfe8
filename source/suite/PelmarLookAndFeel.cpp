#include "PelmarLookAndFeel.h"

#include "Colors.h"

namespace suite
{

namespace
{
    // Space between the track and the edge of the knob area, for the outer glow.
    constexpr float trackInset = 10.0f;
    constexpr float trackThickness = 4.0f;
    constexpr float knobToTrackRatio = 0.62f;

    struct GlowStroke
    {
        float width;
        PaletteColour colour;
        juce::uint8 alpha;
    };

    // Widest and faintest first, so the core lies on top.
    constexpr GlowStroke valueArcStrokes[] {
        { 12.0f, Colors::accentGlow,   0x26 },
        {  8.0f, Colors::accentGlow,   0x4c },
        {  5.0f, Colors::accent,       0x99 },
        {  3.5f, Colors::accentBright, 0xff },
    };

    struct PointerFill
    {
        float scale;
        PaletteColour colour;
        juce::uint8 alpha;
    };

    constexpr PointerFill pointerFills[] {
        { 1.4f, Colors::accentGlow,   0x80 },
        { 1.2f, Colors::accent,       0xcc },
        { 1.0f, Colors::accentBright, 0xff },
    };

    juce::Path centredArc (float centreX, float centreY, float radius, float fromAngle, float toAngle)
    {
        juce::Path arc;
        arc.addCentredArc (centreX, centreY, radius, radius, 0.0f, fromAngle, toAngle, true);
        return arc;
    }

    // The pointer in knob coordinates: centred on the vertical axis, pointing up from near the centre.
    juce::Path pointerShape (float knobRadius)
    {
        constexpr float width = 3.5f;
        constexpr float cornerSize = 1.5f;
        const auto length = knobRadius * 0.7f;

        juce::Path pointer;
        pointer.addRoundedRectangle (-width * 0.5f, 8.0f - length, width, length * 0.55f, cornerSize, cornerSize,
                                     true, true, true, true);
        return pointer;
    }
}

PelmarLookAndFeel::PelmarLookAndFeel()
{
    setColour (juce::Slider::textBoxTextColourId, Colors::text);
    setColour (juce::Slider::textBoxOutlineColourId, juce::Colours::transparentBlack);
    setColour (juce::Label::textColourId, Colors::textDim);
}

void PelmarLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                          float rotaryStartAngle, float rotaryEndAngle, juce::Slider&)
{
    const auto radius = (float) juce::jmin (width / 2, height / 2) - trackInset;
    const auto centreX = (float) x + 0.5f * (float) width;
    const auto centreY = (float) y + 0.5f * (float) height;
    const auto angle = rotaryStartAngle + sliderPos * (rotaryEndAngle - rotaryStartAngle);
    const auto knobRadius = knobToTrackRatio * radius;

    g.setColour (juce::Colour (Colors::border).darker (0.3f));
    g.strokePath (centredArc (centreX, centreY, radius, rotaryStartAngle, rotaryEndAngle),
                  juce::PathStrokeType (trackThickness));

    const auto valueArc = centredArc (centreX, centreY, radius, rotaryStartAngle, angle);

    for (const auto& stroke : valueArcStrokes)
    {
        g.setColour (juce::Colour (stroke.colour).withAlpha (stroke.alpha));
        g.strokePath (valueArc, juce::PathStrokeType (stroke.width, juce::PathStrokeType::curved,
                                                      juce::PathStrokeType::rounded));
    }

    const juce::Rectangle<float> body (centreX - knobRadius, centreY - knobRadius, 2.0f * knobRadius, 2.0f * knobRadius);

    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x99));
    g.fillEllipse (body.translated (2.0f, 3.0f));

    g.setGradientFill (juce::ColourGradient (juce::Colour (Colors::panelDark).brighter (0.25f), centreX, centreY - knobRadius,
                                             juce::Colour (Colors::panelDark).darker (0.2f), centreX, centreY + knobRadius,
                                             false));
    g.fillEllipse (body);

    g.setColour (juce::Colour (Colors::border).brighter (0.3f));
    g.drawEllipse (body, 1.5f);

    const auto pointer = pointerShape (knobRadius);
    const auto placement = juce::AffineTransform::rotation (angle).translated (centreX, centreY);

    for (const auto& fill : pointerFills)
    {
        g.setColour (juce::Colour (fill.colour).withAlpha (fill.alpha));
        g.fillPath (pointer, placement.scaled (fill.scale, fill.scale, centreX, centreY));
    }
}

PelmarLookAndFeel& pelmarLookAndFeel()
{
    static PelmarLookAndFeel instance;
    return instance;
}

} // namespace suite
