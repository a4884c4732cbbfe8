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

    // Copies the next of the prepared input blocks into the buffer, going round them in turn.
    void loadNextInput (juce::AudioBuffer<float>& buffer, size_t& next)
    {
        const auto& input = inputBlocks()[next];
        next = (next + 1) % inputBlocks().size();

        for (int channel = 0; channel < numChannels; ++channel)
            buffer.copyFrom (channel, 0, input, channel, 0, blockSize);
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
            loadNextInput (buffer, next);

            processor.processBlock (buffer, midi);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
            benchmark::ClobberMemory();
        }

        reportThroughput (state);
    }

    /** A power-of-two ring buffer: the floor's delay, with the same linear interpolation as
        the engine's delay line and only a mask for the index arithmetic. */
    class RingDelay
    {
    public:
        void prepare (int maxDelaySamples, float delay)
        {
            ring.assign ((size_t) juce::nextPowerOfTwo (maxDelaySamples + 2), 0.0f);
            mask = ring.size() - 1;
            delayInt = (size_t) std::floor (delay);
            delayFrac = delay - (float) delayInt;
        }

        float pushThenPop (float x)
        {
            ring[writeIndex & mask] = x;
            const auto newer = ring[(writeIndex - delayInt) & mask];
            const auto older = ring[(writeIndex - delayInt - 1) & mask];
            ++writeIndex;
            return newer + delayFrac * (older - newer);
        }

    private:
        std::vector<float> ring;
        size_t mask = 0, writeIndex = 0, delayInt = 0;
        float delayFrac = 0.0f;
    };

    /** The engine's own delay line, for the share of the gap between engine and floor it takes. */
    class JuceDelay
    {
    public:
        void prepare (int maxDelaySamples, float delay)
        {
            line.setMaximumDelayInSamples (maxDelaySamples);
            line.prepare ({ sampleRate, (juce::uint32) blockSize, 1 });
            line.setDelay (delay);
        }

        float pushThenPop (float x)
        {
            line.pushSample (0, x);
            return line.popSample (0);
        }

    private:
        juce::dsp::DelayLine<float, juce::dsp::DelayLineInterpolationTypes::Linear> line;
    };

    /** The engine's per-sample kernel: the same single-precision operations in the same order,
        without the parameter reads and the metering around it. */
    template <typename Delay>
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

            for (auto& delayLine : delays)
                delayLine.prepare (maxDelaySamples, delay);
        }

        void process (juce::AudioBuffer<float>& buffer)
        {
            for (int channel = 0; channel < numChannels; ++channel)
                processChannel (buffer.getWritePointer (channel), buffer.getNumSamples(), delays[(size_t) channel], envelopes[(size_t) channel]);
        }

    private:
        void processChannel (float* samples, int numSamples, Delay& delayLine, float& envelope) const
        {
            for (int i = 0; i < numSamples; ++i)
            {
                const auto x = std::isfinite (samples[i]) ? samples[i] : 0.0f;
                const auto delayed = delayLine.pushThenPop (x);

                const auto released = releaseCoef * envelope;
                envelope = std::abs (x) < released ? released : std::abs (x);

                if (envelope < 1.0e-20f)
                    envelope = 0.0f;

                const auto gain = (envelope > 0.0f && envelope > thresholdGain) ? thresholdGain / envelope : 1.0f;
                const auto limited = delayed * gain;

                samples[i] = trimGain * (std::tanh (k * limited) / tanhK);
            }
        }

        float thresholdGain, trimGain, releaseCoef, k, tanhK;
        std::array<Delay, numChannels> delays;
        std::array<float, numChannels> envelopes {};
    };

    /** The values the engine reads once the parameters have snapped the settings to their ranges. */
    Settings heldByParameters (const CeiloraAudioProcessor& processor)
    {
        const auto value = [&processor] (const char* id) { return processor.parameters.getRawParameterValue (id)->load(); };
        return { value ("threshold"), value ("lookahead"), value ("release"), value ("trim"), value ("soft") };
    }

    /** True when the floor gives the engine's output bit for bit, so it measures the same work. */
    template <typename Delay>
    bool floorMatchesEngine (CeiloraAudioProcessor& processor)
    {
        FloorLimiter<Delay> limiter (heldByParameters (processor));
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

    template <typename Delay>
    void runFloor (benchmark::State& state, Settings settings)
    {
        CeiloraAudioProcessor processor;
        prepareProcessor (processor, settings);

        if (! floorMatchesEngine<Delay> (processor))
        {
            state.SkipWithError ("the floor's output differs from the engine's, so it is not the engine's arithmetic");
            return;
        }

        FloorLimiter<Delay> limiter (heldByParameters (processor));
        juce::AudioBuffer<float> buffer (numChannels, blockSize);
        size_t next = 0;

        for (auto _ : state)
        {
            loadNextInput (buffer, next);

            limiter.process (buffer);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
            benchmark::ClobberMemory();
        }

        reportThroughput (state);
    }

    void Floor (benchmark::State& state, Settings settings)                 { runFloor<RingDelay> (state, settings); }
    void FloorWithJuceDelayLine (benchmark::State& state, Settings settings) { runFloor<JuceDelay> (state, settings); }
}

BENCHMARK_CAPTURE (Engine, default, defaultSettings);
BENCHMARK_CAPTURE (Floor, default, defaultSettings);
BENCHMARK_CAPTURE (Engine, heavy, heavySettings);
BENCHMARK_CAPTURE (Floor, heavy, heavySettings);
BENCHMARK_CAPTURE (FloorWithJuceDelayLine, default, defaultSettings);
BENCHMARK_CAPTURE (FloorWithJuceDelayLine, heavy, heavySettings);
