#include "LevelMeterLookAndFeel.h"

#include <cmath>

namespace
{
    using MeterFlags = LevelMeter::MeterFlags;
    using Rect = juce::Rectangle<float>;

    constexpr auto levelFloorDb = -100.0f;
    constexpr auto reductionFloorDb = -30.0f;
    constexpr auto peakLineHiddenBelowDb = -90.0f;
    constexpr auto peakLineWarnAboveDb = -5.0f;
    constexpr auto peakLineOverAboveDb = -0.3f;

    bool has (MeterFlags flags, MeterFlags bit) noexcept
    {
        return (flags & bit) != 0;
    }

    float clampedSize (float size) noexcept
    {
        return std::max (0.0f, size);
    }

    /** Rounds to the nearest whole pixel, ties to even, so lines never land between rows. */
    int nearest (float value) noexcept
    {
        return (int) std::nearbyint ((double) value);
    }

    juce::Rectangle<int> nearestBox (float x, float y, float w, float h) noexcept
    {
        return { nearest (x), nearest (y), nearest (w), nearest (h) };
    }

    float gainToDecibels (float gain, float floorDb) noexcept
    {
        return gain > 0.0f ? std::max (20.0f * std::log10 (gain), floorDb) : floorDb;
    }

    float scaleFloor (MeterFlags flags) noexcept
    {
        return has (flags, LevelMeter::GainReduction) ? reductionFloorDb : levelFloorDb;
    }

    /** The bar's area snapped to whole pixels, one pixel inside the element's outline, so that
        repaints at 30 Hz do not shimmer at fractional edges. */
    Rect snappedBar (Rect b) noexcept
    {
        const auto left = std::ceil (b.getX()) + 1.0f;
        const auto top = std::ceil (b.getY()) + 1.0f;
        const auto width = std::floor (b.getX() + b.getWidth()) - std::ceil (b.getX() + 2.0f);
        const auto height = std::floor (b.getY() + b.getHeight()) - (std::ceil (b.getY()) + 2.0f);
        return { left, top, width, height };
    }

    // The Compact layout interleaves n bar columns with n - 1 tick columns of equal size.
    Rect compactBarColumn (Rect inner, MeterFlags flags, int numChannels, int channel) noexcept
    {
        const auto slots = (float) (2 * numChannels - 1);

        if (has (flags, LevelMeter::HorizontalBars))
        {
            const auto rowHeight = inner.getHeight() / slots;
            return { inner.getX(), inner.getY() + (float) (2 * channel) * rowHeight, inner.getWidth(), clampedSize (rowHeight) };
        }

        const auto columnWidth = inner.getWidth() / slots;
        return { inner.getX() + (float) (2 * channel) * columnWidth, inner.getY(), clampedSize (columnWidth), inner.getHeight() };
    }

    // The default layout's bar and tick areas run along the same lane: with horizontal bars they
    // share left edge, right edge and height, with vertical bars top and bottom.
    struct HorizontalLane
    {
        float margin, left, right, height;
    };

    HorizontalLane defaultHorizontalLane (Rect b) noexcept
    {
        const auto m = 0.05f * b.getHeight();
        const auto hh = 0.5f * b.getHeight() - 2.0f * m;
        return { m, 60.0f + 3.0f * m, (b.getX() + b.getWidth()) - (4.0f * m + 0.5f * hh), hh };
    }

    struct VerticalLane
    {
        float margin, top, bottom;
    };

    VerticalLane defaultVerticalLane (Rect b) noexcept
    {
        const auto y = b.getY(), w = b.getWidth(), h = b.getHeight();
        const auto m = 0.05f * w;
        return { m, y + 2.0f * m + 0.5f * 0.45f * w, y + h - (2.0f * m + 25.0f) };
    }

