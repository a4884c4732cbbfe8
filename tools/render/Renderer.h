#pragma once

#include "HostedLimiter.h"
#include "RenderOptions.h"
#include "RenderStatistics.h"

#include <juce_audio_formats/juce_audio_formats.h>

/**
    One run of ceilora-render: opens the input (a file or the demo signal), loads the plug-in,
    applies the preset and settings, streams the audio through it block by block into a hidden
    file beside the output, and only renames that into place once everything has been written.
    Every failure comes back as a one-line reason and leaves no output behind.
*/
class Renderer
{
public:
    explicit Renderer (const RenderOptions& options);
    ~Renderer();

    /** Renders and fills in the summary; fails with a one-line reason. */
    juce::Result run();

    /** Loads the plug-in and describes its presets and parameters. */
    juce::Result listPlugin();

    /** What run() printed about the render: settings, levels, gain reduction and clips. */
    const juce::String& getSummary() const noexcept  { return summary; }

private:
    juce::Result openInput();
    juce::Result checkOutputs();
    juce::Result loadPlugin (double sampleRate);
    juce::Result configurePlugin();
    RenderStatistics makeStatistics() const;
    juce::Result renderInto (const juce::File& file, RenderStatistics& statistics);
    juce::Result render (juce::AudioFormatWriter& writer, RenderStatistics& statistics);
    juce::Result writePlot (const RenderStatistics& statistics) const;
    void summarise (const RenderStatistics& statistics);

    juce::String describeInput() const;
    juce::File getBundle() const;

    const RenderOptions& options;
    juce::AudioFormatManager formatManager;
    std::unique_ptr<juce::AudioFormatReader> reader;
    juce::AudioFormat* outputFormat = nullptr;
    int bitsPerSample = 0;
    std::unique_ptr<HostedLimiter> limiter;
    juce::String summary;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Renderer)
};
