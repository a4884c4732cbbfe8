#include "ChildComponents.h"
#include "plugin/PluginEditor.h"
#include "suite/PelmarLookAndFeel.h"
#include "suite/PluginHeader.h"

#include <gtest/gtest.h>

namespace
{
    juce::Label* labelShowing (juce::Component& parent, const juce::String& text)
    {
        for (auto* label : childrenOfType<juce::Label> (parent))
            if (label->getText() == text)
                return label;

        return nullptr;
    }

    const char* const knobParameterIDs[] { "threshold", "lookahead", "release", "trim", "soft" };

    /** A processor with its editor open, and the editor's controls found the way a user sees them. */
    struct EditorFixture : testing::Test
    {
        EditorFixture()
        {
            processor.setRateAndBufferSizeDetails (48000.0, 512);
            processor.prepareToPlay (48000.0, 512);
            openEditor();
        }

        ~EditorFixture() override
        {
            editor.reset();
            processor.releaseResources();
        }

        void openEditor()
        {
            editor.reset (processor.createEditor());
            ASSERT_NE (editor, nullptr);
            knobs = childrenOfType<juce::Slider> (*editor);
            meters = childrenOfType<LevelMeter> (*editor);
            ASSERT_EQ (knobs.size(), 5u);
            ASSERT_EQ (meters.size(), 2u);
            presetBox = childrenOfType<juce::ComboBox> (*editor).at (0);
            bypassButton = childrenOfType<juce::ToggleButton> (*editor).at (0);
        }

        juce::RangedAudioParameter& parameter (const char* id)  { return *processor.parameters.getParameter (id); }
        float valueOf (const char* id)                          { return processor.parameters.getRawParameterValue (id)->load(); }

        CeiloraAudioProcessor processor;
        std::unique_ptr<juce::AudioProcessorEditor> editor;
        std::vector<juce::Slider*> knobs;
        std::vector<LevelMeter*> meters;
        juce::ComboBox* presetBox = nullptr;
        juce::ToggleButton* bypassButton = nullptr;
    };
}

TEST_F (EditorFixture, LaysOutEveryControlOfTheFixedWindow)
{
    EXPECT_EQ (editor->getWidth(), 690);
    EXPECT_EQ (editor->getHeight(), 525);
    EXPECT_FALSE (editor->isResizable()) << "the host could resize the window";
    EXPECT_TRUE (childrenOfType<juce::ResizableCornerComponent> (*editor).empty()) << "the user could resize the window";

    struct Case
    {
        const char* name;
        juce::Component* component;
        juce::Rectangle<int> bounds;
    };

    const Case cases[] {
        { "header",          childrenOfType<suite::PluginHeader> (*editor).at (0), { 0, 0, 690, 55 } },
        { "inputLabel",      labelShowing (*editor, "INPUT"),      { 20, 75, 60, 20 } },
        { "inputMeter",      meters[0],                            { 25, 95, 50, 380 } },
        { "outputLabel",     labelShowing (*editor, "OUTPUT"),     { 610, 75, 60, 20 } },
        { "outputMeter",     meters[1],                            { 615, 95, 50, 380 } },
        { "thresholdLabel",  labelShowing (*editor, "Threshold"),  { 100, 75, 150, 25 } },
        { "thresholdSlider", knobs[0],                             { 100, 100, 150, 150 } },
        { "lookaheadLabel",  labelShowing (*editor, "Look-Ahead"), { 270, 75, 150, 25 } },
        { "lookaheadSlider", knobs[1],                             { 270, 100, 150, 150 } },
        { "releaseLabel",    labelShowing (*editor, "Release"),    { 440, 75, 150, 25 } },
        { "releaseSlider",   knobs[2],                             { 440, 100, 150, 150 } },
        { "trimLabel",       labelShowing (*editor, "Output"),     { 185, 270, 150, 25 } },
        { "trimSlider",      knobs[3],                             { 185, 295, 150, 150 } },
        { "softLabel",       labelShowing (*editor, "Soft Clip"),  { 355, 270, 150, 25 } },
        { "softSlider",      knobs[4],                             { 355, 295, 150, 150 } },
        { "presetLabel",     labelShowing (*editor, "Preset:"),    { 100, 465, 60, 40 } },
        { "presetBox",       presetBox,                            { 165, 465, 235, 40 } },
        { "bypassButton",    bypassButton,                         { 420, 465, 150, 40 } },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.name);
        ASSERT_NE (testCase.component, nullptr) << "missing from the window";
        EXPECT_TRUE (testCase.component->isVisible());
        EXPECT_EQ (testCase.component->getBounds(), testCase.bounds);
    }
}

