#include "NativeWindows.h"
#include "XvfbSession.h"

#include <juce_events/juce_events.h>

#include <gtest/gtest.h>

#include <iostream>

// The X server must be up before JUCE connects to it and must outlive JUCE's shutdown, which is
// also when the hosted bundle unloads and reports any leaks.
int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);

    if (testing::GTEST_FLAG (list_tests))
        return RUN_ALL_TESTS();

    std::unique_ptr<XvfbSession> xvfb;

    try
    {
        xvfb = XvfbSession::startIfNoDisplay();
    }
    catch (const std::exception& e)
    {
        std::cerr << e.what() << std::endl;
        return 1;
    }

    setUpXlibLikeAHost();
    int result = 0;

    {
        const juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
    }

    return result;
}