    Rect compactTickColumn (Rect inner, MeterFlags flags, int numChannels, int channel) noexcept
    {
        const auto slots = (float) (2 * numChannels - 1);

        if (has (flags, LevelMeter::HorizontalBars))
        {
            const auto rowHeight = inner.getHeight() / slots;
            return { inner.getX(), inner.getY() + (float) (2 * channel + 1) * rowHeight, inner.getWidth(), clampedSize (rowHeight) };
        }

        const auto columnWidth = inner.getWidth() / slots;
        return { inner.getX() + (float) (2 * channel + 1) * columnWidth, inner.getY(), clampedSize (columnWidth), inner.getHeight() };
    }

    /** The half of a bar that a reduction overlay covers: the right half of a vertical bar,
        the top half of a horizontal one. */
    Rect reductionHalf (Rect bar, MeterFlags flags) noexcept
    {
        if (has (flags, LevelMeter::HorizontalBars))
            return { bar.getX(), bar.getY(), bar.getWidth(), clampedSize (bar.getHeight() / 2.0f) };

        const auto middle = bar.getX() + bar.getWidth() / 2.0f;
        return { middle, bar.getY(), clampedSize (bar.getRight() - middle), bar.getHeight() };
    }
}

//==============================================================================
LevelMeterLookAndFeel::ScopedColourOwner::ScopedColourOwner (LevelMeter::LookAndFeelMethods& drawing,
                                                            const juce::Component& meter)
    : standardDrawing (dynamic_cast<LevelMeterLookAndFeel*> (&drawing)),
      previousOwner (standardDrawing != nullptr ? standardDrawing->colourOwner : nullptr)
{
    if (standardDrawing != nullptr)
        standardDrawing->colourOwner = &meter;
}

LevelMeterLookAndFeel::ScopedColourOwner::~ScopedColourOwner()
{
    if (standardDrawing != nullptr)
        standardDrawing->colourOwner = previousOwner;
}

//==============================================================================
LevelMeterLookAndFeel::LevelMeterLookAndFeel()
{
    setupDefaultMeterColours();
}

LevelMeterLookAndFeel::~LevelMeterLookAndFeel() = default;

juce::Colour LevelMeterLookAndFeel::getMeterColour (int colourId) const
{
    if (colourOwner != nullptr && colourOwner->isColourSpecified (colourId))
        return colourOwner->findColour (colourId);

    return findColour (colourId);
}

void LevelMeterLookAndFeel::setupDefaultMeterColours()
{
    setColour (LevelMeter::peakNumberTextColourId,    juce::Colours::lightgrey);
    setColour (LevelMeter::reservedColourIdA,         juce::Colours::darkgrey);
    setColour (LevelMeter::peakNumberOverColourId,    juce::Colours::white);
    setColour (LevelMeter::tickMarkColourId,          juce::Colours::orange);
    setColour (LevelMeter::frameColourId,             juce::Colours::orange);
    setColour (LevelMeter::meterBackgroundColourId,   juce::Colour (0xff050a29));
    setColour (LevelMeter::clipLitColourId,           juce::Colours::red);
    setColour (LevelMeter::reservedColourIdB,         juce::Colours::green);
    setColour (LevelMeter::elementOutlineColourId,    juce::Colours::lightgrey);
    setColour (LevelMeter::elementBackgroundColourId, juce::Colours::darkgrey);
    setColour (LevelMeter::peakLineColourId,          juce::Colours::lightgrey);
    setColour (LevelMeter::peakLineWarnColourId,      juce::Colours::orange);
    setColour (LevelMeter::peakLineOverColourId,      juce::Colours::darkred);
    setColour (LevelMeter::gradientLowColourId,       juce::Colours::green);
    setColour (LevelMeter::gradientMidColourId,       juce::Colours::lightgoldenrodyellow);
    setColour (LevelMeter::gradientHighColourId,      juce::Colours::red);
    setColour (LevelMeter::reductionColourId,         juce::Colours::orange);
}

void LevelMeterLookAndFeel::updateMeterGradients()
{
    horizontalBarFill.clearColours();
    verticalBarFill.clearColours();
}

