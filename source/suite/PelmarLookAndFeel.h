#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace suite
{

/**
    The maker's look-and-feel: JUCE's dark V4 look with rotary knobs drawn as a glowing value arc
    around a shaded disc with a lit pointer. It keeps no per-knob state, so one instance can serve
    every knob of every open editor.
*/
class PelmarLookAndFeel : public juce::LookAndFeel_V4
{
public:
    PelmarLookAndFeel();

    void drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PelmarLookAndFeel)
};

/**
    The one look-and-feel shared by every editor in the library.

    It is built on the first call rather than by a namespace-scope constructor: JUCE's own
    look-and-feel constructors read juce::Colours constants that other source files initialise
    dynamically, so an instance built during static initialisation could see them unset. The
    instance lives until the library is unloaded, after every editor that uses it has gone.
*/
PelmarLookAndFeel& pelmarLookAndFeel();

} // namespace suite
