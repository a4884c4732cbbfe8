#include "LevelPlot.h"

#include <cmath>

namespace
{
    const auto background = juce::Colour (0xffffffff);
    const auto gridColour = juce::Colour (0xffe0e0e0);
    const auto axisColour = juce::Colour (0xff303030);
    const auto inputColour = juce::Colour (0xff9ab8d8);
    const auto outputColour = juce::Colour (0xffd9661f);
    const auto thresholdColour = juce::Colour (0xffc0182a);
    const auto reductionColour = juce::Colour (0xff2e8b57);

    constexpr float levelFloorDecibels = -48.0f;
    constexpr float levelStepDecibels = 6.0f;

    /** Maps windows of the render onto pixel columns and values onto a panel's height. */
    struct Panel
    {
        juce::Rectangle<float> area;
        float top, bottom;   // values at the top and the bottom edge

        float yFor (float value) const
        {
            const auto clamped = juce::jlimit (juce::jmin (top, bottom), juce::jmax (top, bottom), value);
            const auto proportion = (clamped - top) / (bottom - top);
            return area.getY() + proportion * area.getHeight();
        }
    };

    juce::Font font (float size, bool bold = false)
    {
        return juce::Font (juce::FontOptions (size, bold ? juce::Font::bold : juce::Font::plain));
    }

    /** The largest value of each pixel column's share of the windows. */
    std::vector<float> perColumn (size_t numWindows, int numColumns, const std::function<float (size_t)>& valueOf)
    {
        std::vector<float> columns ((size_t) numColumns, 0.0f);

        if (numWindows == 0)
            return columns;

        for (int column = 0; column < numColumns; ++column)
        {
            const auto first = (size_t) column * numWindows / (size_t) numColumns;
            const auto last = juce::jmax (first + 1, (size_t) (column + 1) * numWindows / (size_t) numColumns);
            auto value = valueOf (first);

            for (auto window = first + 1; window < last; ++window)
                value = juce::jmax (value, valueOf (window));

            columns[(size_t) column] = value;
        }

        return columns;
    }

    float toDecibels (float gain)
    {
        return juce::Decibels::gainToDecibels (gain, RenderStatistics::decibelFloor);
    }

    double niceTimeStep (double seconds)
    {
        for (const auto step : { 0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0, 1800.0 })
            if (seconds / step <= 12.0)
                return step;

        return 3600.0;
    }

    juce::String timeLabel (double seconds, double step)
    {
        if (step >= 60.0 || seconds >= 600.0)
            return juce::String ((int) seconds / 60) + ":" + juce::String ((int) seconds % 60).paddedLeft ('0', 2);

        return juce::String (seconds, step < 1.0 ? 1 : 0);
    }

    void fillColumns (juce::Graphics& g, const Panel& panel, const std::vector<float>& values, float baseline, juce::Colour colour)
    {
        juce::Path path;
        const auto columnWidth = panel.area.getWidth() / (float) values.size();
        path.startNewSubPath (panel.area.getX(), panel.yFor (baseline));

        for (size_t column = 0; column < values.size(); ++column)
        {
            const auto x = panel.area.getX() + (float) column * columnWidth;
            path.lineTo (x, panel.yFor (values[column]));
            path.lineTo (x + columnWidth, panel.yFor (values[column]));
        }

        path.lineTo (panel.area.getRight(), panel.yFor (baseline));
        path.closeSubPath();
        g.setColour (colour);
        g.fillPath (path);
    }

    void strokeColumns (juce::Graphics& g, const Panel& panel, const std::vector<float>& values, juce::Colour colour)
    {
        juce::Path path;
        const auto columnWidth = panel.area.getWidth() / (float) values.size();

        for (size_t column = 0; column < values.size(); ++column)
        {
            const auto x = panel.area.getX() + (float) column * columnWidth;
            const auto y = panel.yFor (values[column]);

            if (column == 0)
                path.startNewSubPath (x, y);
            else
                path.lineTo (x, y);

            path.lineTo (x + columnWidth, y);
        }

        g.setColour (colour);
        g.strokePath (path, juce::PathStrokeType (1.5f));
    }

