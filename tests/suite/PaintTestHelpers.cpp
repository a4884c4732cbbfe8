#include "PaintTestHelpers.h"

#include <cstdlib>

namespace paint_test
{

juce::Image blankImage (int width, int height, juce::Colour colour)
{
    juce::Image image (juce::Image::ARGB, width, height, true, juce::SoftwareImageType());
    image.clear (image.getBounds(), colour);
    return image;
}

juce::Image paintComponent (juce::Component& component, juce::Colour underneath)
{
    auto image = blankImage (component.getWidth(), component.getHeight(), underneath);
    juce::Graphics g (image);
    component.paintEntireComponent (g, true);
    return image;
}

namespace
{
    int largestChannelDifference (juce::Colour a, juce::Colour b)
    {
        return juce::jmax (std::abs (a.getAlpha() - b.getAlpha()), std::abs (a.getRed() - b.getRed()),
                           std::abs (a.getGreen() - b.getGreen()), std::abs (a.getBlue() - b.getBlue()));
    }

    juce::Colour pixelAt (const juce::Image& image, juce::Point<float> point)
    {
        return image.getPixelAt ((int) std::floor (point.x), (int) std::floor (point.y));
    }

    juce::String describe (const char* what, juce::Point<float> point, juce::Colour actual)
    {
        return juce::String (what) + " at (" + juce::String (point.x, 1) + ", " + juce::String (point.y, 1)
               + ") is 0x" + actual.toDisplayString (true).toLowerCase();
    }
}

testing::AssertionResult pixelIs (const juce::Image& image, const char* what, juce::Point<float> point,
                                  juce::Colour expected, int tolerance)
{
    const auto actual = pixelAt (image, point);

    if (largestChannelDifference (actual, expected) <= tolerance)
        return testing::AssertionSuccess();

    return testing::AssertionFailure() << describe (what, point, actual)
                                       << ", expected 0x" << expected.toDisplayString (true).toLowerCase();
}

testing::AssertionResult pixelIsNot (const juce::Image& image, const char* what, juce::Point<float> point,
                                     juce::Colour unexpected, int tolerance)
{
    const auto actual = pixelAt (image, point);

    if (largestChannelDifference (actual, unexpected) > tolerance)
        return testing::AssertionSuccess();

    return testing::AssertionFailure() << describe (what, point, actual) << ", which it should not be";
}

juce::Rectangle<int> inkBounds (const juce::Image& image, juce::Rectangle<int> area,
                                const std::function<bool (juce::Colour)>& isInk)
{
    juce::Rectangle<int> bounds;
    bool found = false;
    area = area.getIntersection (image.getBounds());

    for (int y = area.getY(); y < area.getBottom(); ++y)
    {
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            if (! isInk (image.getPixelAt (x, y)))
                continue;

            const juce::Rectangle<int> pixel (x, y, 1, 1);
            bounds = found ? bounds.getUnion (pixel) : pixel;
            found = true;
        }
    }

    return bounds;
}

} // namespace paint_test
