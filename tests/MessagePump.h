#pragma once

#include <juce_events/juce_events.h>

namespace juce::detail
{
    // JUCE's Linux event loop step (juce_Messaging_linux.cpp); plug-in builds permit no modal loops,
    // so the tests drive the message queue with it directly.
    bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

/** Delivers the message thread's pending messages, timers and window events for a while. */
inline void pumpMessagesFor (int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;

    while (juce::Time::getMillisecondCounter() < end)
        if (! juce::detail::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
}