//==============================================================================
juce::Rectangle<float> LevelMeterLookAndFeel::getMeterInnerBounds (Rect b, MeterFlags flags) const
{
    if (! has (flags, LevelMeter::Framed))
        return b;

    const auto d = 0.01f * std::min (b.getWidth(), b.getHeight()) + 3.0f;
    return { b.getX() + d, b.getY() + d, clampedSize (b.getWidth() - 2.0f * d), clampedSize (b.getHeight() - 2.0f * d) };
}

juce::Rectangle<float> LevelMeterLookAndFeel::getMeterBounds (Rect b, MeterFlags flags, int numChannels, int channel) const
{
    if (has (flags, LevelMeter::OneChannel))
        return b;

    const auto n = (float) numChannels;
    const auto i = (float) channel;

    if (has (flags, LevelMeter::HorizontalBars))
        return { b.getX(), b.getY() + i * b.getHeight() / n, b.getWidth(), clampedSize (b.getHeight() / n) };

    return { b.getX() + i * b.getWidth() / n, b.getY(), clampedSize (b.getWidth() / n), b.getHeight() };
}

juce::Rectangle<float> LevelMeterLookAndFeel::getMeterBarBounds (Rect b, MeterFlags flags) const
{
    const auto x = b.getX(), y = b.getY(), w = b.getWidth(), h = b.getHeight();

    if (has (flags, LevelMeter::Compact))
    {
        if (has (flags, LevelMeter::HorizontalBars))
        {
            const auto m = 0.05f * h;
            const auto hh = h - 2.0f * m;
            return { x + m, y + m, w - 5.0f * m - hh, hh };
        }

        const auto m = 0.05f * w;
        const auto top = y + 2.0f * m + 0.5f * w;
        const auto bottom = has (flags, LevelMeter::PeakNumber) ? y + h - (w + m) : y + h - m;
        return { x + m, top, w - 2.0f * m, bottom - top };
    }

    if (has (flags, LevelMeter::FullArea))
        return b;

    if (has (flags, LevelMeter::HorizontalBars))
    {
        const auto lane = defaultHorizontalLane (b);
        return { x + lane.left, y + lane.margin, lane.right - (x + lane.left), lane.height };
    }

    const auto lane = defaultVerticalLane (b);
    return { x + lane.margin, lane.top, 0.45f * w, lane.bottom - lane.top };
}

juce::Rectangle<float> LevelMeterLookAndFeel::getMeterTickmarksBounds (Rect b, MeterFlags flags) const
{
    const auto x = b.getX(), y = b.getY(), w = b.getWidth(), h = b.getHeight();

    if (has (flags, LevelMeter::Compact))
    {
        const auto bar = getMeterBarBounds (b, flags);

        if (has (flags, LevelMeter::HorizontalBars))
            return { bar.getX(), bar.getY() + 2.0f, clampedSize (bar.getWidth()), clampedSize (bar.getHeight() - 4.0f) };

        return { bar.getX() + 2.0f, bar.getY(), clampedSize (bar.getWidth() - 4.0f), clampedSize (bar.getHeight()) };
    }

    if (has (flags, LevelMeter::FullArea))
        return b;

    if (has (flags, LevelMeter::HorizontalBars))
    {
        const auto lane = defaultHorizontalLane (b);
        return { x + lane.left, y + 0.5f * h + lane.margin, lane.right - (x + lane.left), lane.height };
    }

    const auto lane = defaultVerticalLane (b);
    return { x + 0.5f * w, lane.top + 2.0f, 0.45f * w, lane.bottom - lane.top - 4.0f };
}

juce::Rectangle<float> LevelMeterLookAndFeel::getMeterClipIndicatorBounds (Rect b, MeterFlags flags) const
{
    const auto x = b.getX(), y = b.getY(), w = b.getWidth(), h = b.getHeight();

    if (has (flags, LevelMeter::Compact))
    {
        if (has (flags, LevelMeter::HorizontalBars))
        {
            const auto m = 0.05f * h;
            const auto hh = h - 2.0f * m;
            return { (x + w) - (m + hh), y + m, hh, hh };
        }

        const auto m = 0.05f * w;
        return { x + m, y + m, w - 2.0f * m, 0.5f * (w - 2.0f * m) };
    }

    if (has (flags, LevelMeter::FullArea))
        return b;

    if (has (flags, LevelMeter::HorizontalBars))
    {
        const auto m = 0.05f * h;
        const auto hh = 0.5f * h - 2.0f * m;
        return { (x + w) - (m + 0.5f * hh), y + m, 0.5f * hh, hh };
    }

    const auto m = 0.05f * w;
    return { x + m, y + m, 0.45f * w, 0.5f * 0.45f * w };
}