    void drawValueAxis (juce::Graphics& g, const Panel& panel, float step, const juce::String& unitLabel)
    {
        g.setFont (font (13.0f));

        for (auto value = std::ceil (juce::jmin (panel.top, panel.bottom) / step) * step; value <= juce::jmax (panel.top, panel.bottom); value += step)
        {
            const auto y = panel.yFor (value);
            g.setColour (gridColour);
            g.drawHorizontalLine (juce::roundToInt (y), panel.area.getX(), panel.area.getRight());
            g.setColour (axisColour);
            g.drawText (juce::String (juce::roundToInt (value)), juce::Rectangle<float> (panel.area.getX() - 48.0f, y - 8.0f, 42.0f, 16.0f),
                        juce::Justification::centredRight);
        }

        g.saveState();
        g.addTransform (juce::AffineTransform::rotation (-juce::MathConstants<float>::halfPi, panel.area.getX() - 62.0f, panel.area.getCentreY()));
        g.setFont (font (14.0f, true));
        g.drawText (unitLabel, juce::Rectangle<float> (panel.area.getX() - 62.0f - 150.0f, panel.area.getCentreY() - 10.0f, 300.0f, 20.0f),
                    juce::Justification::centred);
        g.restoreState();

        g.setColour (axisColour);
        g.drawRect (panel.area, 1.0f);
    }

    /** One row of colour swatches and names, centred in the area. */
    void drawLegend (juce::Graphics& g, juce::Rectangle<float> area, const std::vector<std::pair<juce::Colour, juce::String>>& entries)
    {
        constexpr float swatchWidth = 24.0f, gap = 8.0f, spacing = 32.0f;
        const auto legendFont = font (13.0f);
        auto totalWidth = 0.0f;

        for (const auto& entry : entries)
            totalWidth += swatchWidth + gap + juce::GlyphArrangement::getStringWidth (legendFont, entry.second) + 4.0f + spacing;

        auto row = area.withSizeKeepingCentre (totalWidth - spacing, area.getHeight());
        g.setFont (legendFont);

        for (const auto& [colour, label] : entries)
        {
            g.setColour (colour);
            g.fillRect (row.removeFromLeft (swatchWidth).reduced (0.0f, area.getHeight() * 0.3f));
            row.removeFromLeft (gap);
            g.setColour (axisColour);
            g.drawText (label, row.removeFromLeft (juce::GlyphArrangement::getStringWidth (legendFont, label) + 4.0f),
                        juce::Justification::centredLeft, false);
            row.removeFromLeft (spacing);
        }
    }
}

