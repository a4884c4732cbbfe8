// Paints a stereo meter as the editor shows it (50 x 380, Compact | PeakNumber) in a few
// states and writes each picture as a PNG, at its real size and enlarged four times.
//
// Usage: ceilora_meter_snapshots [output folder]   (default: ./meter-snapshots)

#include "meters/LevelMeter.h"

#include <juce_events/juce_events.h>

#include <iostream>
#include <vector>

namespace
{
    struct State
    {
        const char* name;
        std::vector<float> levels; // one constant sample value per channel
    };

    void feed (LevelMeterSource& source, const std::vector<float>& levels)
    {
        juce::AudioBuffer<float> block ((int) levels.size(), 256);

        for (int channel = 0; channel < (int) levels.size(); ++channel)
            juce::FloatVectorOperations::fill (block.getWritePointer (channel), levels[(size_t) channel], block.getNumSamples());

        source.measureBlock (block);
    }

    juce::Image paintMeter (LevelMeter& meter, int scale)
    {
        juce::Image image (juce::Image::ARGB, meter.getWidth() * scale, meter.getHeight() * scale, true, juce::SoftwareImageType());
        juce::Graphics g (image);
        g.addTransform (juce::AffineTransform::scale ((float) scale));
        meter.paint (g);
        return image;
    }

    bool writePng (const juce::Image& image, const juce::File& file)
    {
        file.deleteFile();
        juce::FileOutputStream stream (file);
        return stream.openedOk() && juce::PNGImageFormat().writeImageToStream (image, stream);
    }
}

int main (int argc, char** argv)
{
    const juce::ScopedJuceInitialiser_GUI juce;

    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (argc > 1 ? argv[1] : "meter-snapshots");

    if (! folder.createDirectory())
    {
        std::cerr << "cannot create " << folder.getFullPathName() << "\n";
        return 1;
    }

    const State states[] {
        { "silence", { 0.0f, 0.0f } },
        { "minus-20-db", { 0.1f, 0.1f } },
        { "clipping", { 1.5f, 0.7f } },
    };

    for (const auto& state : states)
    {
        LevelMeterSource source;
        source.resize ((int) state.levels.size(), 0);
        feed (source, state.levels);

        LevelMeter meter { LevelMeter::MeterFlags (LevelMeter::Compact | LevelMeter::PeakNumber) };
        meter.setSize (50, 380);
        meter.attachSource (&source);

        for (const auto scale : { 1, 4 })
        {
            const auto file = folder.getChildFile (juce::String ("meter-") + state.name + (scale == 1 ? "" : "-x4") + ".png");

            if (! writePng (paintMeter (meter, scale), file))
            {
                std::cerr << "cannot write " << file.getFullPathName() << "\n";
                return 1;
            }

            std::cout << file.getFullPathName() << "\n";
        }
    }

    return 0;
}
