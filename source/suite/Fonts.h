#pragma once

#include <juce_graphics/juce_graphics.h>

/** The fonts shared by the maker's editors. */
namespace suite::Fonts
{
    /** The small plain font of knob captions, field labels and the header's subtitle. */
    juce::Font getParamLabel();
}
