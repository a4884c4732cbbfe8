#include "MessagePump.h"
#include "suite/ParamLabel.h"

#include <gtest/gtest.h>

namespace
{
    struct ChangeCounter : juce::Label::Listener
    {
        void labelTextChanged (juce::Label*) override  { ++changes; }
        int changes = 0;
    };
}

TEST (ParamLabel, ShowsItsCaptionCentredInTheDimCaptionStyle)
{
    const suite::ParamLabel label ("Look-Ahead");

    EXPECT_EQ (label.getText(), "Look-Ahead");
    EXPECT_EQ (label.getName(), "");
    EXPECT_EQ (label.getJustificationType(), juce::Justification::centred);
    EXPECT_EQ (label.getFont().getHeight(), 12.0f);
    EXPECT_FALSE (label.getFont().isBold());
    EXPECT_FALSE (label.isEditableOnSingleClick() || label.isEditableOnDoubleClick());
}

TEST (ParamLabel, KeepsItsDimColourUnderAnyLookAndFeel)
{
    juce::LookAndFeel_V4 otherLook;
    otherLook.setColour (juce::Label::textColourId, juce::Colours::red);

    juce::Component parent;
    parent.setLookAndFeel (&otherLook);
    suite::ParamLabel label ("Threshold");
    parent.addChildComponent (label);

    EXPECT_EQ (label.findColour (juce::Label::textColourId), juce::Colour (0xff909090));

    parent.removeChildComponent (&label);
    parent.setLookAndFeel (nullptr);
}

TEST (ParamLabel, SendsNoTextChangeWhenBuilt)
{
    suite::ParamLabel label ("Release");
    ChangeCounter counter;
    label.addListener (&counter);

    // A notification sent while building would be delivered asynchronously, so let it arrive.
    pumpMessagesFor (50);

    EXPECT_EQ (counter.changes, 0);
    label.removeListener (&counter);
}
