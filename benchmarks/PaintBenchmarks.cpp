// One frame of drawing with the software renderer, as the editor's 30 Hz repaints cost it.

#include "meters/LevelMeter.h"
#include "plugin/PluginProcessor.h"

#include <benchmark/benchmark.h>

namespace
{
    constexpr int blockSize = 512;

    /** A block whose level moves from frame to frame, so every paint shows new bars. */
    void feedMovingLevels (LevelMeterSource& source, juce::AudioBuffer<float>& block, int frame)
    {
        for (int channel = 0; channel < block.getNumChannels(); ++channel)
        {
            const auto level = 0.05f + 1.1f * (float) ((frame * (channel + 3)) % 40) / 40.0f;
            juce::FloatVectorOperations::fill (block.getWritePointer (channel), level, blockSize);
        }

        source.measureBlock (block);
    }

    void MeterPaint (benchmark::State& state)
    {
        LevelMeterSource source;
        source.resize (2, 9);
        juce::AudioBuffer<float> block (2, blockSize);

        // The editor's meters: 50 x 380, compact, with peak numbers.
        LevelMeter meter { LevelMeter::MeterFlags (LevelMeter::Compact | LevelMeter::PeakNumber) };
        meter.setSize (50, 380);
        meter.attachSource (&source);

        juce::Image image (juce::Image::ARGB, meter.getWidth(), meter.getHeight(), true, juce::SoftwareImageType());
        int frame = 0;

        for (auto _ : state)
        {
            feedMovingLevels (source, block, frame++);
            juce::Graphics g (image);
            meter.paint (g);
            benchmark::ClobberMemory();
        }

        state.counters["frames"] = benchmark::Counter ((double) state.iterations(), benchmark::Counter::kIsRate);
    }

    /** The whole editor window with all its controls and both meters, as after a full repaint. */
    void EditorPaint (benchmark::State& state)
    {
        CeiloraAudioProcessor processor;
        processor.setRateAndBufferSizeDetails (48000.0, blockSize);
        processor.prepareToPlay (48000.0, blockSize);
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());

        juce::Image image (juce::Image::ARGB, editor->getWidth(), editor->getHeight(), true, juce::SoftwareImageType());
        juce::AudioBuffer<float> block (2, blockSize);
        int frame = 0;

        for (auto _ : state)
        {
            feedMovingLevels (processor.inputMeterSource, block, frame);
            feedMovingLevels (processor.outputMeterSource, block, frame + 7);
            ++frame;

            juce::Graphics g (image);
            editor->paintEntireComponent (g, true);
            benchmark::ClobberMemory();
        }

        state.counters["frames"] = benchmark::Counter ((double) state.iterations(), benchmark::Counter::kIsRate);
        state.SetLabel (juce::String (editor->getWidth()).toStdString() + " x " + juce::String (editor->getHeight()).toStdString());
    }
}

BENCHMARK (MeterPaint)->Unit (benchmark::kMicrosecond);
BENCHMARK (EditorPaint)->Unit (benchmark::kMillisecond);
