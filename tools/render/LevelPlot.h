#pragma once

#include "RenderStatistics.h"

#include <juce_graphics/juce_graphics.h>

/**
    The picture behind --plot: the input's and the output's peak level over time against the
    threshold, and below it the gain reduction, with labelled axes and a legend.
*/
class LevelPlot
{
public:
    static constexpr int width = 1200;
    static constexpr int height = 700;

    static juce::Image draw (const RenderStatistics& statistics, float thresholdDecibels,
                             const juce::String& title, const juce::String& subtitle);
};
