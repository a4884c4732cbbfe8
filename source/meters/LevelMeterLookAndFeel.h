#pragma once

#include "LevelMeter.h"

/**
    The standard drawing object of the level meters: splits a meter's rectangle into channel
    strips, bars, tick columns, clip lights and peak-number boxes for every layout the style bits
    select, and paints each element from a LevelMeterSource.

    Levels are shown in decibels, mapped linearly onto pixels (0 dB at the top or right end,
    the floor at the other). Everything else is drawn by the framework look it derives from.

    Colours are looked up by MeterColourId. While a LevelMeter paints through this object
    (see ScopedColourOwner), a colour that meter component holds for an id wins over this
    object's own colour table, so meters drawn by identical objects, or by one shared object,
    keep their own colours.
*/
class LevelMeterLookAndFeel : public juce::LookAndFeel_V3,
                              public LevelMeter::LookAndFeelMethods
{
public:
    using MeterFlags = LevelMeter::MeterFlags;

    LevelMeterLookAndFeel();
    ~LevelMeterLookAndFeel() override;

    /** Makes the colours held by one meter component take precedence while it lives; the
        previous owner comes back afterwards. Does nothing for another kind of drawing object. */
    class ScopedColourOwner
    {
    public:
        ScopedColourOwner (LevelMeter::LookAndFeelMethods& drawing, const juce::Component& meter);
        ~ScopedColourOwner();

    private:
        LevelMeterLookAndFeel* const standardDrawing;
        const juce::Component* const previousOwner;

        JUCE_DECLARE_NON_COPYABLE (ScopedColourOwner)
    };

    /** The colour drawn for a meter colour id: the owner component's, else this object's. */
    juce::Colour getMeterColour (int colourId) const;

    //==============================================================================
    void setupDefaultMeterColours() override;
    void updateMeterGradients() override;

    juce::Rectangle<float> getMeterInnerBounds (juce::Rectangle<float> bounds, MeterFlags flags) const override;
    juce::Rectangle<float> getMeterBounds (juce::Rectangle<float> bounds, MeterFlags flags, int numChannels, int channel) const override;
    juce::Rectangle<float> getMeterBarBounds (juce::Rectangle<float> bounds, MeterFlags flags) const override;
    juce::Rectangle<float> getMeterTickmarksBounds (juce::Rectangle<float> bounds, MeterFlags flags) const override;
    juce::Rectangle<float> getMeterClipIndicatorBounds (juce::Rectangle<float> bounds, MeterFlags flags) const override;

    juce::Rectangle<float> drawBackground (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds) override;
    void drawMeterBars (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds,
                        const LevelMeterSource* source, int fixedNumChannels, int selectedChannel) override;
    void drawMeterBarsBackground (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds,
                                  int numChannels, int fixedNumChannels) override;
    void drawMeterChannel (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds,
                           const LevelMeterSource* source, int channel) override;
    void drawMeterChannelBackground (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds) override;
    void drawMeterBar (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds, float rms, float peak) override;
    void drawMeterReduction (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds, float reduction) override;
    void drawMeterBarBackground (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds) override;
    void drawTickMarks (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds) override;
    void drawClipIndicator (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds, bool hasClipped) override;
    void drawClipIndicatorBackground (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds) override;

    juce::Rectangle<float> getMeterMaxNumberBounds (juce::Rectangle<float> bounds, MeterFlags flags) const override;
    void drawMaxNumber (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds, float maxGain) override;
    void drawMaxNumberBackground (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds) override;

    int hitTestClipIndicator (juce::Point<int> position, MeterFlags flags, juce::Rectangle<float> bounds,
                              const LevelMeterSource* source) const override;
    int hitTestMaxNumber (juce::Point<int> position, MeterFlags flags, juce::Rectangle<float> bounds,
                          const LevelMeterSource* source) const override;

private:
    template <typename ElementBounds>
    int hitTest (juce::Point<int> position, MeterFlags flags, juce::Rectangle<float> bounds,
                 const LevelMeterSource* source, ElementBounds elementBounds) const;

    void drawCompactTicksAfter (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> inner, int numChannels, int channel);
    void drawLevelBar (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bar, float rmsDb);
    void drawPeakLine (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bar, float peakDb);
    void fillReduction (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bar, float reduction);
    void fillAndOutline (juce::Graphics& g, juce::Rectangle<float> bounds, int fillColourId);

    const juce::Component* colourOwner = nullptr;
    const juce::Component* gradientsOwner = nullptr; // compared only, never dereferenced
    juce::ColourGradient horizontalBarFill;
    juce::ColourGradient verticalBarFill;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LevelMeterLookAndFeel)
};
