#include "Renderer.h"

#include "DemoSignalReader.h"
#include "LevelPlot.h"
#include "ProgressBar.h"

namespace
{
    juce::String quoted (const juce::File& file)
    {
        return "\"" + file.getFullPathName() + "\"";
    }

    juce::String formatDecibels (float decibels)
    {
        return decibels <= RenderStatistics::decibelFloor ? juce::String ("-inf").paddedLeft (' ', 8)
                                                          : juce::String::formatted ("%+8.2f", decibels);
    }

    juce::String formatSeconds (double seconds)
    {
        return juce::String (seconds, 3) + " s";
    }

    /** Makes a new file appear under its final name only when it is complete. */
    juce::Result replaceWithTemporary (const juce::TemporaryFile& temporary, const juce::File& target)
    {
        if (! temporary.overwriteTargetFileWithTemporary())
            return juce::Result::fail ("cannot write " + quoted (target) + ": could not move the finished file into place");

        return juce::Result::ok();
    }

    juce::Result checkWritableFolder (const juce::File& file)
    {
        const auto folder = file.getParentDirectory();

        if (file.isDirectory())
            return juce::Result::fail ("cannot write " + quoted (file) + ": it is a folder");

        if (! folder.isDirectory())
            return juce::Result::fail ("cannot write " + quoted (file) + ": the folder " + quoted (folder) + " does not exist");

        if (! folder.hasWriteAccess())
            return juce::Result::fail ("cannot write " + quoted (file) + ": the folder is not writable");

        return juce::Result::ok();
    }
}

Renderer::Renderer (const RenderOptions& optionsToUse)
    : options (optionsToUse)
{
    formatManager.registerBasicFormats();
}

Renderer::~Renderer() = default;

juce::File Renderer::getBundle() const
{
    return options.bundle != juce::File() ? options.bundle : juce::File (CEILORA_DEFAULT_BUNDLE);
}

//==============================================================================
juce::Result Renderer::openInput()
{
    const auto& input = options.input;

    if (input == juce::File())
    {
        reader = std::make_unique<DemoSignalReader>();
        return juce::Result::ok();
    }

    if (input.isDirectory())
        return juce::Result::fail ("cannot read " + quoted (input) + ": it is a folder");

    if (! input.existsAsFile())
        return juce::Result::fail ("cannot read " + quoted (input) + ": no such file");

    if (juce::FileInputStream stream (input); stream.failedToOpen())
        return juce::Result::fail ("cannot read " + quoted (input) + ": " + stream.getStatus().getErrorMessage());

    reader.reset (formatManager.createReaderFor (input));

    if (reader == nullptr)
        return juce::Result::fail ("cannot read " + quoted (input) + ": not a WAV, AIFF or FLAC file, or damaged");

    if (reader->numChannels == 0 || reader->sampleRate <= 0.0)
        return juce::Result::fail ("cannot read " + quoted (input) + ": it has no audio channels or no sample rate");

    // The readers pad a file that ends early with silence; a header that promises more audio
    // than the file holds means it was cut short, and the render would not be the real one.
    if (auto* format = formatManager.findFormatForFileExtension (input.getFileExtension()))
    {
        if (std::unique_ptr<juce::MemoryMappedAudioFormatReader> mapped { format->createMemoryMappedReader (input) })
        {
            if (mapped->lengthInSamples > 0
                && (! mapped->mapEntireFile() || mapped->getMappedSection().getEnd() < mapped->lengthInSamples))
                return juce::Result::fail ("cannot read " + quoted (input) + ": it is truncated (its header promises "
                                           + juce::String (mapped->lengthInSamples) + " samples, the file holds "
                                           + juce::String (mapped->getMappedSection().getEnd()) + ")");
        }
    }

    return juce::Result::ok();
}

juce::Result Renderer::checkOutputs()
{
    const auto& output = options.output;

    if (output == options.input)
        return juce::Result::fail ("the output " + quoted (output) + " would overwrite the input; name another output file");

    const auto extension = output.getFileExtension().toLowerCase();

    if (! juce::StringArray { ".wav", ".aif", ".aiff", ".flac" }.contains (extension))
        return juce::Result::fail ("cannot write " + quoted (output) + ": name the output .wav, .aif, .aiff or .flac");

    outputFormat = formatManager.findFormatForFileExtension (extension);

    if (outputFormat == nullptr)
        return juce::Result::fail ("cannot write " + quoted (output) + ": this build has no writer for " + extension + " files");

    const auto isWav = extension == ".wav";
    bitsPerSample = options.bitsPerSample != 0 ? options.bitsPerSample : (isWav ? 32 : 24);

    if (! outputFormat->getPossibleBitDepths().contains (bitsPerSample))
        return juce::Result::fail ("cannot write " + quoted (output) + " with " + juce::String (bitsPerSample)
                                   + " bits: " + extension + " files take 16 or 24 (32-bit floating point is WAV only)");

    if (auto result = checkWritableFolder (output); result.failed())
        return result;

    if (options.plot != juce::File())
    {
        if (! options.plot.hasFileExtension ("png"))
            return juce::Result::fail ("cannot write the plot " + quoted (options.plot) + ": name it .png");

        if (auto result = checkWritableFolder (options.plot); result.failed())
            return result;
    }

    return juce::Result::ok();
}

