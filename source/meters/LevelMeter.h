#pragma once

#include "LevelMeterSource.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

class LevelMeterLookAndFeel;

/**
    The on-screen level meter: bars, peak lines, clip lights and peak numbers for the channels
    of one LevelMeterSource.

    It repaints on its own timer, leaves every pixel to a drawing object (LookAndFeelMethods),
    lets an idle source fall back to zero after each paint and turns clicks on a clip light or a
    peak number into notifications; by default such a click resets every peak number and clip
    light of the source.

    The meter holds its source weakly: once the source is destroyed the meter shows an empty
    background and ignores clicks.
*/
class LevelMeter : public juce::Component,
                   private juce::Timer
{
public:
    /** Style bits; they combine freely, e.g. MeterFlags (Compact | PeakNumber). */
    enum MeterFlags
    {
        NoFlags        = 0x00,
        HorizontalBars = 0x01,
        FullArea       = 0x02,
        OneChannel     = 0x04,
        Framed         = 0x08,
        GainReduction  = 0x10,
        Compact        = 0x20,
        PeakNumber     = 0x40
    };

    /** Colour ids for the meter's elements. A colour set on the meter component itself wins
        over the drawing object's colour for the same id. */
    enum MeterColourId
    {
        peakNumberTextColourId    = 0x2200001,
        reservedColourIdA         = 0x2200002,
        peakNumberOverColourId    = 0x2200003,
        tickMarkColourId          = 0x2200004,
        frameColourId             = 0x2200005,
        meterBackgroundColourId   = 0x2200006,
        clipLitColourId           = 0x2200007,
        reservedColourIdB         = 0x2200008,
        elementOutlineColourId    = 0x2200009,
        elementBackgroundColourId = 0x220000a,
        peakLineColourId          = 0x220000b,
        peakLineWarnColourId      = 0x220000c,
        peakLineOverColourId      = 0x220000d,
        gradientLowColourId       = 0x220000e,
        gradientMidColourId       = 0x220000f,
        gradientHighColourId      = 0x2200010,
        reductionColourId         = 0x2200011
    };

    /** The drawing interface: geometry, drawing and hit tests of every meter element. A
        look-and-feel that implements it draws the meters it is set on. */
    struct LookAndFeelMethods
    {
        virtual ~LookAndFeelMethods() = default;

        virtual void setupDefaultMeterColours() = 0;
        virtual void updateMeterGradients() = 0;

        virtual juce::Rectangle<float> getMeterInnerBounds (juce::Rectangle<float> bounds, MeterFlags flags) const = 0;
        virtual juce::Rectangle<float> getMeterBounds (juce::Rectangle<float> bounds, MeterFlags flags, int numChannels, int channel) const = 0;
        virtual juce::Rectangle<float> getMeterBarBounds (juce::Rectangle<float> bounds, MeterFlags flags) const = 0;
        virtual juce::Rectangle<float> getMeterTickmarksBounds (juce::Rectangle<float> bounds, MeterFlags flags) const = 0;
        virtual juce::Rectangle<float> getMeterClipIndicatorBounds (juce::Rectangle<float> bounds, MeterFlags flags) const = 0;

        virtual juce::Rectangle<float> drawBackground (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds) = 0;
        virtual void drawMeterBars (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds,
                                    const LevelMeterSource* source, int fixedNumChannels, int selectedChannel) = 0;
        virtual void drawMeterBarsBackground (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds,
                                              int numChannels, int fixedNumChannels) = 0;
        virtual void drawMeterChannel (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds,
                                       const LevelMeterSource* source, int channel) = 0;
        virtual void drawMeterChannelBackground (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds) = 0;
        virtual void drawMeterBar (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds, float rms, float peak) = 0;
        virtual void drawMeterReduction (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds, float reduction) = 0;
        virtual void drawMeterBarBackground (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds) = 0;
        virtual void drawTickMarks (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds) = 0;
        virtual void drawClipIndicator (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds, bool hasClipped) = 0;
        virtual void drawClipIndicatorBackground (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds) = 0;

        virtual juce::Rectangle<float> getMeterMaxNumberBounds (juce::Rectangle<float> bounds, MeterFlags flags) const = 0;
        virtual void drawMaxNumber (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds, float maxGain) = 0;
        virtual void drawMaxNumberBackground (juce::Graphics& g, MeterFlags flags, juce::Rectangle<float> bounds) = 0;

        virtual int hitTestClipIndicator (juce::Point<int> position, MeterFlags flags, juce::Rectangle<float> bounds,
                                          const LevelMeterSource* source) const = 0;
        virtual int hitTestMaxNumber (juce::Point<int> position, MeterFlags flags, juce::Rectangle<float> bounds,
                                      const LevelMeterSource* source) const = 0;
    };

    /** Receives clicks on the clip lights and peak numbers, before the meter's own handlers. */
    struct Listener
    {
        virtual ~Listener() = default;

        virtual void clipIndicatorClicked (LevelMeter* meter, int channel, juce::ModifierKeys modifiers) = 0;
        virtual void peakNumberClicked (LevelMeter* meter, int channel, juce::ModifierKeys modifiers) = 0;
    };

    using ClickHandler = std::function<void (LevelMeter&, int channel, juce::ModifierKeys)>;

    explicit LevelMeter (MeterFlags flags = NoFlags);
    ~LevelMeter() override;

    /** Takes effect at the next paint. */
    void setFlags (MeterFlags newFlags);

    /** Shows this source from now on; nullptr detaches. The meter never owns it. */
    void attachSource (LevelMeterSource* source);

    /** (Re)starts the repaint timer at this many ticks per second. */
    void setRepaintRate (int hz);

    /** The channel drawn under OneChannel; nothing is drawn while it is negative. */
    void setSelectedChannel (int channel) noexcept        { soloChannel = channel; }

    /** The number of strips the default layout divides its space into; -1 follows the source. */
    void setFixedNumChannels (int numChannels) noexcept   { forcedChannelCount = numChannels; }

    /** Draws the static parts once into an image and copies it on later paints. */
    void setCacheBackground (bool shouldCache);

    void addListener (Listener* listener)                 { clickListeners.add (listener); }
    void removeListener (Listener* listener)              { clickListeners.remove (listener); }

    /** Run after the listeners on a click; assigning an empty function disables it. */
    ClickHandler onClipIndicatorClick;
    ClickHandler onPeakNumberClick;

    //==============================================================================
    void mouseDown (const juce::MouseEvent& event) override;
    void visibilityChanged() override;
    void parentHierarchyChanged() override;
    void lookAndFeelChanged() override;
    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    void timerCallback() override;
    void resetPeaksAndClipLights();

    juce::WeakReference<LevelMeterSource> meterSource;
    int soloChannel = -1;
    int forcedChannelCount = -1;
    MeterFlags flags;
    int repaintRateHz = 30;
    bool cacheBackground = false;
    juce::Image backgroundCache;
    bool backgroundDirty = true;
    std::unique_ptr<LevelMeterLookAndFeel> ownLookAndFeel;
    LookAndFeelMethods* drawing = nullptr;
    juce::ListenerList<Listener> clickListeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LevelMeter)
};