juce::Rectangle<float> LevelMeterLookAndFeel::getMeterMaxNumberBounds (Rect b, MeterFlags flags) const
{
    const auto x = b.getX(), y = b.getY(), w = b.getWidth(), h = b.getHeight();

    if (has (flags, LevelMeter::Compact))
    {
        if (! has (flags, LevelMeter::PeakNumber))
            return {};

        if (has (flags, LevelMeter::HorizontalBars))
        {
            const auto m = 0.05f * h;
            const auto hh = h - 2.0f * m;
            return { (x + w) - (m + hh), y + m, hh, hh };
        }

        const auto m = 0.05f * w;
        const auto nh = 0.6f * (w - 2.0f * m);
        return { x + m, (y + h) - (m + nh), w - 2.0f * m, nh };
    }

    if (has (flags, LevelMeter::FullArea))
        return b;

    if (has (flags, LevelMeter::HorizontalBars))
    {
        const auto m = 0.05f * h;
        return { x + m, y + 0.5f * h + m, 60.0f, 0.5f * h - 2.0f * m };
    }

    const auto m = 0.05f * w;
    return { x + m, (y + h) - (m + 25.0f), w - 2.0f * m, 25.0f };
}

//==============================================================================
juce::Rectangle<float> LevelMeterLookAndFeel::drawBackground (juce::Graphics& g, MeterFlags flags, Rect b)
{
    if (! has (flags, LevelMeter::Framed))
    {
        g.setColour (getMeterColour (LevelMeter::meterBackgroundColourId));
        g.fillRect (b);
        return b;
    }

    const auto cornerSize = 0.01f * std::min (b.getWidth(), b.getHeight());
    g.setColour (getMeterColour (LevelMeter::meterBackgroundColourId));
    g.fillRoundedRectangle (b, cornerSize);

    const Rect frame { b.getX() + 3.0f, b.getY() + 3.0f, clampedSize (b.getWidth() - 6.0f), clampedSize (b.getHeight() - 6.0f) };
    g.setColour (getMeterColour (LevelMeter::frameColourId));
    g.drawRoundedRectangle (frame, cornerSize, 2.0f);

    const auto inset = cornerSize + 3.0f;
    return { b.getX() + inset, b.getY() + inset,
             clampedSize (b.getWidth() - 2.0f * inset), clampedSize (b.getHeight() - 2.0f * inset) };
}

void LevelMeterLookAndFeel::drawMeterBarsBackground (juce::Graphics& g, MeterFlags flags, Rect b,
                                                     int numChannels, int fixedNumChannels)
{
    const auto inner = getMeterInnerBounds (b, flags);

    if (has (flags, LevelMeter::Compact))
    {
        for (int i = 0; i < numChannels; ++i)
        {
            const auto column = compactBarColumn (inner, flags, numChannels, i);
            drawMeterBarBackground (g, flags, getMeterBarBounds (column, flags));

            const auto clip = getMeterClipIndicatorBounds (column, flags);

            if (! clip.isEmpty())
                drawClipIndicatorBackground (g, flags, clip);

            drawCompactTicksAfter (g, flags, inner, numChannels, i);
        }

        return;
    }

    if (has (flags, LevelMeter::OneChannel))
    {
        drawMeterChannelBackground (g, flags, inner);
        return;
    }

    // A fixed count of 0 would divide the space by zero; like -1 it falls back to the source's.
    const auto strips = fixedNumChannels > 0 ? fixedNumChannels : numChannels;

    for (int i = 0; i < numChannels; ++i)
        drawMeterChannelBackground (g, flags, getMeterBounds (inner, flags, strips, i));
}

