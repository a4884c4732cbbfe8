#pragma once

#include <juce_core/juce_core.h>

/**
    A one-line progress bar on the terminal's error stream, redrawn in place. It stays silent when
    the error stream is not a terminal, so logs and pipes get only the final summary.
*/
class ProgressBar
{
public:
    explicit ProgressBar (juce::int64 total);
    ~ProgressBar();

    void update (juce::int64 done);

private:
    void draw (int percent);
    void clear();

    juce::int64 total;
    bool enabled;
    int lastPercent = -1;

    JUCE_DECLARE_NON_COPYABLE (ProgressBar)
};
