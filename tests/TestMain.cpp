#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// The tests run on the message thread, as a host's editor and parameter code would.
int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    const juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
