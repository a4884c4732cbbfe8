#pragma once

#include "meters/LevelMeterSource.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_dsp/juce_dsp.h>

#include <vector>

/**
    Ceilora's processor: a per-channel look-ahead peak limiter with tanh saturation and output
    trim, its six parameters and five factory programs, and the two level sources its editor's
    meters show (the block as it arrives and as it leaves).
*/
class CeiloraAudioProcessor : public juce::AudioProcessor
{
public:
    CeiloraAudioProcessor();
    ~CeiloraAudioProcessor() override;

    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;

    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    /** The longest look-ahead delay, in samples, that the last prepareToPlay allowed. */
    int getMaxDelaySamples() const noexcept  { return maxDelaySamples; }

private:
    int currentProgram = 0;

public:
    juce::AudioProcessorValueTreeState parameters;

private:
    using DelayLine = juce::dsp::DelayLine<float, juce::dsp::DelayLineInterpolationTypes::Linear>;

    float readParameter (const char* parameterID) const;
    void limitChannel (float* samples, int numSamples, DelayLine& delayLine, float& envelope,
                       float thresholdGain, float releaseCoef, float k, float tanhK, float trimGain) const;

    std::vector<DelayLine> delayLines;
    std::vector<float> envelopes;
    float preparedSampleRate = 44100.0f;
    int maxDelaySamples = 0;

public:
    LevelMeterSource inputMeterSource;
    LevelMeterSource outputMeterSource;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CeiloraAudioProcessor)
};