juce::Result Renderer::loadPlugin (double sampleRate)
{
    juce::String error;
    limiter = HostedLimiter::load (getBundle(), sampleRate, options.blockSize, error);
    return limiter != nullptr ? juce::Result::ok() : juce::Result::fail (error);
}

juce::Result Renderer::configurePlugin()
{
    if (auto result = limiter->setInputChannels ((int) reader->numChannels); result.failed())
        return result;

    if (options.preset.isNotEmpty())
        if (auto result = limiter->applyPreset (options.preset); result.failed())
            return result;

    for (const auto& setting : options.settings)
        if (auto result = limiter->setParameter (setting.id, setting.value); result.failed())
            return result;

    return juce::Result::ok();
}

//==============================================================================
juce::Result Renderer::listPlugin()
{
    if (auto result = loadPlugin (48000.0); result.failed())
        return result;

    summary = "Bundle " + getBundle().getFullPathName() + "\n" + limiter->describePlugin();
    return juce::Result::ok();
}

juce::Result Renderer::run()
{
    if (auto result = openInput(); result.failed())
        return result;

    if (auto result = checkOutputs(); result.failed())
        return result;

    if (auto result = loadPlugin (reader->sampleRate); result.failed())
        return result;

    if (auto result = configurePlugin(); result.failed())
        return result;

    auto statistics = makeStatistics();
    const juce::TemporaryFile temporary (options.output, juce::TemporaryFile::useHiddenFile);

    if (auto result = renderInto (temporary.getFile(), statistics); result.failed())
        return result;

    if (auto result = replaceWithTemporary (temporary, options.output); result.failed())
        return result;

    if (options.plot != juce::File())
        if (auto result = writePlot (statistics); result.failed())
            return result;

    summarise (statistics);
    return juce::Result::ok();
}

RenderStatistics Renderer::makeStatistics() const
{
    // The plug-in delays its output by the look-ahead, and shapes it after the gain stage.
    const auto bypassed = limiter->getValue ("bypass") > 0.5f;
    const auto lookaheadSamples = bypassed ? 0 : juce::roundToInt (limiter->getValue ("lookahead") * 0.001 * reader->sampleRate);
    const RenderStatistics::OutputStage outputStage { limiter->getValue ("soft") * 10.0f + 1.0f,
                                                      juce::Decibels::decibelsToGain (limiter->getValue ("trim")),
                                                      bypassed };

    return { (int) reader->numChannels, limiter->getInstance().getTotalNumOutputChannels(), reader->sampleRate,
             lookaheadSamples, outputStage };
}

juce::Result Renderer::renderInto (const juce::File& file, RenderStatistics& statistics)
{
    auto stream = std::make_unique<juce::FileOutputStream> (file);

    if (stream->failedToOpen())
        return juce::Result::fail ("cannot write " + quoted (options.output) + ": " + stream->getStatus().getErrorMessage());

    const auto numOutputChannels = limiter->getInstance().getTotalNumOutputChannels();
    std::unique_ptr<juce::AudioFormatWriter> writer (outputFormat->createWriterFor (stream.get(), reader->sampleRate,
                                                                                    (unsigned int) numOutputChannels,
                                                                                    bitsPerSample, {}, 0));
    if (writer == nullptr)
        return juce::Result::fail ("cannot write " + quoted (options.output) + ": " + outputFormat->getFormatName() + " does not take "
                                   + juce::String (numOutputChannels) + " channels at " + juce::String (reader->sampleRate) + " Hz");

    auto* const fileStream = stream.release();  // the writer owns it now

    if (auto result = render (*writer, statistics); result.failed())
        return result;

    writer->flush();
    fileStream->flush();

    if (fileStream->getStatus().failed())
        return juce::Result::fail ("cannot write " + quoted (options.output) + ": " + fileStream->getStatus().getErrorMessage());

    return juce::Result::ok();
}

