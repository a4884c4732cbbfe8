// The limiter engine at 48 kHz stereo in 512-sample blocks, and the floor it is measured against:
// the same per-sample arithmetic with nothing around it.

#include "plugin/PluginProcessor.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512;
    constexpr int numChannels = 2;
    constexpr int numInputBlocks = 94;   // about a second of material, cycled

    struct Settings
    {
        float threshold, lookahead, release, trim, soft;
    };

    constexpr Settings defaultSettings { -0.1f, 3.0f, 50.0f, 0.0f, 0.15f };
    // Up to 30 dB of reduction on the loud input, the longest look-ahead, full saturation.
    constexpr Settings heavySettings { -24.0f, 10.0f, 200.0f, 6.0f, 1.0f };

    /** A tone at -12 dBFS under noise bursts that reach +6 dBFS, as blocks to cycle through. */
    std::vector<juce::AudioBuffer<float>> makeInputBlocks()
    {
        juce::Random random (42);
        std::vector<juce::AudioBuffer<float>> blocks;

        for (int block = 0; block < numInputBlocks; ++block)
        {
            juce::AudioBuffer<float> audio (numChannels, blockSize);

            for (int channel = 0; channel < numChannels; ++channel)
            {
                for (int i = 0; i < blockSize; ++i)
                {
                    const auto n = block * blockSize + i;
                    const auto burst = 2.0f * std::exp (-(float) (n % 12000) / 1500.0f);
                    const auto tone = 0.25f * (float) std::sin (juce::MathConstants<double>::twoPi * 220.0 * n / sampleRate);
                    audio.setSample (channel, i, tone + burst * (2.0f * random.nextFloat() - 1.0f));
                }
            }

            blocks.push_back (std::move (audio));
        }

        return blocks;
    }

    const std::vector<juce::AudioBuffer<float>>& inputBlocks()
    {
        static const auto blocks = makeInputBlocks();
        return blocks;
    }

    void reportThroughput (benchmark::State& state)
    {
        const auto frames = (double) state.iterations() * blockSize;
        state.SetItemsProcessed ((int64_t) frames);   // sample frames (one per channel) per second
        state.counters["realtime"] = benchmark::Counter (frames / sampleRate, benchmark::Counter::kIsRate);
    }

    void prepareProcessor (CeiloraAudioProcessor& processor, Settings settings)
    {
        const std::pair<const char*, float> values[] { { "threshold", settings.threshold }, { "lookahead", settings.lookahead },
                                                       { "release", settings.release }, { "trim", settings.trim }, { "soft", settings.soft } };

        for (const auto& [id, value] : values)
            if (auto* parameter = processor.parameters.getParameter (id))
                parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));

        processor.setRateAndBufferSizeDetails (sampleRate, blockSize);
        processor.prepareToPlay (sampleRate, blockSize);
    }

    void Engine (benchmark::State& state, Settings settings)
    {
        CeiloraAudioProcessor processor;
        prepareProcessor (processor, settings);

        juce::AudioBuffer<float> buffer (numChannels, blockSize);
        juce::MidiBuffer midi;
        size_t next = 0;

        for (auto _ : state)
        {
            const auto& input = inputBlocks()[next];
            next = (next + 1) % inputBlocks().size();

            for (int channel = 0; channel < numChannels; ++channel)
                buffer.copyFrom (channel, 0, input, channel, 0, blockSize);

            processor.processBlock (buffer, midi);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
            benchmark::ClobberMemory();
        }

        reportThroughput (state);
    }

    /** The engine's per-sample kernel over a power-of-two ring buffer: the same single-precision
        operations in the same order, without the delay line's bookkeeping, the parameter reads
        or the metering. */
    class FloorLimiter
    {
    public:
        explicit FloorLimiter (Settings settings)
        {
            const auto preparedSampleRate = (float) sampleRate;
            const auto maxDelaySamples = (int) std::ceil (preparedSampleRate * (20.0f * 0.001f));
            thresholdGain = juce::Decibels::decibelsToGain (settings.threshold);
            trimGain = juce::Decibels::decibelsToGain (settings.trim);
            releaseCoef = std::exp (-1.0f / ((settings.release * 0.001f) * preparedSampleRate));
            k = settings.soft * 10.0f + 1.0f;
            tanhK = std::tanh (k);

            const auto delay = juce::jlimit (0.0f, (float) maxDelaySamples, (settings.lookahead * 0.001f) * preparedSampleRate);
            delayInt = (int) std::floor (delay);
            delayFrac = delay - (float) delayInt;

            for (auto& channel : rings)
                channel.assign ((size_t) juce::nextPowerOfTwo (maxDelaySamples + 2), 0.0f);
        }

        void process (juce::AudioBuffer<float>& buffer)
        {
            for (int channel = 0; channel < numChannels; ++channel)
                processChannel (buffer.getWritePointer (channel), buffer.getNumSamples(), rings[(size_t) channel],
                                writeIndices[(size_t) channel], envelopes[(size_t) channel]);
        }

    private:
        void processChannel (float* samples, int numSamples, std::vector<float>& ring, size_t& writeIndex, float& envelope) const
        {
            const auto mask = ring.size() - 1;

            for (int i = 0; i < numSamples; ++i)
            {
                const auto x = std::isfinite (samples[i]) ? samples[i] : 0.0f;

                ring[writeIndex & mask] = x;
                const auto newer = ring[(writeIndex - (size_t) delayInt) & mask];
                const auto older = ring[(writeIndex - (size_t) delayInt - 1) & mask];
                const auto delayed = newer + delayFrac * (older - newer);
                ++writeIndex;

                const auto released = releaseCoef * envelope;
                envelope = std::abs (x) < released ? released : std::abs (x);

                if (envelope < 1.0e-20f)
                    envelope = 0.0f;

                const auto gain = (envelope > 0.0f && envelope > thresholdGain) ? thresholdGain / envelope : 1.0f;
                const auto limited = delayed * gain;

                samples[i] = trimGain * (std::tanh (k * limited) / tanhK);
            }
        }

        float thresholdGain, trimGain, releaseCoef, k, tanhK, delayFrac;
        int delayInt;
        std::array<std::vector<float>, numChannels> rings;
        std::array<size_t, numChannels> writeIndices {};
        std::array<float, numChannels> envelopes {};
    };

    /** The values the engine reads once the parameters have snapped the settings to their ranges. */
    Settings heldByParameters (const CeiloraAudioProcessor& processor)
    {
        const auto value = [&processor] (const char* id) { return processor.parameters.getRawParameterValue (id)->load(); };
        return { value ("threshold"), value ("lookahead"), value ("release"), value ("trim"), value ("soft") };
    }

    /** True when the floor gives the engine's output bit for bit, so it measures the same work. */
    bool floorMatchesEngine (CeiloraAudioProcessor& processor)
    {
        FloorLimiter limiter (heldByParameters (processor));
        juce::MidiBuffer midi;

        for (const auto& input : inputBlocks())
        {
            auto fromEngine = input;
            auto fromFloor = input;
            processor.processBlock (fromEngine, midi);
            limiter.process (fromFloor);

            for (int channel = 0; channel < numChannels; ++channel)
                if (std::memcmp (fromEngine.getReadPointer (channel), fromFloor.getReadPointer (channel), sizeof (float) * blockSize) != 0)
                    return false;
        }

        return true;
    }

    void Floor (benchmark::State& state, Settings settings)
    {
        CeiloraAudioProcessor processor;
        prepareProcessor (processor, settings);

        if (! floorMatchesEngine (processor))
        {
            state.SkipWithError ("the floor's output differs from the engine's, so it is not the engine's arithmetic");
            return;
        }

        FloorLimiter limiter (heldByParameters (processor));
        juce::AudioBuffer<float> buffer (numChannels, blockSize);
        size_t next = 0;

        for (auto _ : state)
        {
            const auto& input = inputBlocks()[next];
            next = (next + 1) % inputBlocks().size();

            for (int channel = 0; channel < numChannels; ++channel)
                buffer.copyFrom (channel, 0, input, channel, 0, blockSize);

            limiter.process (buffer);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
            benchmark::ClobberMemory();
        }

        reportThroughput (state);
    }
}

BENCHMARK_CAPTURE (Engine, default, defaultSettings);
BENCHMARK_CAPTURE (Floor, default, defaultSettings);
BENCHMARK_CAPTURE (Engine, heavy, heavySettings);
BENCHMARK_CAPTURE (Floor, heavy, heavySettings);
