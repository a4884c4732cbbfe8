#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace suite
{

/** The small dim caption above a knob: a label preset to the maker's caption style. */
class ParamLabel : public juce::Label
{
public:
    explicit ParamLabel (const juce::String& caption);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParamLabel)
};

} // namespace suite
