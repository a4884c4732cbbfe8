#pragma once

#include <juce_core/juce_core.h>

#include <vector>

/** What one run of ceilora-render was asked to do, as read from its command line. */
struct RenderOptions
{
    struct Setting
    {
        juce::String id, value;
    };

    juce::File input;           // none: the built-in demo signal
    juce::File output;
    juce::File plot;            // none: no plot
    juce::File bundle;
    juce::String preset;        // empty: the plug-in's defaults
    std::vector<Setting> settings;
    int blockSize = 512;
    int bitsPerSample = 0;      // 0: the output format's default
    bool listPlugin = false;
    bool showHelp = false;
};
