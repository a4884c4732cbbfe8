#pragma once

#include "RenderOptions.h"

/** Reads ceilora-render's arguments into RenderOptions and holds the tool's usage text. */
class CommandLine
{
public:
    /** Fills options from the arguments (without the program name); fails with a one-line reason. */
    static juce::Result parse (const juce::StringArray& arguments, RenderOptions& options);

    static juce::String getUsage();

    /** The file a render of input goes to when no output is named. */
    static juce::File getDefaultOutputFor (const juce::File& input);
};
