#pragma once

#include "PluginProcessor.h"
#include "meters/LevelMeter.h"
#include "suite/ParamLabel.h"
#include "suite/PluginHeader.h"

#include <juce_audio_processors/juce_audio_processors.h>

/**
    Ceilora's window: a fixed 690 x 525 panel with the header, the five bound knobs with captions
    and value boxes, the preset selector, the bypass toggle, and the input and output level meters
    either side of the knobs.
*/
class CeiloraAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    explicit CeiloraAudioProcessorEditor (CeiloraAudioProcessor& processor);

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    using SliderAttachment = juce::AudioProcessorValueTreeState::SliderAttachment;
    using ButtonAttachment = juce::AudioProcessorValueTreeState::ButtonAttachment;

    void setUpMeter (LevelMeter& meter, LevelMeterSource& source);
    void setUpMeterLabel (juce::Label& label, const juce::String& text);
    void setUpKnob (juce::Slider& slider);
    void fillPresetBox();
    void presetChosen();

    suite::PluginHeader header { "Ceilora", "Look-Ahead Limiter" };

    LevelMeter inputMeter { LevelMeter::Framed };
    LevelMeter outputMeter { LevelMeter::Framed };

    juce::Slider thresholdSlider, lookaheadSlider, releaseSlider, trimSlider, softSlider;

    suite::ParamLabel thresholdLabel { "Threshold" };
    suite::ParamLabel lookaheadLabel { "Look-Ahead" };
    suite::ParamLabel releaseLabel { "Release" };
    suite::ParamLabel trimLabel { "Output" };
    suite::ParamLabel softLabel { "Soft Clip" };

    juce::Label inputLabel, outputLabel;
    juce::ToggleButton bypassButton;

    // Declared after the controls they bind, so they are destroyed first.
    std::unique_ptr<SliderAttachment> thresholdAttachment, lookaheadAttachment, releaseAttachment,
                                      trimAttachment, softAttachment;
    std::unique_ptr<ButtonAttachment> bypassAttachment;

    juce::ComboBox presetBox;
    juce::Label presetLabel;

    CeiloraAudioProcessor& audioProcessor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CeiloraAudioProcessorEditor)
};
