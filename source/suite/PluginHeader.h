#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace suite
{

/**
    The strip across the top of a Pelmar editor: the plug-in's name in large bold type, a one-line
    description under it and the maker's name at the right-hand end, on a dark vertical gradient.
*/
class PluginHeader : public juce::Component
{
public:
    PluginHeader (const juce::String& title, const juce::String& subtitle);

    void paint (juce::Graphics& g) override;

private:
    juce::String title;
    juce::String subtitle;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginHeader)
};

} // namespace suite