juce::Image LevelPlot::draw (const RenderStatistics& statistics, float thresholdDecibels,
                             const juce::String& title, const juce::String& subtitle)
{
    juce::Image image (juce::Image::RGB, width, height, true, juce::SoftwareImageType());
    juce::Graphics g (image);
    g.fillAll (background);

    g.setColour (axisColour);
    g.setFont (font (18.0f, true));
    g.drawText (title, juce::Rectangle<int> (0, 8, width, 24), juce::Justification::centred);
    g.setFont (font (13.0f));
    g.drawText (subtitle, juce::Rectangle<int> (0, 32, width, 18), juce::Justification::centred);

    const auto& inputPeaks = statistics.getInputWindowPeaks();
    const auto& outputPeaks = statistics.getOutputWindowPeaks();
    const auto numWindows = outputPeaks.size();
    const auto plotArea = juce::Rectangle<float> (90.0f, 82.0f, (float) width - 120.0f, (float) height - 148.0f);
    const auto numColumns = juce::roundToInt (plotArea.getWidth());

    const auto inputColumns = perColumn (numWindows, numColumns, [&] (size_t w) { return toDecibels (w < inputPeaks.size() ? inputPeaks[w] : 0.0f); });
    const auto outputColumns = perColumn (numWindows, numColumns, [&] (size_t w) { return toDecibels (outputPeaks[w]); });
    const auto reductionColumns = perColumn (numWindows, numColumns, [&] (size_t w) { return statistics.getGainReductionDecibels (w); });

    const auto loudest = juce::jmax (thresholdDecibels, *std::max_element (inputColumns.begin(), inputColumns.end()),
                                     *std::max_element (outputColumns.begin(), outputColumns.end()));
    const auto levelTop = juce::jmax (levelStepDecibels, std::ceil (loudest / levelStepDecibels) * levelStepDecibels);
    const auto largestReduction = *std::max_element (reductionColumns.begin(), reductionColumns.end());
    const auto reductionStep = largestReduction > 12.0f ? 6.0f : 3.0f;
    const auto reductionBottom = juce::jmax (reductionStep * 2.0f, std::ceil (largestReduction / reductionStep) * reductionStep);

    auto area = plotArea;
    const Panel levels { area.removeFromTop (area.getHeight() * 0.68f), levelTop, levelFloorDecibels };
    area.removeFromTop (16.0f);
    const Panel reduction { area, 0.0f, reductionBottom };

    fillColumns (g, levels, inputColumns, levelFloorDecibels, inputColour);
    strokeColumns (g, levels, outputColumns, outputColour);
    fillColumns (g, reduction, reductionColumns, 0.0f, reductionColour.withAlpha (0.5f));
    strokeColumns (g, reduction, reductionColumns, reductionColour);

    drawValueAxis (g, levels, levelStepDecibels, "Peak level (dBFS)");
    drawValueAxis (g, reduction, reductionStep, "Gain reduction (dB)");

    // Full scale, then the threshold the limiter holds the envelope to.
    g.setColour (axisColour.withAlpha (0.6f));
    g.drawHorizontalLine (juce::roundToInt (levels.yFor (0.0f)), levels.area.getX(), levels.area.getRight());
    const float dashes[] { 8.0f, 5.0f };
    const auto thresholdY = levels.yFor (thresholdDecibels);
    juce::Path line, thresholdLine;
    line.addLineSegment ({ levels.area.getX(), thresholdY, levels.area.getRight(), thresholdY }, 0.0f);
    juce::PathStrokeType (2.0f).createDashedStroke (thresholdLine, line, dashes, 2);
    g.setColour (thresholdColour);
    g.fillPath (thresholdLine);

    const auto durationSeconds = (double) (numWindows * (size_t) statistics.getWindowLength()) / statistics.getSampleRate();
    const auto step = niceTimeStep (durationSeconds);
    g.setFont (font (13.0f));

    for (auto seconds = 0.0; durationSeconds > 0.0 && seconds <= durationSeconds + 1.0e-9; seconds += step)
    {
        const auto x = plotArea.getX() + (float) (seconds / durationSeconds) * plotArea.getWidth();

        for (const auto* panel : { &levels, &reduction })
        {
            g.setColour (gridColour.withAlpha (0.7f));
            g.drawVerticalLine (juce::roundToInt (x), panel->area.getY() + 1.0f, panel->area.getBottom() - 1.0f);
        }

        g.setColour (axisColour);
        g.drawText (timeLabel (seconds, step), juce::Rectangle<float> (x - 40.0f, plotArea.getBottom() + 4.0f, 80.0f, 16.0f), juce::Justification::centred);
    }

    g.setFont (font (14.0f, true));
    g.drawText (durationSeconds >= 600.0 || step >= 60.0 ? "Time (min:s)" : "Time (s)",
                juce::Rectangle<float> (plotArea.getX(), plotArea.getBottom() + 22.0f, plotArea.getWidth(), 20.0f), juce::Justification::centred);

    drawLegend (g, { plotArea.getX(), 54.0f, plotArea.getWidth(), 20.0f },
                { { inputColour, "Input peak" },
                  { outputColour, "Output peak" },
                  { thresholdColour, "Threshold " + juce::String (thresholdDecibels, 1) + " dBFS" },
                  { reductionColour, "Gain reduction" } });

    return image;
}
