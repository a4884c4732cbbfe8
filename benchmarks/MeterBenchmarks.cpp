// The level measurement the processor runs twice per block on the audio thread.

#include "meters/LevelMeterSource.h"

#include <benchmark/benchmark.h>

namespace
{
    void MeasureBlock (benchmark::State& state)
    {
        constexpr int blockSize = 512;
        LevelMeterSource source;
        source.resize (2, 9);

        juce::AudioBuffer<float> block (2, blockSize);
        juce::Random random (3);

        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < blockSize; ++i)
                block.setSample (channel, i, 2.0f * random.nextFloat() - 1.0f);

        for (auto _ : state)
        {
            source.measureBlock (block);
            benchmark::ClobberMemory();
        }

        state.SetItemsProcessed ((int64_t) state.iterations() * blockSize);
    }
}

BENCHMARK (MeasureBlock);
