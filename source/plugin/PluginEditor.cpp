#include "PluginEditor.h"

#include "suite/Colors.h"
#include "suite/Fonts.h"
#include "suite/PelmarLookAndFeel.h"

namespace
{
    constexpr int editorWidth = 690;
    constexpr int editorHeight = 525;

    constexpr int headerHeight = 55;
    constexpr int margin = 20;
    constexpr int meterColumnWidth = 60;
    constexpr int meterColumnGap = 20;
    constexpr int meterLabelHeight = 20;
    constexpr int meterBottomGap = 30;
    constexpr int meterInset = 5;

    constexpr int knobWidth = 150;
    constexpr int knobHeight = 150;
    constexpr int captionHeight = 25;
    constexpr int knobColumnStep = knobWidth + 20;
    constexpr int knobRowHeight = captionHeight + knobHeight;
    constexpr int rowGap = 20;

    constexpr int stripHeight = 40;
    constexpr int presetAreaWidth = 300;
    constexpr int presetLabelWidth = 60;
    constexpr int presetLabelGap = 5;
    constexpr int presetBoxWidth = 235;
    constexpr int bypassWidth = 150;

    constexpr int meterRepaintHz = 30;

    void placeKnob (juce::Rectangle<int> row, int column, juce::Label& caption, juce::Slider& slider)
    {
        const auto x = row.getX() + column * knobColumnStep;
        caption.setBounds (x, row.getY(), knobWidth, captionHeight);
        slider.setBounds (x, row.getY() + captionHeight, knobWidth, knobHeight);
    }
}

//==============================================================================
CeiloraAudioProcessorEditor::CeiloraAudioProcessorEditor (CeiloraAudioProcessor& processor)
    : juce::AudioProcessorEditor (processor), audioProcessor (processor)
{
    addAndMakeVisible (header);

    setUpMeter (inputMeter, audioProcessor.inputMeterSource);
    setUpMeter (outputMeter, audioProcessor.outputMeterSource);

    setUpMeterLabel (inputLabel, "INPUT");
    setUpMeterLabel (outputLabel, "OUTPUT");

    for (auto* slider : { &thresholdSlider, &lookaheadSlider, &releaseSlider, &trimSlider, &softSlider })
        setUpKnob (*slider);

    auto& parameters = audioProcessor.parameters;
    thresholdAttachment = std::make_unique<SliderAttachment> (parameters, "threshold", thresholdSlider);
    lookaheadAttachment = std::make_unique<SliderAttachment> (parameters, "lookahead", lookaheadSlider);
    releaseAttachment = std::make_unique<SliderAttachment> (parameters, "release", releaseSlider);
    trimAttachment = std::make_unique<SliderAttachment> (parameters, "trim", trimSlider);
    softAttachment = std::make_unique<SliderAttachment> (parameters, "soft", softSlider);

    for (auto* caption : { &thresholdLabel, &lookaheadLabel, &releaseLabel, &trimLabel, &softLabel })
        addAndMakeVisible (*caption);

    bypassButton.setButtonText ("BYPASS");
    bypassButton.setColour (juce::ToggleButton::textColourId, suite::Colors::text);
    bypassButton.setColour (juce::ToggleButton::tickColourId, suite::Colors::accent);
    addAndMakeVisible (bypassButton);
    bypassAttachment = std::make_unique<ButtonAttachment> (parameters, "bypass", bypassButton);

    presetLabel.setText ("Preset:", juce::dontSendNotification);
    presetLabel.setJustificationType (juce::Justification::centredRight);
    presetLabel.setColour (juce::Label::textColourId, suite::Colors::text);
    presetLabel.setFont (suite::Fonts::getParamLabel());
    addAndMakeVisible (presetLabel);

    fillPresetBox();
    addAndMakeVisible (presetBox);

    setResizable (false, false);
    // Last, so the first layout pass sees every child configured.
    setSize (editorWidth, editorHeight);
}

void CeiloraAudioProcessorEditor::setUpMeter (LevelMeter& meter, LevelMeterSource& source)
{
    meter.setFlags (LevelMeter::MeterFlags (LevelMeter::Compact | LevelMeter::PeakNumber));
    meter.attachSource (&source);
    meter.setRepaintRate (meterRepaintHz);

    const std::pair<LevelMeter::MeterColourId, suite::PaletteColour> colours[] {
        { LevelMeter::gradientLowColourId,       suite::Colors::meterGreen },
        { LevelMeter::gradientMidColourId,       suite::Colors::meterYellow },
        { LevelMeter::gradientHighColourId,      suite::Colors::meterRed },
        { LevelMeter::meterBackgroundColourId,   suite::Colors::panelDark },
        { LevelMeter::elementBackgroundColourId, suite::Colors::panelDark },
        { LevelMeter::peakNumberTextColourId,    suite::Colors::textDim },
        { LevelMeter::tickMarkColourId,          suite::Colors::border },
        { LevelMeter::elementOutlineColourId,    suite::Colors::border },
    };

    for (const auto& [id, colour] : colours)
        meter.setColour (id, colour);

    addAndMakeVisible (meter);
}

