#include "Fonts.h"

namespace suite::Fonts
{

juce::Font getParamLabel()
{
    return juce::Font (juce::FontOptions (12.0f, juce::Font::plain));
}

} // namespace suite::Fonts
