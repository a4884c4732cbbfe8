#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <functional>

namespace paint_test
{
    /** Paints the component and its children into a software image laid on the given colour. */
    juce::Image paintComponent (juce::Component& component, juce::Colour underneath);

    /** A blank software image of the given colour, to draw into directly. */
    juce::Image blankImage (int width, int height, juce::Colour colour);

    /** Passes when the pixel is within `tolerance` of the colour on each channel; names the point otherwise. */
    testing::AssertionResult pixelIs (const juce::Image& image, const char* what, juce::Point<float> point,
                                      juce::Colour expected, int tolerance = 2);

    testing::AssertionResult pixelIsNot (const juce::Image& image, const char* what, juce::Point<float> point,
                                         juce::Colour unexpected, int tolerance = 8);

    /** The smallest rectangle holding every pixel of the area for which `isInk` holds; empty if none. */
    juce::Rectangle<int> inkBounds (const juce::Image& image, juce::Rectangle<int> area,
                                    const std::function<bool (juce::Colour)>& isInk);
}
