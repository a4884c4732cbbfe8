#pragma once

#include "meters/LevelMeter.h"
#include "meters/LevelMeterLookAndFeel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace meter_test
{
    /** The editor's style: bars interleaved with tick columns, a peak number under each bar. */
    inline const auto editorFlags = LevelMeter::MeterFlags (LevelMeter::Compact | LevelMeter::PeakNumber);
    inline constexpr int editorMeterWidth = 50;
    inline constexpr int editorMeterHeight = 380;

    /** Measures one block in which every sample of channel c is values[c]: peak and RMS both
        equal |values[c]|, so with an RMS window of 0 the meter shows exactly those levels. */
    inline void feed (LevelMeterSource& source, std::vector<float> values, int numSamples = 64)
    {
        juce::AudioBuffer<float> block ((int) values.size(), numSamples);

        for (int channel = 0; channel < (int) values.size(); ++channel)
            juce::FloatVectorOperations::fill (block.getWritePointer (channel), values[(size_t) channel], numSamples);

        source.measureBlock (block);
    }

    inline juce::Image blankImage (int width, int height, juce::Colour fill = juce::Colours::black)
    {
        juce::Image image (juce::Image::ARGB, width, height, false, juce::SoftwareImageType());
        image.clear (image.getBounds(), fill);
        return image;
    }

    /** Paints the meter as the window would, into a software-rendered image of its size. */
    inline juce::Image paintToImage (LevelMeter& meter)
    {
        auto image = blankImage (meter.getWidth(), meter.getHeight(), juce::Colours::transparentBlack);
        juce::Graphics g (image);
        meter.paint (g);
        return image;
    }

    inline std::string describe (juce::Colour colour)
    {
        return "#" + colour.toDisplayString (true).toStdString();
    }

    /** Checks one pixel; the failure names the element, the point and both colours. */
    inline void expectPixel (const juce::Image& image, const std::string& element, int x, int y,
                             juce::Colour expected, int tolerance = 0)
    {
        const auto actual = image.getPixelAt (x, y);
        const auto close = [tolerance] (juce::uint8 a, juce::uint8 b) { return std::abs ((int) a - (int) b) <= tolerance; };
        const auto matches = close (actual.getAlpha(), expected.getAlpha()) && close (actual.getRed(), expected.getRed())
                          && close (actual.getGreen(), expected.getGreen()) && close (actual.getBlue(), expected.getBlue());

        EXPECT_TRUE (matches) << element << " at (" << x << ", " << y << ") shows " << describe (actual)
                              << ", expected " << describe (expected);
    }

    /** Number of pixels in which two images of one size differ, within an optional area. */
    inline int countDifferentPixels (const juce::Image& a, const juce::Image& b, juce::Rectangle<int> area = {})
    {
        if (area.isEmpty())
            area = a.getBounds();

        int differences = 0;

        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    ++differences;

        return differences;
    }

    /** A mouse-down at a point of the meter with the given buttons and keys held. */
    inline juce::MouseEvent mouseDownAt (LevelMeter& meter, juce::Point<float> position, juce::ModifierKeys modifiers)
    {
        const auto now = juce::Time::getCurrentTime();
        return { juce::Desktop::getInstance().getMainMouseSource(), position, modifiers,
                 juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                 juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                 juce::MouseInputSource::defaultTiltY, &meter, &meter, now, position, now, 1, false };
    }

    inline const juce::ModifierKeys leftButton { juce::ModifierKeys::leftButtonModifier };
    inline const juce::ModifierKeys rightButton { juce::ModifierKeys::rightButtonModifier };

    /** One tick of the meter's repaint timer, as the message loop would deliver it. */
    inline void tick (LevelMeter& meter)
    {
        // The timer is a private base of the meter; an explicit cast may still name it.
        ((juce::Timer&) meter).timerCallback();
    }

    inline int timerIntervalMs (LevelMeter& meter)
    {
        return ((juce::Timer&) meter).getTimerInterval();
    }

    /** A standard drawing object that also notes the elements it is asked to draw. */
    class RecordingLookAndFeel : public LevelMeterLookAndFeel
    {
    public:
        struct Call
        {
            std::string element;
            juce::Rectangle<float> bounds;
            float value;
        };

        std::vector<Call> calls;

        std::vector<Call> callsTo (const std::string& element) const
        {
            std::vector<Call> matching;

            for (const auto& call : calls)
                if (call.element == element)
                    matching.push_back (call);

            return matching;
        }

        void drawMeterBar (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds, float rms, float peak) override
        {
            calls.push_back ({ "bar", bounds, rms });
            LevelMeterLookAndFeel::drawMeterBar (g, flags, bounds, rms, peak);
        }

        void drawTickMarks (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds) override
        {
            calls.push_back ({ "ticks", bounds, 0.0f });
            LevelMeterLookAndFeel::drawTickMarks (g, flags, bounds);
        }

        void drawClipIndicator (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds, bool hasClipped) override
        {
            calls.push_back ({ "clip light", bounds, hasClipped ? 1.0f : 0.0f });
            LevelMeterLookAndFeel::drawClipIndicator (g, flags, bounds, hasClipped);
        }

        void drawMaxNumber (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds, float maxGain) override
        {
            calls.push_back ({ "peak number", bounds, maxGain });
            LevelMeterLookAndFeel::drawMaxNumber (g, flags, bounds, maxGain);
        }
    };
}
