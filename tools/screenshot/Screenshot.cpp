// Writes a PNG picture of Ceilora's editor as a user sees it with audio playing: the editor as it
// opens, a loud signal with peaks over full scale on the input meter and the limited signal,
// held under full scale, on the output meter.
//
// Usage: ceilora-screenshot [output file]   (default: ./docs/screenshot.png)

#include "plugin/PluginProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>
#include <iostream>

namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512;
    constexpr int blocksToPlay = 40;  // about 0.4 s, enough for the meters' RMS windows to fill

    // A 220 Hz tone at -2 dBFS with a sharp burst over full scale in every fourth block.
    void fillBlock (juce::AudioBuffer<float>& block, int blockIndex)
    {
        for (int i = 0; i < block.getNumSamples(); ++i)
        {
            const auto time = (double) (blockIndex * block.getNumSamples() + i) / sampleRate;
            auto sample = 0.8f * (float) std::sin (2.0 * juce::MathConstants<double>::pi * 220.0 * time);

            if (blockIndex % 4 == 0 && i < 64)
                sample *= 1.6f;

            for (int channel = 0; channel < block.getNumChannels(); ++channel)
                block.setSample (channel, i, channel == 0 ? sample : 0.85f * sample);
        }
    }

    bool writePng (const juce::Image& image, const juce::File& file)
    {
        file.getParentDirectory().createDirectory();
        file.deleteFile();
        juce::FileOutputStream stream (file);
        return stream.openedOk() && juce::PNGImageFormat().writeImageToStream (image, stream);
    }
}

int main (int argc, char** argv)
{
    const juce::ScopedJuceInitialiser_GUI juce;
    const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (argc > 1 ? argv[1] : "docs/screenshot.png");

    CeiloraAudioProcessor processor;
    processor.setRateAndBufferSizeDetails (sampleRate, blockSize);
    processor.prepareToPlay (sampleRate, blockSize);

    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());

    juce::AudioBuffer<float> block (2, blockSize);
    juce::MidiBuffer midi;

    for (int index = 0; index < blocksToPlay; ++index)
    {
        fillBlock (block, index);
        processor.processBlock (block, midi);
    }

    const auto picture = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
    const auto written = writePng (picture, file);
    editor.reset();  // before the processor, as a host does
    processor.releaseResources();

    if (! written)
    {
        std::cerr << "cannot write " << file.getFullPathName() << "\n";
        return 1;
    }

    std::cout << file.getFullPathName() << "\n";
    return 0;
}
