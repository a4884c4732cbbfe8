#include "plugin/PluginProcessor.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
    juce::AudioProcessor::BusesLayout makeLayout (std::initializer_list<juce::AudioChannelSet> inputs,
                                                  std::initializer_list<juce::AudioChannelSet> outputs)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.addArray (inputs);
        layout.outputBuses.addArray (outputs);
        return layout;
    }

    float valueOf (CeiloraAudioProcessor& processor, const char* id)
    {
        return processor.parameters.getRawParameterValue (id)->load();
    }

    /** Counts the host notifications each parameter sends. */
    struct NotificationCounter : juce::AudioProcessorListener
    {
        void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override  { ++changesPerParameter[index]; }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
        std::map<int, int> changesPerParameter;
    };
}

TEST (Processor, PublishesSixParametersInOrderWithTheirRangesAndDefaultText)
{
    struct Case
    {
        const char* id;
        const char* name;
        float minimum, maximum, interval, defaultValue;
        const char* defaultText;
    };

    const Case cases[] {
        { "threshold", "Threshold (dBFS)", -24.0f,   0.0f, 0.0f,   -0.1f,  "-0.1000004" },
        { "lookahead", "LookAhead (ms)",     0.0f,  10.0f, 0.01f,   3.0f,  "3.00" },
        { "release",   "Release (ms)",       5.0f, 200.0f, 0.01f,  50.0f,  "50.00" },
        { "trim",      "Output Trim (dB)", -24.0f,  24.0f, 0.01f,   0.0f,  "0.00" },
        { "soft",      "SoftClip (0..1)",    0.0f,   1.0f, 0.001f,  0.15f, "0.150" },
    };

    CeiloraAudioProcessor processor;
    const auto& parameters = processor.getParameters();
    ASSERT_EQ (parameters.size(), 6);

    for (int index = 0; index < 5; ++index)
    {
        const auto& expected = cases[index];
        SCOPED_TRACE (expected.id);

        auto* parameter = dynamic_cast<juce::AudioParameterFloat*> (parameters[index]);
        ASSERT_NE (parameter, nullptr);
        EXPECT_EQ (parameter->getParameterID(), expected.id);
        EXPECT_EQ (parameter->getName (100), expected.name);
        EXPECT_EQ (parameter->getVersionHint(), 0);
        EXPECT_EQ (parameter->range.start, expected.minimum);
        EXPECT_EQ (parameter->range.end, expected.maximum);
        EXPECT_EQ (parameter->range.interval, expected.interval);
        EXPECT_EQ (parameter->range.skew, 1.0f);
        EXPECT_FALSE (parameter->range.symmetricSkew);
        EXPECT_FLOAT_EQ (parameter->get(), expected.defaultValue);
        EXPECT_EQ (parameter->getCurrentValueAsText(), expected.defaultText);
        EXPECT_EQ (parameter->getLabel(), "");
        EXPECT_TRUE (parameter->isAutomatable());
        EXPECT_FALSE (parameter->isMetaParameter());
        EXPECT_EQ (parameter->getCategory(), juce::AudioProcessorParameter::genericParameter);
    }

    auto* bypass = dynamic_cast<juce::AudioParameterBool*> (parameters[5]);
    ASSERT_NE (bypass, nullptr);
    EXPECT_EQ (bypass->getParameterID(), "bypass");
    EXPECT_EQ (bypass->getName (100), "Bypass");
    EXPECT_FALSE (bypass->get());
    EXPECT_EQ (processor.getBypassParameter(), nullptr);

    EXPECT_EQ (processor.parameters.getParameter ("Threshold"), nullptr);
    EXPECT_EQ (processor.parameters.getParameter ("ceiling"), nullptr);
    EXPECT_EQ (processor.parameters.state.getType().toString(), "PARAMS");
}

