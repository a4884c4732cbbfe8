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

/** Delivers messages until the condition holds or the time runs out; says whether it held. */
template <typename Condition>
bool pumpMessagesUntil (Condition&& condition, int timeoutMilliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMilliseconds;

    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() >= end)
            return false;

        pumpMessagesFor (10);
    }

    return true;
}