void LevelMeterLookAndFeel::drawMeterChannelBackground (juce::Graphics& g, MeterFlags flags, Rect b)
{
    const auto bar = getMeterBarBounds (b, flags);
    const auto clip = getMeterClipIndicatorBounds (b, flags);
    const auto ticks = getMeterTickmarksBounds (b, flags);
    const auto number = getMeterMaxNumberBounds (b, flags);

    if (! bar.isEmpty())
        drawMeterBarBackground (g, flags, bar);

    if (! clip.isEmpty())
        drawClipIndicatorBackground (g, flags, clip);

    if (! ticks.isEmpty())
        drawTickMarks (g, flags, ticks);

    if (! number.isEmpty())
        drawMaxNumberBackground (g, flags, number);
}

void LevelMeterLookAndFeel::fillAndOutline (juce::Graphics& g, Rect b, int fillColourId)
{
    if (b.isEmpty())
        return;

    g.setColour (getMeterColour (fillColourId));
    g.fillRect (b);
    g.setColour (getMeterColour (LevelMeter::elementOutlineColourId));
    g.drawRect (b, 1.0f);
}

void LevelMeterLookAndFeel::drawMeterBarBackground (juce::Graphics& g, MeterFlags, Rect b)
{
    fillAndOutline (g, b, LevelMeter::elementBackgroundColourId);
}

void LevelMeterLookAndFeel::drawClipIndicatorBackground (juce::Graphics& g, MeterFlags, Rect b)
{
    fillAndOutline (g, b, LevelMeter::elementBackgroundColourId);
}

void LevelMeterLookAndFeel::drawMaxNumberBackground (juce::Graphics& g, MeterFlags, Rect b)
{
    if (b.isEmpty())
        return;

    g.setColour (getMeterColour (LevelMeter::elementBackgroundColourId));
    g.fillRect (b);
}

// The compact layout's tick column between this channel and the next; the last channel has none.
void LevelMeterLookAndFeel::drawCompactTicksAfter (juce::Graphics& g, MeterFlags flags, Rect inner, int numChannels, int channel)
{
    if (channel >= numChannels - 1)
        return;

    const auto ticks = getMeterTickmarksBounds (compactTickColumn (inner, flags, numChannels, channel), flags);

    if (! ticks.isEmpty())
        drawTickMarks (g, flags, ticks);
}

//==============================================================================
void LevelMeterLookAndFeel::drawMeterBars (juce::Graphics& g, MeterFlags flags, Rect b,
                                           const LevelMeterSource* source, int fixedNumChannels, int selectedChannel)
{
    if (source == nullptr)
        return;

    const auto inner = getMeterInnerBounds (b, flags);
    const auto n = source->channelCount();

    if (has (flags, LevelMeter::Compact))
    {
        const auto horizontal = has (flags, LevelMeter::HorizontalBars);

        for (int i = 0; i < n; ++i)
        {
            const auto column = compactBarColumn (inner, flags, n, i);
            const auto bar = getMeterBarBounds (column, flags);
            drawMeterBar (g, flags, bar, source->rmsLevel (i), source->peakLevel (i));

            const auto reduction = source->reductionLevel (i);

            if (reduction < 1.0f)
                drawMeterReduction (g, flags, reductionHalf (bar, flags), reduction);

            const auto clip = getMeterClipIndicatorBounds (column, flags);

            if (! clip.isEmpty())
                drawClipIndicator (g, flags, clip, source->isClipped (i));

            // Vertically the numbers sit on n equal strips of the whole width, not on the bars.
            const auto numberStrip = horizontal ? column
                                                : Rect { inner.getX() + (float) i * (inner.getWidth() / (float) n), inner.getY(),
                                                         clampedSize (inner.getWidth() / (float) n), inner.getHeight() };
            const auto number = getMeterMaxNumberBounds (numberStrip, flags);

            if (! number.isEmpty())
                drawMaxNumber (g, flags, number, source->peakOverallLevel (i));

            drawCompactTicksAfter (g, flags, inner, n, i);
        }

        return;
    }

    if (has (flags, LevelMeter::OneChannel))
    {
        // A selection beyond the source's channels shows an empty meter rather than failing.
        if (juce::isPositiveAndBelow (selectedChannel, n))
            drawMeterChannel (g, flags, inner, source, selectedChannel);

        return;
    }

    const auto strips = fixedNumChannels > 0 ? fixedNumChannels : n;

    for (int i = 0; i < n; ++i)
        drawMeterChannel (g, flags, getMeterBounds (inner, flags, strips, i), source, i);
}