TEST (Processor, AnswersTheHostsQuestionsLikeAPlainStereoEffect)
{
    CeiloraAudioProcessor processor;

    EXPECT_EQ (processor.getName(), "Ceilora");
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_FALSE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_FALSE (processor.isMidiEffect());
    EXPECT_EQ (processor.getLatencySamples(), 0);
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_FALSE (processor.supportsDoublePrecisionProcessing());

    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "In");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Out");
    EXPECT_EQ (processor.getBus (true, 0)->getCurrentLayout(), juce::AudioChannelSet::stereo());
    EXPECT_EQ (processor.getBus (false, 0)->getCurrentLayout(), juce::AudioChannelSet::stereo());
    EXPECT_TRUE (processor.getBus (true, 0)->isEnabled());
    EXPECT_TRUE (processor.getBus (false, 0)->isEnabled());
}

TEST (Processor, AcceptsExactlyTheLayoutsWithAStereoMainOutput)
{
    using Set = juce::AudioChannelSet;

    struct Case
    {
        const char* description;
        juce::AudioProcessor::BusesLayout layout;
        bool accepted;
    };

    const Case cases[] {
        { "stereo in, stereo out",    makeLayout ({ Set::stereo() },           { Set::stereo() }),           true },
        { "mono in, stereo out",      makeLayout ({ Set::mono() },             { Set::stereo() }),           true },
        { "disabled in, stereo out",  makeLayout ({ Set::disabled() },         { Set::stereo() }),           true },
        { "5.1 in, stereo out",       makeLayout ({ Set::create5point1() },    { Set::stereo() }),           true },
        { "no input bus, stereo out", makeLayout ({},                          { Set::stereo() }),           true },
        { "stereo in, mono out",      makeLayout ({ Set::stereo() },           { Set::mono() }),             false },
        { "stereo in, 5.1 out",       makeLayout ({ Set::stereo() },           { Set::create5point1() }),    false },
        { "stereo in, disabled out",  makeLayout ({ Set::stereo() },           { Set::disabled() }),         false },
        { "no output bus",            makeLayout ({ Set::stereo() },           {}),                          false },
    };

    const CeiloraAudioProcessor processor;

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.description);
        EXPECT_EQ (processor.isBusesLayoutSupported (testCase.layout), testCase.accepted);
    }
}

TEST (Processor, PlaysAMonoInputOnBothOutputChannels)
{
    CeiloraAudioProcessor stereo, mono;
    ASSERT_TRUE (mono.setBusesLayout (makeLayout ({ juce::AudioChannelSet::mono() }, { juce::AudioChannelSet::stereo() })));

    juce::AudioBuffer<float> stereoBuffer (2, 1024), monoBuffer (2, 1024);
    monoBuffer.clear();

    for (int i = 0; i < 1024; ++i)
    {
        const auto sample = 1.5f * std::sin (0.03f * (float) i);
        stereoBuffer.setSample (0, i, sample);
        stereoBuffer.setSample (1, i, sample);
        monoBuffer.setSample (0, i, sample);  // the right channel arrives empty, as hosts give it
    }

    juce::MidiBuffer midi;

    for (auto* processor : { &stereo, &mono })
        processor->prepareToPlay (48000.0, 1024);

    stereo.processBlock (stereoBuffer, midi);
    mono.processBlock (monoBuffer, midi);

    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < 1024; ++i)
            ASSERT_EQ (monoBuffer.getSample (channel, i), stereoBuffer.getSample (channel, i))
                << "a mono track did not come out as the same signal on " << (channel == 0 ? "left" : "right");

    EXPECT_EQ (mono.inputMeterSource.peakLevel (1), mono.inputMeterSource.peakLevel (0)) << "the input meter showed a dead right channel";
}

TEST (Processor, KeepsNoStateInTheHostsProject)
{
    CeiloraAudioProcessor processor;

    juce::MemoryBlock empty;
    processor.getStateInformation (empty);
    EXPECT_EQ (empty.getSize(), 0u);

    const juce::MemoryBlock existing ("abc", 3);
    auto passedIn = existing;
    processor.getStateInformation (passedIn);
    EXPECT_EQ (passedIn, existing);

    processor.setCurrentProgram (2);
    const auto thresholdBefore = valueOf (processor, "threshold");

    juce::Random random (42);
    juce::MemoryBlock noise (257);
    random.fillBitsRandomly (noise.getData(), noise.getSize());
    processor.setStateInformation (noise.getData(), (int) noise.getSize());
    processor.setStateInformation (nullptr, 0);

    EXPECT_EQ (valueOf (processor, "threshold"), thresholdBefore);
    EXPECT_EQ (processor.getCurrentProgram(), 2);
}

