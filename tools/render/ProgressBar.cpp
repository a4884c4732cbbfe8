#include "ProgressBar.h"

#include <cstdio>
#include <unistd.h>

namespace
{
    constexpr int barWidth = 40;
}

ProgressBar::ProgressBar (juce::int64 totalToDo)
    : total (totalToDo),
      enabled (total > 0 && isatty (fileno (stderr)) != 0)
{
}

ProgressBar::~ProgressBar()
{
    clear();
}

void ProgressBar::update (juce::int64 done)
{
    if (! enabled)
        return;

    const auto percent = (int) (100 * juce::jlimit ((juce::int64) 0, total, done) / total);

    if (percent != lastPercent)
        draw (percent);
}

void ProgressBar::draw (int percent)
{
    lastPercent = percent;
    const auto filled = percent * barWidth / 100;
    std::fprintf (stderr, "\rRendering [%s%s] %3d%%",
                  juce::String::repeatedString ("#", filled).toRawUTF8(),
                  juce::String::repeatedString ("-", barWidth - filled).toRawUTF8(),
                  percent);
    std::fflush (stderr);
}

void ProgressBar::clear()
{
    if (enabled && lastPercent >= 0)
    {
        std::fprintf (stderr, "\r%*s\r", barWidth + 20, "");
        std::fflush (stderr);
    }
}