void LevelMeterLookAndFeel::drawMeterChannel (juce::Graphics& g, MeterFlags flags, Rect b,
                                              const LevelMeterSource* source, int channel)
{
    if (source == nullptr)
        return;

    const auto bar = getMeterBarBounds (b, flags);

    if (! bar.isEmpty())
    {
        if (has (flags, LevelMeter::GainReduction))
        {
            drawMeterBar (g, flags, bar, source->reductionLevel (channel), 0.0f);
        }
        else
        {
            drawMeterBar (g, flags, bar, source->rmsLevel (channel), source->peakLevel (channel));

            const auto reduction = source->reductionLevel (channel);

            if (reduction < 1.0f)
                drawMeterReduction (g, flags, reductionHalf (bar, flags), reduction);
        }
    }

    // An unclipped channel already shows the unlit light from the background pass.
    if (source->isClipped (channel))
    {
        const auto clip = getMeterClipIndicatorBounds (b, flags);

        if (! clip.isEmpty())
            drawClipIndicator (g, flags, clip, true);
    }

    const auto number = getMeterMaxNumberBounds (b, flags);

    if (! number.isEmpty())
        drawMaxNumber (g, flags, number, has (flags, LevelMeter::GainReduction) ? source->reductionLevel (channel)
                                                                                : source->peakOverallLevel (channel));
}

void LevelMeterLookAndFeel::drawMeterBar (juce::Graphics& g, MeterFlags flags, Rect b, float rms, float peak)
{
    const auto floorDb = scaleFloor (flags);
    const auto rmsDb = gainToDecibels (rms, floorDb);
    const auto peakDb = gainToDecibels (peak, floorDb);

    if (has (flags, LevelMeter::FullArea))
        return;

    const auto bar = snappedBar (b);

    if (bar.isEmpty())
        return;

    if (has (flags, LevelMeter::GainReduction))
    {
        fillReduction (g, flags, bar, rms);
        return;
    }

    drawLevelBar (g, flags, bar, rmsDb);
    drawPeakLine (g, flags, bar, peakDb);
}

void LevelMeterLookAndFeel::drawLevelBar (juce::Graphics& g, MeterFlags flags, Rect bar, float rmsDb)
{
    // One drawing object can serve several meters (a look-and-feel set on their parent): a
    // gradient built with another meter's colours or bar length must not show on this one.
    if (gradientsOwner != colourOwner)
    {
        updateMeterGradients();
        gradientsOwner = colourOwner;
    }

    const auto horizontal = has (flags, LevelMeter::HorizontalBars);
    auto& fill = horizontal ? horizontalBarFill : verticalBarFill;

    // Built once per size: the whole bar extent carries the scale, so each height (or position)
    // has a fixed colour, the low colour up to -50 dB.
    if (fill.getNumColours() < 2)
    {
        const auto low = getMeterColour (LevelMeter::gradientLowColourId);
        const auto high = getMeterColour (LevelMeter::gradientHighColourId);

        fill = horizontal ? juce::ColourGradient (low, bar.getX(), bar.getY(), high, bar.getRight(), bar.getY(), false)
                          : juce::ColourGradient (low, bar.getX(), bar.getBottom(), high, bar.getX(), bar.getY(), false);
        fill.addColour (0.5, low);
        fill.addColour (0.75, getMeterColour (LevelMeter::gradientMidColourId));
    }

    g.setGradientFill (fill);

    if (horizontal)
    {
        const auto right = bar.getRight() + bar.getWidth() * rmsDb / -levelFloorDb;
        g.fillRect (Rect { std::min (bar.getX(), right), bar.getY(), clampedSize (right - bar.getX()), bar.getHeight() });
        return;
    }

    const auto top = bar.getY() + bar.getHeight() * rmsDb / levelFloorDb;
    g.fillRect (Rect { bar.getX(), top, bar.getWidth(), clampedSize (bar.getBottom() - top) });
}

