#include "ParamLabel.h"

#include "Colors.h"
#include "Fonts.h"

namespace suite
{

ParamLabel::ParamLabel (const juce::String& caption)
    : juce::Label ({}, {})
{
    setText (caption, juce::dontSendNotification);
    setJustificationType (juce::Justification::centred);
    // Held by the label itself, so the caption keeps its colour under any look-and-feel.
    setColour (juce::Label::textColourId, Colors::textDim);
    setFont (Fonts::getParamLabel());
}

} // namespace suite