TEST_F (EditorFixture, DrawsTheKnobsWithTheSharedLookAndEditableValueBoxes)
{
    for (size_t index = 0; index < knobs.size(); ++index)
    {
        SCOPED_TRACE (knobParameterIDs[index]);
        auto& knob = *knobs[index];
        EXPECT_EQ (&knob.getLookAndFeel(), &suite::pelmarLookAndFeel());
        EXPECT_EQ (knob.getSliderStyle(), juce::Slider::RotaryHorizontalVerticalDrag);
        EXPECT_EQ (knob.getTextBoxPosition(), juce::Slider::TextBoxBelow);
        EXPECT_TRUE (knob.isTextBoxEditable());
        EXPECT_EQ (knob.getTextBoxWidth(), 70);
        EXPECT_EQ (knob.getTextBoxHeight(), 20);
        EXPECT_EQ (knob.findColour (juce::Slider::textBoxTextColourId), juce::Colour (0xffe8e8e8));
        EXPECT_EQ (knob.getTextFromValue (knob.getValue()), parameter (knobParameterIDs[index]).getCurrentValueAsText())
            << "the value box shows the parameter's own text";
    }

    EXPECT_NE (&presetBox->getLookAndFeel(), &suite::pelmarLookAndFeel()) << "only the knobs use the theme's look";
}

TEST_F (EditorFixture, ColoursItsControlsAndMetersFromThePalette)
{
    struct Case
    {
        const char* what;
        juce::Component* component;
        int colourId;
        juce::uint32 argb;
    };

    const Case cases[] {
        { "bypass text",         bypassButton, juce::ToggleButton::textColourId,      0xffe8e8e8 },
        { "bypass tick",         bypassButton, juce::ToggleButton::tickColourId,      0xff4a9eff },
        { "preset background",   presetBox,    juce::ComboBox::backgroundColourId,    0xff1a1a1a },
        { "preset text",         presetBox,    juce::ComboBox::textColourId,          0xffe8e8e8 },
        { "preset outline",      presetBox,    juce::ComboBox::outlineColourId,       0xff2a2a2a },
        { "preset arrow",        presetBox,    juce::ComboBox::arrowColourId,         0xff4a9eff },
        { "preset label",        labelShowing (*editor, "Preset:"), juce::Label::textColourId, 0xffe8e8e8 },
        { "INPUT label",         labelShowing (*editor, "INPUT"),   juce::Label::textColourId, 0xff909090 },
        { "OUTPUT label",        labelShowing (*editor, "OUTPUT"),  juce::Label::textColourId, 0xff909090 },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.what);
        ASSERT_NE (testCase.component, nullptr);
        EXPECT_TRUE (testCase.component->isColourSpecified (testCase.colourId));
        EXPECT_EQ (testCase.component->findColour (testCase.colourId), juce::Colour (testCase.argb));
    }

    const std::pair<int, juce::uint32> meterColours[] {
        { LevelMeter::gradientLowColourId,       0xff00ff88 },
        { LevelMeter::gradientMidColourId,       0xffffcc00 },
        { LevelMeter::gradientHighColourId,      0xffff3344 },
        { LevelMeter::meterBackgroundColourId,   0xff151515 },
        { LevelMeter::elementBackgroundColourId, 0xff151515 },
        { LevelMeter::peakNumberTextColourId,    0xff909090 },
        { LevelMeter::tickMarkColourId,          0xff2a2a2a },
        { LevelMeter::elementOutlineColourId,    0xff2a2a2a },
    };

    for (auto* meter : meters)
    {
        for (const auto& [id, argb] : meterColours)
        {
            SCOPED_TRACE ("meter colour 0x" + juce::String::toHexString (id));
            EXPECT_TRUE (meter->isColourSpecified (id));
            EXPECT_EQ (meter->findColour (id), juce::Colour (argb));
        }
    }
}

