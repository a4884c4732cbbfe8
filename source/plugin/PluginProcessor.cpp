#include "PluginProcessor.h"

#include "PluginEditor.h"

#include <array>
#include <cmath>

namespace
{
    struct FactoryPreset
    {
        float threshold, lookahead, release, trim, soft;
    };

    // Program 0 ("Init") is also the parameter defaults.
    constexpr std::array<FactoryPreset, 5> factoryPresets {{
        { -0.1f, 3.0f,  50.0f, 0.0f, 0.15f },
        { -1.0f, 5.0f,  80.0f, 0.5f, 0.1f  },
        { -3.0f, 2.0f,  25.0f, 2.0f, 0.35f },
        { -2.0f, 4.0f, 100.0f, 1.0f, 0.6f  },
        { -0.1f, 8.0f,  40.0f, 0.0f, 0.05f },
    }};

    constexpr std::array<const char*, 4> namedProgramNames { "Transparent", "Aggressive", "Soft Touch", "Brick Wall" };
    constexpr auto initProgramName = "Init";

    constexpr float maxLookaheadFactor = 20.0f * 0.001f;  // 20 ms: twice the parameter's range
    constexpr double rmsWindowSeconds = 0.1;
    constexpr float msToSeconds = 0.001f;
    constexpr float bypassThreshold = 0.5f;

    // Far below the lowest threshold gain (-24 dB): an envelope this small can never reduce the
    // gain, and flushing it keeps long silences after loud audio out of subnormal arithmetic.
    constexpr float envelopeFloor = 1.0e-20f;

    juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout()
    {
        const auto& init = factoryPresets[0];
        const auto floatParameter = [] (const char* id, const char* name, float start, float end, float interval, float defaultValue)
        {
            return std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { id },
                                                                name,
                                                                juce::NormalisableRange<float> { start, end, interval, 1.0f },
                                                                defaultValue);
        };

        juce::AudioProcessorValueTreeState::ParameterLayout layout;
        layout.add (floatParameter ("threshold", "Threshold (dBFS)", -24.0f,   0.0f, 0.0f,   init.threshold),
                    floatParameter ("lookahead", "LookAhead (ms)",     0.0f,  10.0f, 0.01f,  init.lookahead),
                    floatParameter ("release",   "Release (ms)",       5.0f, 200.0f, 0.01f,  init.release),
                    floatParameter ("trim",      "Output Trim (dB)", -24.0f,  24.0f, 0.01f,  init.trim),
                    floatParameter ("soft",      "SoftClip (0..1)",    0.0f,   1.0f, 0.001f, init.soft),
                    std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "bypass" }, "Bypass", false));
        return layout;
    }
}

//==============================================================================
CeiloraAudioProcessor::CeiloraAudioProcessor()
    : juce::AudioProcessor (BusesProperties().withInput ("In", juce::AudioChannelSet::stereo(), true)
                                             .withOutput ("Out", juce::AudioChannelSet::stereo(), true)),
      parameters (*this, nullptr, "PARAMS", createParameterLayout())
{
}

CeiloraAudioProcessor::~CeiloraAudioProcessor() = default;

const juce::String CeiloraAudioProcessor::getName() const  { return "Ceilora"; }

//==============================================================================
void CeiloraAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    preparedSampleRate = (float) sampleRate;
    maxDelaySamples = std::max (0, (int) std::ceil (preparedSampleRate * maxLookaheadFactor));

    const auto numChannels = getTotalNumOutputChannels();

    delayLines.clear();
    delayLines.resize ((size_t) numChannels);

    for (auto& delayLine : delayLines)
    {
        delayLine.setMaximumDelayInSamples (maxDelaySamples);
        delayLine.prepare ({ sampleRate, (juce::uint32) std::max (1, samplesPerBlock), 1 });
    }

    envelopes.assign ((size_t) numChannels, 0.0f);

    for (auto& delayLine : delayLines)
    {
        delayLine.setDelay (0.0f);
        delayLine.reset();
    }

    // Blocks in about 100 ms; a host that announces no block size gets per-block RMS.
    const auto rmsWindow = samplesPerBlock > 0 ? (int) (sampleRate * rmsWindowSeconds / samplesPerBlock) : 0;
    inputMeterSource.resize (numChannels, rmsWindow);
    outputMeterSource.resize (numChannels, rmsWindow);
}

void CeiloraAudioProcessor::releaseResources() {}

float CeiloraAudioProcessor::readParameter (const char* parameterID) const
{
    return parameters.getRawParameterValue (parameterID)->load();
}

void CeiloraAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    // A mono input reaches only the left channel; the host hands the right one in empty. Feeding
    // it the same signal keeps a mono track in both speakers instead of the left alone.
    if (getTotalNumInputChannels() == 1 && buffer.getNumChannels() > 1)
        buffer.copyFrom (1, 0, buffer, 0, 0, buffer.getNumSamples());

    inputMeterSource.measureBlock (buffer);

    if (readParameter ("bypass") > bypassThreshold)
    {
        outputMeterSource.measureBlock (buffer);
        return;
    }

    const auto thresholdGain = juce::Decibels::decibelsToGain (readParameter ("threshold"));
    const auto lookahead = readParameter ("lookahead");
    const auto release = readParameter ("release");
    const auto trimGain = juce::Decibels::decibelsToGain (readParameter ("trim"));
    const auto soft = readParameter ("soft");

    auto delaySamples = (lookahead * msToSeconds) * preparedSampleRate;
    delaySamples = delaySamples < 0.0f ? 0.0f : std::min (delaySamples, (float) maxDelaySamples);

    const auto releaseCoef = std::exp (-1.0f / ((release * msToSeconds) * preparedSampleRate));

    for (auto& delayLine : delayLines)
        delayLine.setDelay (delaySamples);

    if (buffer.getNumChannels() > 0)
    {
        const auto k = soft * 10.0f + 1.0f;
        const auto tanhK = std::tanh (k);

        // Channels beyond those prepared (an input wider than the stereo output) pass untouched.
        const auto numChannels = std::min (buffer.getNumChannels(), (int) delayLines.size());

        for (int channel = 0; channel < numChannels; ++channel)
            limitChannel (buffer.getWritePointer (channel), buffer.getNumSamples(),
                          delayLines[(size_t) channel], envelopes[(size_t) channel],
                          thresholdGain, releaseCoef, k, tanhK, trimGain);
    }

    outputMeterSource.measureBlock (buffer);
}

void CeiloraAudioProcessor::limitChannel (float* samples, int numSamples, DelayLine& delayLine, float& envelope,
                                          float thresholdGain, float releaseCoef, float k, float tanhK, float trimGain) const
{
    for (int i = 0; i < numSamples; ++i)
    {
        // A non-finite sample carries no level: limiting it as silence keeps the envelope and the
        // delay line finite, so the channel recovers as soon as the input does.
        const auto x = std::isfinite (samples[i]) ? samples[i] : 0.0f;

        delayLine.pushSample (0, x);
        const auto delayed = delayLine.popSample (0);

        const auto released = releaseCoef * envelope;
        envelope = std::abs (x) < released ? released : std::abs (x);

        if (envelope < envelopeFloor)
            envelope = 0.0f;

        const auto gain = (envelope > 0.0f && envelope > thresholdGain) ? thresholdGain / envelope : 1.0f;
        const auto limited = delayed * gain;

        samples[i] = trimGain * (std::tanh (k * limited) / tanhK);
    }
}

//==============================================================================
double CeiloraAudioProcessor::getTailLengthSeconds() const  { return 0.0; }
bool CeiloraAudioProcessor::acceptsMidi() const             { return false; }
bool CeiloraAudioProcessor::producesMidi() const            { return false; }

juce::AudioProcessorEditor* CeiloraAudioProcessor::createEditor()
{
    return new CeiloraAudioProcessorEditor (*this);
}

bool CeiloraAudioProcessor::hasEditor() const  { return true; }

//==============================================================================
int CeiloraAudioProcessor::getNumPrograms()     { return (int) factoryPresets.size(); }
int CeiloraAudioProcessor::getCurrentProgram()  { return currentProgram; }

void CeiloraAudioProcessor::setCurrentProgram (int index)
{
    if (! juce::isPositiveAndBelow (index, getNumPrograms()))
        return;

    currentProgram = index;

    const auto& preset = factoryPresets[(size_t) index];
    const std::pair<const char*, float> values[] { { "threshold", preset.threshold },
                                                   { "lookahead", preset.lookahead },
                                                   { "release",   preset.release },
                                                   { "trim",      preset.trim },
                                                   { "soft",      preset.soft } };

    for (const auto& [id, value] : values)
        if (auto* parameter = parameters.getParameter (id))
            parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));

    if (auto* bypass = parameters.getParameter ("bypass"))
        bypass->setValueNotifyingHost (0.0f);
}

const juce::String CeiloraAudioProcessor::getProgramName (int index)
{
    if (juce::isPositiveAndBelow (index - 1, (int) namedProgramNames.size()))
        return namedProgramNames[(size_t) (index - 1)];

    return initProgramName;
}

void CeiloraAudioProcessor::changeProgramName (int, const juce::String&) {}

//==============================================================================
void CeiloraAudioProcessor::getStateInformation (juce::MemoryBlock&) {}
void CeiloraAudioProcessor::setStateInformation (const void*, int) {}

bool CeiloraAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    return layouts.getMainOutputChannelSet() == juce::AudioChannelSet::stereo();
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new CeiloraAudioProcessor();
}
