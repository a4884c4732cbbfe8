// Loads the built Ceilora.vst3 through JUCE's VST3 hosting, exactly as a host would.

#include "BundleHost.h"

#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivstunits.h>

namespace
{
    using namespace BundleHost;

    juce::String programListName (juce::AudioPluginInstance& instance)
    {
        struct ProgramListReader : juce::ExtensionsVisitor
        {
            void visitVST3Client (const VST3Client& client) override
            {
                Steinberg::Vst::IUnitInfo* unitInfo = nullptr;
                auto* component = client.getIComponentPtr();

                if (component == nullptr
                    || component->queryInterface (Steinberg::Vst::IUnitInfo::iid, (void**) &unitInfo) != Steinberg::kResultOk)
                    return;

                Steinberg::Vst::ProgramListInfo info {};

                if (unitInfo->getProgramListCount() == 1 && unitInfo->getProgramListInfo (0, info) == Steinberg::kResultOk)
                {
                    name = juce::String (juce::CharPointer_UTF16 ((const juce::CharPointer_UTF16::CharType*) info.name));
                    programCount = info.programCount;
                }

                unitInfo->release();
            }

            juce::String name;
            int programCount = 0;
        };

        ProgramListReader reader;
        instance.getExtensions (reader);
        return reader.name + " (" + juce::String (reader.programCount) + ")";
    }

    juce::AudioBuffer<float> noiseBlock (juce::Random& random, int numSamples, float amplitude)
    {
        juce::AudioBuffer<float> block (2, numSamples);

        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < numSamples; ++i)
                block.setSample (channel, i, amplitude * (2.0f * random.nextFloat() - 1.0f));

        return block;
    }
}

TEST (Vst3Host, DescribesTheBundleAsPelmarsCeiloraEffect)
{
    ASSERT_TRUE (bundle.isDirectory()) << bundle.getFullPathName();
    const auto description = describeBundle();
    ASSERT_NE (description, nullptr);

    EXPECT_EQ (description->name, "Ceilora");
    EXPECT_EQ (description->manufacturerName, "Pelmar");
    EXPECT_EQ (description->version, "0.1.0");
    EXPECT_EQ (description->category, "Fx");
    EXPECT_EQ (description->pluginFormatName, "VST3");
    EXPECT_FALSE (description->isInstrument);
    EXPECT_EQ (description->numInputChannels, 2);
    EXPECT_EQ (description->numOutputChannels, 2);
}

TEST (Vst3Host, SeesTheSixParametersThenTheFrameworksBypassAndProgram)
{
    struct Expected
    {
        const char* name;
        const char* defaultText;
    };

    const Expected expected[] {
        { "Threshold (dBFS)", "-0.1000004" },
        { "LookAhead (ms)",   "3.00" },
        { "Release (ms)",     "50.00" },
        { "Output Trim (dB)", "0.00" },
        { "SoftClip (0..1)",  "0.150" },
        { "Bypass",           nullptr },
        { "Bypass",           nullptr },
        { "Program",          nullptr },
    };

    auto instance = loadBundle();
    ASSERT_NE (instance, nullptr);
    const auto& parameters = instance->getParameters();
    ASSERT_EQ (parameters.size(), 8);

    for (int index = 0; index < parameters.size(); ++index)
    {
        SCOPED_TRACE ("parameter " + std::to_string (index));
        EXPECT_EQ (parameters[index]->getName (100), expected[index].name);

        if (expected[index].defaultText != nullptr)
        {
            EXPECT_EQ (parameters[index]->getCurrentValueAsText(), expected[index].defaultText);
        }

        EXPECT_TRUE (parameters[index]->isAutomatable() || index == 7);
    }

    EXPECT_EQ (instance->getBypassParameter(), parameters[6]) << "the framework's host bypass follows the six";
}