void CeiloraAudioProcessorEditor::setUpMeterLabel (juce::Label& label, const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
    label.setJustificationType (juce::Justification::centred);
    label.setColour (juce::Label::textColourId, suite::Colors::textDim);
    label.setFont (suite::Fonts::getParamLabel());
    addAndMakeVisible (label);
}

void CeiloraAudioProcessorEditor::setUpKnob (juce::Slider& slider)
{
    slider.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
    slider.setTextBoxStyle (juce::Slider::TextBoxBelow, false, 70, 20);
    slider.setLookAndFeel (&suite::pelmarLookAndFeel());
    slider.setColour (juce::Slider::textBoxTextColourId, suite::Colors::text);
    addAndMakeVisible (slider);
}

void CeiloraAudioProcessorEditor::fillPresetBox()
{
    for (int index = 0; index < audioProcessor.getNumPrograms(); ++index)
        presetBox.addItem (audioProcessor.getProgramName (index), index + 1);

    presetBox.setSelectedId (audioProcessor.getCurrentProgram() + 1, juce::dontSendNotification);

    presetBox.setColour (juce::ComboBox::backgroundColourId, suite::Colors::panelLight);
    presetBox.setColour (juce::ComboBox::textColourId, suite::Colors::text);
    presetBox.setColour (juce::ComboBox::outlineColourId, suite::Colors::border);
    presetBox.setColour (juce::ComboBox::arrowColourId, suite::Colors::accent);

    presetBox.onChange = [this] { presetChosen(); };
}

void CeiloraAudioProcessorEditor::presetChosen()
{
    const auto id = presetBox.getSelectedId();

    if (id >= 1 && id <= audioProcessor.getNumPrograms())
        audioProcessor.setCurrentProgram (id - 1);
}

//==============================================================================
void CeiloraAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (suite::Colors::background);
}

void CeiloraAudioProcessorEditor::resized()
{
    auto area = getLocalBounds();
    header.setBounds (area.removeFromTop (headerHeight));
    area = area.reduced (margin);

    const auto left = area.removeFromLeft (meterColumnWidth);
    const auto right = area.removeFromRight (meterColumnWidth);
    area.removeFromLeft (meterColumnGap);
    area.removeFromRight (meterColumnGap);

    const auto layOutMeterColumn = [] (juce::Rectangle<int> column, juce::Label& label, LevelMeter& meter)
    {
        label.setBounds (column.removeFromTop (meterLabelHeight));
        column.removeFromBottom (meterBottomGap);
        meter.setBounds (column.reduced (meterInset, 0));
    };

    layOutMeterColumn (left, inputLabel, inputMeter);
    layOutMeterColumn (right, outputLabel, outputMeter);

    const auto firstRow = area.removeFromTop (knobRowHeight).withSizeKeepingCentre (2 * knobColumnStep + knobWidth, knobRowHeight);
    placeKnob (firstRow, 0, thresholdLabel, thresholdSlider);
    placeKnob (firstRow, 1, lookaheadLabel, lookaheadSlider);
    placeKnob (firstRow, 2, releaseLabel, releaseSlider);

    area.removeFromTop (rowGap);
    const auto secondRow = area.removeFromTop (knobRowHeight).withSizeKeepingCentre (knobColumnStep + knobWidth, knobRowHeight);
    placeKnob (secondRow, 0, trimLabel, trimSlider);
    placeKnob (secondRow, 1, softLabel, softSlider);

    area.removeFromTop (rowGap);
    auto strip = area.removeFromTop (stripHeight);

    auto presetArea = strip.removeFromLeft (presetAreaWidth);
    presetLabel.setBounds (presetArea.removeFromLeft (presetLabelWidth));
    presetArea.removeFromLeft (presetLabelGap);
    presetBox.setBounds (presetArea.removeFromLeft (presetBoxWidth));

    bypassButton.setBounds (strip.withSizeKeepingCentre (bypassWidth, stripHeight));
}