void LevelMeterLookAndFeel::drawPeakLine (juce::Graphics& g, MeterFlags flags, Rect bar, float peakDb)
{
    if (peakDb <= peakLineHiddenBelowDb)
        return;

    const auto colourId = peakDb > peakLineOverAboveDb  ? LevelMeter::peakLineOverColourId
                        : peakDb > peakLineWarnAboveDb  ? LevelMeter::peakLineWarnColourId
                                                        : LevelMeter::peakLineColourId;
    g.setColour (getMeterColour (colourId));

    if (has (flags, LevelMeter::HorizontalBars))
    {
        if (bar.getY() < bar.getBottom())
            g.drawVerticalLine (nearest (bar.getRight() - clampedSize (bar.getWidth() * peakDb / levelFloorDb)),
                                bar.getY(), bar.getBottom());
        return;
    }

    if (bar.getX() < bar.getRight())
        g.drawHorizontalLine (nearest (bar.getY() + clampedSize (bar.getHeight() * peakDb / levelFloorDb)),
                              bar.getX(), bar.getRight());
}

void LevelMeterLookAndFeel::drawMeterReduction (juce::Graphics& g, MeterFlags flags, Rect b, float reduction)
{
    const auto bar = snappedBar (b);

    if (! bar.isEmpty())
        fillReduction (g, flags, bar, reduction);
}

void LevelMeterLookAndFeel::fillReduction (juce::Graphics& g, MeterFlags flags, Rect bar, float reduction)
{
    const auto db = gainToDecibels (reduction, reductionFloorDb);
    g.setColour (getMeterColour (LevelMeter::reductionColourId));

    if (has (flags, LevelMeter::HorizontalBars))
    {
        const auto left = bar.getX() + bar.getWidth() * db / reductionFloorDb;
        g.fillRect (Rect { left, bar.getY(), clampedSize (bar.getRight() - left), bar.getHeight() });
        return;
    }

    g.fillRect (Rect { bar.getX(), bar.getY(), bar.getWidth(), clampedSize (bar.getHeight() * db / reductionFloorDb) });
}

void LevelMeterLookAndFeel::drawTickMarks (juce::Graphics& g, MeterFlags flags, Rect b)
{
    if (b.isEmpty())
        return;

    const auto floorDb = (double) scaleFloor (flags);
    const auto x = b.getX(), y = b.getY(), w = b.getWidth(), h = b.getHeight();
    g.setColour (getMeterColour (LevelMeter::tickMarkColourId));

    const auto compact = has (flags, LevelMeter::Compact);
    const auto horizontal = has (flags, LevelMeter::HorizontalBars);

    if (compact && ! horizontal)
    {
        const auto step = (h - 2.0f) * 0.1f;

        if (x + 4.0f < x + w)
            for (int i = 0; i <= 10; ++i)
                g.drawHorizontalLine (nearest (y + (float) i * step + 1.0f), x + 4.0f, x + w);

        if (step > 10.0f && w > 20.0f)
        {
            g.setFont (0.5f * step);

            // i = 0 gives -0: the top label reads "-0", matching the scale's sign.
            for (int i = 0; i < 10; ++i)
                g.drawFittedText (juce::String (((double) i * 0.1) * floorDb, 0),
                                  nearestBox (x, y + (float) i * step + 2.0f, w, 0.6f * step),
                                  juce::Justification::centredTop, 1, 0.0f);
        }

        return;
    }

    if (compact || (horizontal && ! has (flags, LevelMeter::FullArea)))
    {
        if (y + 4.0f < y + h - 4.0f)
        {
            for (const auto fraction : { 0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f })
                g.drawVerticalLine (nearest (x + fraction * w), y + 4.0f, y + h - 4.0f);

            g.drawVerticalLine (nearest (x + w), y + 4.0f, y + h - 4.0f);
        }

        return;
    }

    if (has (flags, LevelMeter::FullArea))
        return;

    const auto step = (h - 2.0f) * 0.05f;
    g.setFont (0.8f * step);

    for (int i = 0; i <= 20; ++i)
    {
        const auto yi = y + (float) i * step;

        if (i % 2 != 0)
        {
            if (x + 4.0f < x + 0.5f * w)
                g.drawHorizontalLine (nearest (yi + 2.0f), x + 4.0f, x + 0.5f * w);

            continue;
        }

        if (x + 4.0f < x + w)
            g.drawHorizontalLine (nearest (yi + 1.0f), x + 4.0f, x + w);

        if (i < 20)
            g.drawFittedText (juce::String ((double) i * 0.05 * floorDb, 0),
                              nearestBox (x, yi + 4.0f, w, 0.6f * step),
                              juce::Justification::topRight, 1, 0.0f);
    }
}