juce::Result Renderer::render (juce::AudioFormatWriter& writer, RenderStatistics& statistics)
{
    auto& instance = limiter->getInstance();
    const auto numInputChannels = (int) reader->numChannels;
    const auto numOutputChannels = instance.getTotalNumOutputChannels();
    const auto blockSize = options.blockSize;

    instance.setNonRealtime (true);
    instance.prepareToPlay (reader->sampleRate, blockSize);

    // Channels past the file's are the plug-in's output-only channels and start silent.
    juce::AudioBuffer<float> buffer (juce::jmax (numInputChannels, numOutputChannels, instance.getTotalNumInputChannels()), blockSize);
    juce::MidiBuffer midi;
    ProgressBar progress (reader->lengthInSamples);
    auto result = juce::Result::ok();

    for (juce::int64 position = 0; position < reader->lengthInSamples; position += blockSize)
    {
        const auto numSamples = (int) juce::jmin ((juce::int64) blockSize, reader->lengthInSamples - position);
        buffer.clear();

        if (! reader->read (buffer.getArrayOfWritePointers(), numInputChannels, position, numSamples))
        {
            result = juce::Result::fail ("cannot read " + quoted (options.input) + " at sample " + juce::String (position));
            break;
        }

        juce::AudioBuffer<float> block (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), numSamples);
        statistics.addInput (block.getArrayOfReadPointers(), numSamples);
        instance.processBlock (block, midi);
        statistics.addOutput (block.getArrayOfReadPointers(), numSamples);

        if (! writer.writeFromAudioSampleBuffer (block, 0, numSamples))
        {
            result = juce::Result::fail ("cannot write " + quoted (options.output) + ": the disk refused the data");
            break;
        }

        progress.update (position + numSamples);
    }

    instance.releaseResources();
    return result;
}

juce::Result Renderer::writePlot (const RenderStatistics& statistics) const
{
    const auto image = LevelPlot::draw (statistics, limiter->getValue ("threshold"),
                                        "Ceilora: " + describeInput(), limiter->describeSettings());

    const juce::TemporaryFile temporary (options.plot, juce::TemporaryFile::useHiddenFile);

    {
        juce::FileOutputStream stream (temporary.getFile());
        juce::PNGImageFormat png;

        if (stream.failedToOpen() || ! png.writeImageToStream (image, stream))
            return juce::Result::fail ("cannot write the plot " + quoted (options.plot));

        stream.flush();

        if (stream.getStatus().failed())
            return juce::Result::fail ("cannot write the plot " + quoted (options.plot));
    }

    return replaceWithTemporary (temporary, options.plot);
}

//==============================================================================
juce::String Renderer::describeInput() const
{
    return options.input == juce::File() ? juce::String ("demo signal") : options.input.getFileName();
}

void Renderer::summarise (const RenderStatistics& statistics)
{
    const auto description = limiter->getInstance().getPluginDescription();
    const auto seconds = (double) reader->lengthInSamples / reader->sampleRate;
    const auto reduction = statistics.getLargestGainReduction();
    const auto numOutputChannels = statistics.getOutputLevels().size();

    juce::String text;
    text << description.name << " " << description.version << " from " << getBundle().getFullPathName() << "\n"
         << "Input     " << (options.input == juce::File() ? juce::String ("built-in demo signal") : options.input.getFullPathName())
         << ": " << (int) reader->numChannels << " ch, " << reader->sampleRate << " Hz, " << formatSeconds (seconds) << "\n"
         << "Output    " << options.output.getFullPathName() << ": " << (int) numOutputChannels << " ch, "
         << bitsPerSample << "-bit" << (bitsPerSample == 32 ? " float " : " ") << outputFormat->getFormatName()
         << ", blocks of " << options.blockSize << "\n";

    if (options.preset.isNotEmpty())
        text << "Preset    " << limiter->getInstance().getCurrentProgram() << " "
             << limiter->getInstance().getProgramName (limiter->getInstance().getCurrentProgram()) << "\n";

    text << "Settings  " << limiter->describeSettings() << "\n";

    if (options.plot != juce::File())
        text << "Plot      " << options.plot.getFullPathName() << "\n";

    text << "\n            peak dBFS   RMS dBFS\n";

    const auto addLevels = [&text] (const char* side, const std::vector<RenderStatistics::ChannelLevel>& levels)
    {
        for (size_t channel = 0; channel < levels.size(); ++channel)
            text << side << " ch " << juce::String ((int) channel + 1).paddedRight (' ', 2)
                 << formatDecibels (levels[channel].getPeakDecibels()) << "   "
                 << formatDecibels (levels[channel].getRmsDecibels()) << "\n";
    };

    addLevels ("input ", statistics.getInputLevels());
    addLevels ("output", statistics.getOutputLevels());

    text << "\nLargest gain reduction  " << juce::String (reduction.decibels, 2) << " dB at " << formatSeconds (reduction.seconds)
         << " (10 ms windows, before saturation and trim)\n"
         << "Clipped output samples  " << statistics.getClipCount() << " (magnitude 1.0, 0 dBFS, or more)\n";

    summary = text;
}