TEST (Vst3Host, OffersTheFactoryPresetsAsAProgramList)
{
    auto instance = loadBundle();
    ASSERT_NE (instance, nullptr);

    ASSERT_EQ (instance->getNumPrograms(), 5);
    const char* names[] { "Init", "Transparent", "Aggressive", "Soft Touch", "Brick Wall" };

    for (int index = 0; index < 5; ++index)
        EXPECT_EQ (instance->getProgramName (index), names[index]);

    EXPECT_EQ (programListName (*instance), "Factory Presets (5)");
    EXPECT_EQ (instance->getCurrentProgram(), 0);
}

TEST (Vst3Host, NegotiatesOnlyLayoutsWithAStereoOutputAndReportsNoLatency)
{
    auto instance = loadBundle();
    ASSERT_NE (instance, nullptr);
    using Set = juce::AudioChannelSet;

    struct Case
    {
        const char* description;
        juce::AudioProcessor::BusesLayout layout;
        bool accepted;
    };

    const Case cases[] {
        { "stereo to stereo", layoutOf (Set::stereo(), Set::stereo()),         true },
        { "mono to stereo",   layoutOf (Set::mono(), Set::stereo()),           true },
        { "stereo to mono",   layoutOf (Set::stereo(), Set::mono()),           false },
        { "stereo to 5.1",    layoutOf (Set::stereo(), Set::create5point1()),  false },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.description);
        EXPECT_EQ (instance->checkBusesLayoutSupported (testCase.layout), testCase.accepted);
    }

    instance->prepareToPlay (48000.0, 256);
    EXPECT_EQ (instance->getLatencySamples(), 0);
    EXPECT_EQ (instance->getTailLengthSeconds(), 0.0);
    EXPECT_FALSE (instance->acceptsMidi());
    EXPECT_FALSE (instance->producesMidi());
    instance->releaseResources();
}

TEST (Vst3Host, ProcessesAudioExactlyAsTheProcessorDoesInProcess)
{
    constexpr double sampleRate = 44100.0;
    constexpr int blockSize = 512;

    auto hosted = loadBundle (sampleRate, blockSize);
    ASSERT_NE (hosted, nullptr);
    std::unique_ptr<juce::AudioProcessor> local (createPluginFilter());

    // Heavy limiting with a fractional look-ahead, set through each side's own parameter interface.
    const std::pair<int, float> settings[] { { 0, 0.75f }, { 1, 0.37f }, { 2, 0.1f }, { 4, 0.6f } };

    for (const auto& [index, normalised] : settings)
    {
        hosted->getParameters()[index]->setValue (normalised);
        local->getParameters()[index]->setValueNotifyingHost (normalised);
    }

    hosted->prepareToPlay (sampleRate, blockSize);
    local->setRateAndBufferSizeDetails (sampleRate, blockSize);
    local->prepareToPlay (sampleRate, blockSize);

    juce::Random random (1234);
    juce::MidiBuffer midi;

    for (int block = 0; block < 40; ++block)
    {
        const auto input = noiseBlock (random, blockSize, block < 20 ? 1.4f : 0.2f);
        auto hostedBuffer = input;
        auto localBuffer = input;

        hosted->processBlock (hostedBuffer, midi);
        local->processBlock (localBuffer, midi);

        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < blockSize; ++i)
                ASSERT_EQ (hostedBuffer.getSample (channel, i), localBuffer.getSample (channel, i))
                    << "block " << block << ", channel " << channel << ", sample " << i;
    }

    hosted->releaseResources();
}

TEST (Vst3Host, PlaysAMonoTrackOnBothSpeakers)
{
    auto hosted = loadBundle (48000.0, 512);
    ASSERT_NE (hosted, nullptr);
    ASSERT_TRUE (hosted->setBusesLayout (layoutOf (juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo())));
    hosted->prepareToPlay (48000.0, 512);

    juce::Random random (5);
    auto buffer = noiseBlock (random, 512, 1.2f);  // the right channel holds what the host left there
    juce::MidiBuffer midi;
    hosted->processBlock (buffer, midi);

    for (int i = 0; i < 512; ++i)
        ASSERT_EQ (buffer.getSample (1, i), buffer.getSample (0, i)) << "sample " << i << " of a mono track differs between left and right";

    EXPECT_GT (buffer.getMagnitude (0, 0, 512), 0.1f);
    hosted->releaseResources();
}