void LevelMeterLookAndFeel::drawClipIndicator (juce::Graphics& g, MeterFlags, Rect b, bool hasClipped)
{
    fillAndOutline (g, b, hasClipped ? LevelMeter::clipLitColourId : LevelMeter::elementBackgroundColourId);
}

void LevelMeterLookAndFeel::drawMaxNumber (juce::Graphics& g, MeterFlags, Rect b, float maxGain)
{
    if (b.isEmpty())
        return;

    g.setColour (getMeterColour (LevelMeter::elementBackgroundColourId));
    g.fillRect (b);

    // Always on the level scale, so a reset peak (-100.0) reads "-100.0 dB" in every mode.
    const auto db = gainToDecibels (maxGain, levelFloorDb);
    g.setColour (getMeterColour (db > 0.0f ? LevelMeter::peakNumberOverColourId : LevelMeter::peakNumberTextColourId));
    g.setFont (0.5f * b.getHeight());
    g.drawFittedText (juce::String (db, 1) + " dB",
                      nearestBox (b.getX() + 2.0f, b.getY() + 2.0f, clampedSize (b.getWidth() - 4.0f), clampedSize (b.getHeight() - 4.0f)),
                      juce::Justification::centred, 1, 0.0f);

    g.setColour (getMeterColour (LevelMeter::elementOutlineColourId));
    g.drawRect (b, 1.0f);
}

//==============================================================================
template <typename ElementBounds>
int LevelMeterLookAndFeel::hitTest (juce::Point<int> position, MeterFlags flags, Rect b,
                                    const LevelMeterSource* source, ElementBounds elementBounds) const
{
    if (source == nullptr)
        return -1;

    const auto n = source->channelCount();
    const auto point = position.toFloat();

    // Equal strips of the whole area, whatever the drawn layout: the click areas of a channel
    // stay where its strip is.
    for (int i = 0; i < n; ++i)
    {
        const auto element = elementBounds (getMeterBounds (b, flags, n, i));

        if (element.getX() <= point.x && point.x < element.getRight()
            && element.getY() <= point.y && point.y < element.getBottom())
            return i;
    }

    return -1;
}

int LevelMeterLookAndFeel::hitTestClipIndicator (juce::Point<int> position, MeterFlags flags, Rect b,
                                                 const LevelMeterSource* source) const
{
    return hitTest (position, flags, b, source, [&] (Rect strip) { return getMeterClipIndicatorBounds (strip, flags); });
}

int LevelMeterLookAndFeel::hitTestMaxNumber (juce::Point<int> position, MeterFlags flags, Rect b,
                                             const LevelMeterSource* source) const
{
    return hitTest (position, flags, b, source, [&] (Rect strip) { return getMeterMaxNumberBounds (strip, flags); });
}