TEST_F (EditorFixture, KnobsAndToggleFollowAndMoveTheirParameters)
{
    for (size_t index = 0; index < knobs.size(); ++index)
    {
        const auto* id = knobParameterIDs[index];
        SCOPED_TRACE (id);
        auto& param = parameter (id);
        auto& knob = *knobs[index];

        param.setValueNotifyingHost (0.25f);
        EXPECT_FLOAT_EQ ((float) knob.getValue(), param.convertFrom0to1 (0.25f)) << "the knob did not follow its parameter";

        const auto target = param.convertFrom0to1 (0.8f);
        knob.setValue (target, juce::sendNotificationSync);
        EXPECT_NEAR (valueOf (id), target, 1.0e-4f) << "turning the knob did not move its parameter";
    }

    parameter ("bypass").setValueNotifyingHost (1.0f);
    EXPECT_TRUE (bypassButton->getToggleState()) << "the toggle did not follow bypass";

    bypassButton->setToggleState (false, juce::sendNotificationSync);
    EXPECT_EQ (valueOf ("bypass"), 0.0f) << "the toggle did not switch bypass off";
    EXPECT_EQ (bypassButton->getButtonText(), "BYPASS");
}

TEST_F (EditorFixture, ChoosingBrickWallAppliesTheProgramAndSwitchesBypassOff)
{
    ASSERT_EQ (presetBox->getNumItems(), 5);
    const char* names[] { "Init", "Transparent", "Aggressive", "Soft Touch", "Brick Wall" };

    for (int index = 0; index < 5; ++index)
    {
        EXPECT_EQ (presetBox->getItemId (index), index + 1);
        EXPECT_EQ (presetBox->getItemText (index), names[index]);
    }

    bypassButton->setToggleState (true, juce::sendNotificationSync);
    presetBox->setSelectedId (5, juce::sendNotificationSync);

    EXPECT_EQ (processor.getCurrentProgram(), 4);
    const float expected[] { -0.1f, 8.0f, 40.0f, 0.0f, 0.05f };

    for (size_t index = 0; index < knobs.size(); ++index)
        EXPECT_NEAR ((float) knobs[index]->getValue(), expected[index], 1.0e-4f) << knobParameterIDs[index] << " knob";

    EXPECT_FALSE (bypassButton->getToggleState()) << "the toggle still shows bypass on";
    EXPECT_EQ (valueOf ("bypass"), 0.0f);

    // Clearing the selection (item ID 0) is no program and changes nothing.
    presetBox->setSelectedId (0, juce::sendNotificationSync);
    EXPECT_EQ (processor.getCurrentProgram(), 4);
}

TEST_F (EditorFixture, AReopenedEditorShowsTheCurrentProgram)
{
    EXPECT_EQ (presetBox->getSelectedId(), 1);

    editor.reset();
    processor.setCurrentProgram (2);
    openEditor();

    EXPECT_EQ (presetBox->getSelectedId(), 3);
    EXPECT_EQ (presetBox->getText(), "Aggressive");
}

TEST_F (EditorFixture, ClickingAMeterResetsOnlyItsOwnSourceThroughTheDefaultHandlers)
{
    // The editor installs no handlers of its own: a clip-light click does the meter's default,
    // and the left meter's default acts on the input source, the right one's on the output.
    for (auto* meter : meters)
    {
        EXPECT_TRUE (meter->onClipIndicatorClick != nullptr);
        EXPECT_TRUE (meter->onPeakNumberClick != nullptr);
    }

    parameter ("trim").setValueNotifyingHost (1.0f);  // +24 dB: the output clips too
    juce::AudioBuffer<float> block (2, 512);
    block.clear();
    block.setSample (0, 100, 1.5f);
    block.setSample (1, 100, 1.5f);
    juce::MidiBuffer midi;
    processor.processBlock (block, midi);

    ASSERT_TRUE (processor.inputMeterSource.isClipped (0));
    ASSERT_TRUE (processor.outputMeterSource.isClipped (0));

    const auto clickClipLight = [] (LevelMeter& meter)
    {
        const auto now = juce::Time::getCurrentTime();
        const juce::Point<float> clipLight (10.0f, 5.0f);
        meter.mouseDown ({ juce::Desktop::getInstance().getMainMouseSource(), clipLight,
                           juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier),
                           juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                           juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                           juce::MouseInputSource::defaultTiltY, &meter, &meter, now, clipLight, now, 1, false });
    };

    clickClipLight (*meters[0]);
    EXPECT_FALSE (processor.inputMeterSource.isClipped (0)) << "the left meter's clip light did not reset the input";
    EXPECT_TRUE (processor.outputMeterSource.isClipped (0)) << "the left meter reset the output";

    clickClipLight (*meters[1]);
    EXPECT_FALSE (processor.outputMeterSource.isClipped (0)) << "the right meter's clip light did not reset the output";
}