TEST (FactoryPresets, ListFiveNamedProgramsAndAnswerInitOutsideThem)
{
    CeiloraAudioProcessor processor;

    EXPECT_EQ (processor.getNumPrograms(), 5);
    EXPECT_EQ (processor.getCurrentProgram(), 0);

    const std::pair<int, const char*> names[] {
        { 0, "Init" }, { 1, "Transparent" }, { 2, "Aggressive" }, { 3, "Soft Touch" }, { 4, "Brick Wall" },
        { -1, "Init" }, { 5, "Init" }, { 100, "Init" },
    };

    for (const auto& [index, name] : names)
        EXPECT_EQ (processor.getProgramName (index), name) << "program " << index;

    processor.changeProgramName (1, "Renamed");
    EXPECT_EQ (processor.getProgramName (1), "Transparent");
}

TEST (FactoryPresets, ApplyTheirValuesAndSwitchBypassOff)
{
    struct Case
    {
        int program;
        float threshold, lookahead, release, trim, soft;
    };

    const Case cases[] {
        { 0, -0.1f, 3.0f,  50.0f, 0.0f, 0.15f },
        { 1, -1.0f, 5.0f,  80.0f, 0.5f, 0.1f },
        { 2, -3.0f, 2.0f,  25.0f, 2.0f, 0.35f },
        { 3, -2.0f, 4.0f, 100.0f, 1.0f, 0.6f },
        { 4, -0.1f, 8.0f,  40.0f, 0.0f, 0.05f },
    };

    CeiloraAudioProcessor processor;

    for (const auto& expected : cases)
    {
        SCOPED_TRACE ("program " + std::to_string (expected.program));
        processor.parameters.getParameter ("bypass")->setValueNotifyingHost (1.0f);

        processor.setCurrentProgram (expected.program);

        EXPECT_EQ (processor.getCurrentProgram(), expected.program);
        EXPECT_NEAR (valueOf (processor, "threshold"), expected.threshold, 1.0e-5f);
        EXPECT_NEAR (valueOf (processor, "lookahead"), expected.lookahead, 1.0e-5f);
        EXPECT_NEAR (valueOf (processor, "release"), expected.release, 1.0e-4f);
        EXPECT_NEAR (valueOf (processor, "trim"), expected.trim, 1.0e-5f);
        EXPECT_NEAR (valueOf (processor, "soft"), expected.soft, 1.0e-6f);
        EXPECT_EQ (valueOf (processor, "bypass"), 0.0f);
    }
}

TEST (FactoryPresets, IgnoreIndicesOutsideTheListAndKeepNamingTheLastOneApplied)
{
    CeiloraAudioProcessor processor;
    processor.setCurrentProgram (1);
    processor.parameters.getParameter ("release")->setValueNotifyingHost (
        processor.parameters.getParameter ("release")->convertTo0to1 (120.0f));

    processor.setCurrentProgram (-1);
    processor.setCurrentProgram (5);

    EXPECT_EQ (processor.getCurrentProgram(), 1);
    EXPECT_NEAR (valueOf (processor, "release"), 120.0f, 1.0e-4f);
    EXPECT_NEAR (valueOf (processor, "threshold"), -1.0f, 1.0e-5f);
}

TEST (FactoryPresets, AnnounceEverySixValuesToTheHostEachTime)
{
    CeiloraAudioProcessor processor;
    NotificationCounter counter;
    processor.addListener (&counter);

    processor.setCurrentProgram (4);
    processor.setCurrentProgram (4);

    processor.removeListener (&counter);
    ASSERT_EQ (counter.changesPerParameter.size(), 6u);

    for (const auto& [index, count] : counter.changesPerParameter)
        EXPECT_EQ (count, 2) << "parameter " << index;
}
