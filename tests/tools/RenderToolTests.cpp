// Runs ceilora-render the way a user does and checks what it prints and writes.

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_graphics/juce_graphics.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sys/wait.h>

namespace
{
    struct ToolRun
    {
        int exitCode = -1;
        juce::String out, err;
    };

    juce::String shellQuoted (const juce::String& text)
    {
        return "'" + text.replace ("'", "'\\''") + "'";
    }

    /** A scratch folder per test, holding the inputs it writes and whatever the tool leaves. */
    class RenderToolTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            folder = juce::File::createTempFile ("ceilora-render-test");
            ASSERT_TRUE (folder.createDirectory().wasOk());
        }

        void TearDown() override
        {
            folder.deleteRecursively();
        }

        juce::File file (const juce::String& name) const  { return folder.getChildFile (name); }

        /** Runs the tool in the scratch folder; {dir} in an argument stands for that folder. */
        // JUCE's debug builds print a version banner and their own assertions (a broken bundle
        // trips one) on stderr; the tool's own lines are what a user acts on.
        static juce::String withoutJuceDebugLines (const juce::String& text)
        {
            juce::String kept;

            for (const auto& line : juce::StringArray::fromLines (text))
                if (line.isNotEmpty() && ! line.startsWith ("JUCE v") && ! line.startsWith ("JUCE Assertion failure"))
                    kept << line << "\n";

            return kept;
        }

        ToolRun run (const juce::StringArray& arguments) const
        {
            const auto outFile = folder.getSiblingFile (folder.getFileName() + ".out");
            const auto errFile = folder.getSiblingFile (folder.getFileName() + ".err");
            juce::String command = "cd " + shellQuoted (folder.getFullPathName()) + " && " + shellQuoted (CEILORA_RENDER_TOOL);

            for (const auto& argument : arguments)
                command << " " << shellQuoted (argument.replace ("{dir}", folder.getFullPathName()));

            command << " > " << shellQuoted (outFile.getFullPathName()) << " 2> " << shellQuoted (errFile.getFullPathName());

            const auto status = std::system (command.toRawUTF8());
            ToolRun result;
            result.exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
            result.out = outFile.loadFileAsString();
            result.err = withoutJuceDebugLines (errFile.loadFileAsString());
            outFile.deleteFile();
            errFile.deleteFile();
            return result;
        }

        juce::StringArray listFolder() const
        {
            juce::StringArray names;

            // Hidden files too: that is where a half-written output would hide.
            for (const auto& entry : juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFilesAndDirectories))
                names.add (entry.getFile().getFileName());

            names.sort (false);
            return names;
        }

        juce::File folder;
    };

    void writeWav (const juce::File& target, const juce::AudioBuffer<float>& audio, double sampleRate, int bitsPerSample = 32)
    {
        target.deleteFile();
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (new juce::FileOutputStream (target), sampleRate,
                                                                              (unsigned int) audio.getNumChannels(), bitsPerSample, {}, 0));
        ASSERT_NE (writer, nullptr);
        ASSERT_TRUE (writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples()));
    }

    /** A steady sine at the given peak on every channel, shifted a little in phase per channel. */
    juce::AudioBuffer<float> sine (int numChannels, int numSamples, double sampleRate, float peak)
    {
        juce::AudioBuffer<float> audio (numChannels, numSamples);

        for (int channel = 0; channel < numChannels; ++channel)
            for (int i = 0; i < numSamples; ++i)
                audio.setSample (channel, i, peak * (float) std::sin (juce::MathConstants<double>::twoPi * 997.0 * i / sampleRate + 0.3 * channel));

        return audio;
    }

    struct RenderedFile
    {
        juce::AudioBuffer<float> audio;
        double sampleRate = 0.0;
        int bitsPerSample = 0;
        bool floatingPoint = false;
    };

    std::optional<RenderedFile> readAudio (const juce::File& source)
    {
        juce::AudioFormatManager formats;
        formats.registerBasicFormats();
        std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (source));

        if (reader == nullptr)
            return std::nullopt;

        RenderedFile rendered;
        rendered.audio.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
        reader->read (rendered.audio.getArrayOfWritePointers(), (int) reader->numChannels, 0, (int) reader->lengthInSamples);
        rendered.sampleRate = reader->sampleRate;
        rendered.bitsPerSample = (int) reader->bitsPerSample;
        rendered.floatingPoint = reader->usesFloatingPointData;
        return rendered;
    }

    float peakOf (const juce::AudioBuffer<float>& audio)
    {
        auto peak = 0.0f;

        for (int channel = 0; channel < audio.getNumChannels(); ++channel)
            peak = std::max (peak, audio.getMagnitude (channel, 0, audio.getNumSamples()));

        return peak;
    }

    /** The limiter settings a render test checks the output against. */
    struct Limiting
    {
        float thresholdDecibels, lookaheadMs, releaseMs, trimDecibels, soft;

        float saturate (float limited) const
        {
            const auto k = soft * 10.0f + 1.0f;
            return juce::Decibels::decibelsToGain (trimDecibels) * std::tanh (k * limited) / std::tanh (k);
        }

        /** The envelope falls while a peak crosses the look-ahead, so the peak can pass the
            gain stage above the threshold by up to this factor. */
        float overshoot (double sampleRate) const
        {
            const auto delaySamples = std::floor (lookaheadMs * 0.001 * sampleRate);
            return (float) std::exp (delaySamples / (releaseMs * 0.001 * sampleRate));
        }
    };
}

TEST_F (RenderToolTest, RefusesBadInputWithOneClearLineAndWritesNothing)
{
    writeWav (file ("loud.wav"), sine (2, 4800, 48000.0, 1.5f), 48000.0, 16);

    juce::MemoryBlock whole;
    ASSERT_TRUE (file ("loud.wav").loadFileAsData (whole));
    file ("truncated.wav").replaceWithData (whole.getData(), whole.getSize() / 2);
    file ("garbage.wav").replaceWithText ("RIFF, but then just words where the format chunk should be");
    file ("empty.wav").create();
    file ("Broken.vst3/Contents/x86_64-linux").createDirectory();
    file ("Broken.vst3/Contents/x86_64-linux/Broken.so").replaceWithText ("not a shared library");
    file ("a-folder").createDirectory();

    struct Case
    {
        juce::StringArray arguments;
        const char* expectedMessage;
    };

    const Case cases[] {
        { { "missing.wav" },                               "cannot read \"{dir}/missing.wav\": no such file" },
        { { "a-folder" },                                  "cannot read \"{dir}/a-folder\": it is a folder" },
        { { "garbage.wav" },                               "cannot read \"{dir}/garbage.wav\": not a WAV, AIFF or FLAC file, or damaged" },
        { { "empty.wav" },                                 "cannot read \"{dir}/empty.wav\": not a WAV, AIFF or FLAC file, or damaged" },
        { { "truncated.wav" },                             "cannot read \"{dir}/truncated.wav\": it is truncated (its header promises 4800 samples, the file holds 2387)" },
        { { "loud.wav", "--preset", "Loudest" },           "unknown preset \"Loudest\": choose Init, Transparent, Aggressive, Soft Touch, Brick Wall or a number from 0 to 4" },
        { { "loud.wav", "--preset", "5" },                 "unknown preset \"5\": choose Init, Transparent, Aggressive, Soft Touch, Brick Wall or a number from 0 to 4" },
        { { "loud.wav", "--set", "ratio=4" },              "unknown parameter \"ratio\": use threshold, lookahead, release, trim, soft, bypass" },
        { { "loud.wav", "--set", "threshold=3" },          "threshold=3 is out of range: Threshold (dBFS) goes from -24 to 0" },
        { { "loud.wav", "--set", "release=1" },            "release=1 is out of range: Release (ms) goes from 5 to 200" },
        { { "loud.wav", "--set", "lookahead=10.5" },       "lookahead=10.5 is out of range: LookAhead (ms) goes from 0 to 10" },
        { { "loud.wav", "--set", "soft=lots" },            "soft needs a number; got \"lots\" (SoftClip (0..1) goes from 0 to 1)" },
        { { "loud.wav", "--set", "bypass=maybe" },         "bypass is on or off; got \"maybe\"" },
        { { "loud.wav", "--set", "threshold" },            "--set takes ID=VALUE, for example --set threshold=-3; got \"threshold\"" },
        { { "loud.wav", "--block-size", "0" },             "--block-size must be a whole number from 1 to 65536; got \"0\"" },
        { { "loud.wav", "--ratio", "4" },                  "unknown option --ratio (see --help)" },
        { { "loud.wav", "--preset" },                      "--preset needs a value (see --help)" },
        { { "loud.wav", "no/such/folder/out.wav" },        "cannot write \"{dir}/no/such/folder/out.wav\": the folder \"{dir}/no/such/folder\" does not exist" },
        { { "loud.wav", "loud.wav/out.wav" },              "cannot write \"{dir}/loud.wav/out.wav\": the folder \"{dir}/loud.wav\" does not exist" },
        { { "loud.wav", "a-folder" },                      "cannot write \"{dir}/a-folder\": name the output .wav, .aif, .aiff or .flac" },
        { { "loud.wav", "out.mp3" },                       "cannot write \"{dir}/out.mp3\": name the output .wav, .aif, .aiff or .flac" },
        { { "loud.wav", "loud.wav" },                      "the output \"{dir}/loud.wav\" would overwrite the input; name another output file" },
        { { "loud.wav", "out.flac", "--bits", "32" },      "cannot write \"{dir}/out.flac\" with 32 bits: .flac files take 16 or 24 (32-bit floating point is WAV only)" },
        { { "loud.wav", "--plot", "levels.jpg" },          "cannot write the plot \"{dir}/levels.jpg\": name it .png" },
        { { "loud.wav", "--plugin", "Missing.vst3" },      "no plug-in bundle at \"{dir}/Missing.vst3\"" },
        { { "loud.wav", "--plugin", "Broken.vst3" },       "cannot load \"{dir}/Broken.vst3\" as a VST3 plug-in" },
        { { "loud.wav", "--plugin", "a-folder" },          "cannot load \"{dir}/a-folder\" as a VST3 plug-in" },
    };

    const auto before = listFolder();

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.arguments.joinIntoString (" ").toStdString());
        const auto result = run (testCase.arguments);

        EXPECT_EQ (result.exitCode, 1);
        EXPECT_EQ (result.err, "ceilora-render: " + juce::String (testCase.expectedMessage).replace ("{dir}", folder.getFullPathName()) + "\n");
        EXPECT_EQ (result.out, "");
        EXPECT_EQ (listFolder(), before) << "a refused render must leave no output or temporary file behind";
    }
}

TEST_F (RenderToolTest, HoldsALoudInputUnderTheCeilingItsSettingsAllow)
{
    constexpr double sampleRate = 48000.0;
    constexpr int numSamples = 96000;
    writeWav (file ("loud.wav"), sine (2, numSamples, sampleRate, 2.0f), sampleRate);

    struct Case
    {
        juce::StringArray arguments;
        Limiting limiting;
    };

    const Case cases[] {
        { { "--set", "soft=0", "--set", "threshold=-6", "--set", "lookahead=5" }, { -6.0f, 5.0f, 50.0f, 0.0f, 0.0f } },
        { { "--preset", "Brick Wall", "--set", "threshold=-12" },                  { -12.0f, 8.0f, 40.0f, 0.0f, 0.05f } },
        { { "--preset", "2" },                                                     { -3.0f, 2.0f, 25.0f, 2.0f, 0.35f } },
        { { "--preset", "soft touch", "--set", "trim=-6", "--set", "release=5" },  { -2.0f, 4.0f, 5.0f, -6.0f, 0.6f } },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.arguments.joinIntoString (" ").toStdString());
        auto arguments = testCase.arguments;
        arguments.insert (0, "loud.wav");
        arguments.insert (1, "limited.wav");

        const auto result = run (arguments);
        ASSERT_EQ (result.exitCode, 0) << result.err;

        const auto rendered = readAudio (file ("limited.wav"));
        ASSERT_TRUE (rendered.has_value());
        EXPECT_EQ (rendered->audio.getNumChannels(), 2);
        EXPECT_EQ (rendered->audio.getNumSamples(), numSamples);
        EXPECT_EQ (rendered->sampleRate, sampleRate);

        const auto& limiting = testCase.limiting;
        const auto thresholdGain = juce::Decibels::decibelsToGain (limiting.thresholdDecibels);
        const auto ceiling = limiting.saturate (thresholdGain * limiting.overshoot (sampleRate));
        const auto held = limiting.saturate (thresholdGain);
        const auto peak = peakOf (rendered->audio);

        EXPECT_LE (peak, ceiling) << "a +6 dBFS sine got through above what the threshold allows";
        EXPECT_GE (peak, 0.98f * held) << "the sine was pulled further down than to the threshold";

        // The sine's +6 dBFS peaks are brought down to the threshold, give or take the overshoot.
        const auto reduction = result.out.fromFirstOccurrenceOf ("Largest gain reduction", false, false).getFloatValue();
        const auto expectedReduction = juce::Decibels::gainToDecibels (2.0f) - limiting.thresholdDecibels;
        EXPECT_NEAR (reduction, expectedReduction, 1.0f) << result.out;

        if (ceiling < 1.0f)
            EXPECT_TRUE (result.out.contains ("Clipped output samples  0 ")) << result.out;
        else
            EXPECT_FALSE (result.out.contains ("Clipped output samples  0 ")) << "a trim that lifts the ceiling past full scale must clip";
    }
}

TEST_F (RenderToolTest, WritesEveryFormatWithTheInputsLengthAndRate)
{
    constexpr double sampleRate = 44100.0;
    constexpr int numSamples = 30000;
    writeWav (file ("mono.wav"), sine (1, numSamples, sampleRate, 1.2f), sampleRate, 24);

    struct Case
    {
        juce::StringArray arguments;
        const char* output;
        int bitsPerSample;
        bool floatingPoint;
    };

    const Case cases[] {
        { { "mono.wav" },                                  "mono-ceilora.wav", 32, true },
        { { "mono.wav", "out.wav", "--bits", "16" },       "out.wav",          16, false },
        { { "mono.wav", "out.aiff" },                      "out.aiff",         24, false },
        { { "mono.wav", "out.aif", "--bits", "16" },       "out.aif",          16, false },
        { { "mono.wav", "out.flac" },                      "out.flac",         24, false },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.arguments.joinIntoString (" ").toStdString());
        const auto result = run (testCase.arguments);
        ASSERT_EQ (result.exitCode, 0) << result.err;

        const auto rendered = readAudio (file (testCase.output));
        ASSERT_TRUE (rendered.has_value());
        EXPECT_EQ (rendered->audio.getNumChannels(), 2) << "the plug-in's output is stereo whatever comes in";
        EXPECT_EQ (rendered->audio.getNumSamples(), numSamples);
        EXPECT_EQ (rendered->sampleRate, sampleRate);
        EXPECT_EQ (rendered->bitsPerSample, testCase.bitsPerSample);
        EXPECT_EQ (rendered->floatingPoint, testCase.floatingPoint);
        EXPECT_GT (rendered->audio.getMagnitude (0, 0, numSamples), 0.5f) << "the mono channel came out silent";
    }
}

TEST_F (RenderToolTest, GivesTheSameAudioWhateverTheBlockSize)
{
    constexpr double sampleRate = 48000.0;
    juce::AudioBuffer<float> input (2, 20000);
    juce::Random random (7);

    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < input.getNumSamples(); ++i)
            input.setSample (channel, i, (i / 2000 % 2 == 0 ? 1.8f : 0.2f) * (2.0f * random.nextFloat() - 1.0f));

    writeWav (file ("noise.wav"), input, sampleRate);

    ASSERT_EQ (run ({ "noise.wav", "a.wav", "--block-size", "37", "--preset", "Aggressive" }).exitCode, 0);
    ASSERT_EQ (run ({ "noise.wav", "b.wav", "--block-size", "4096", "--preset", "Aggressive" }).exitCode, 0);

    const auto small = readAudio (file ("a.wav"));
    const auto large = readAudio (file ("b.wav"));
    ASSERT_TRUE (small.has_value() && large.has_value());

    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < input.getNumSamples(); ++i)
            ASSERT_EQ (small->audio.getSample (channel, i), large->audio.getSample (channel, i)) << "channel " << channel << ", sample " << i;
}

TEST_F (RenderToolTest, RendersTheDemoSignalIntoTheCurrentFolderWithoutAnInput)
{
    const auto result = run ({ "--plot", "demo.png" });
    ASSERT_EQ (result.exitCode, 0) << result.err;

    const auto rendered = readAudio (file ("ceilora-demo.wav"));
    ASSERT_TRUE (rendered.has_value());
    EXPECT_EQ (rendered->audio.getNumChannels(), 2);
    EXPECT_EQ (rendered->sampleRate, 48000.0);
    EXPECT_EQ (rendered->audio.getNumSamples(), 6 * 48000);

    for (const auto* line : { "Input     built-in demo signal: 2 ch, 48000 Hz, 6.000 s",
                              "Settings  Threshold (dBFS) -0.1000004, LookAhead (ms) 3.00, Release (ms) 50.00, Output Trim (dB) 0.00, SoftClip (0..1) 0.150, Bypass Off",
                              "input  ch 1    +5.",
                              "Largest gain reduction  5.",
                              "Clipped output samples  " })
        EXPECT_TRUE (result.out.contains (line)) << "missing \"" << line << "\" in\n" << result.out;

    const auto plot = juce::ImageFileFormat::loadFrom (file ("demo.png"));
    EXPECT_EQ (plot.getWidth(), 1200);
    EXPECT_EQ (plot.getHeight(), 700);
    EXPECT_EQ (listFolder(), juce::StringArray ({ "ceilora-demo.wav", "demo.png" }));
}

TEST_F (RenderToolTest, ListsThePresetsAndRangesTheLoadedBundleReports)
{
    const auto result = run ({ "--list" });
    ASSERT_EQ (result.exitCode, 0) << result.err;

    for (const auto* line : { "  0  Init\n", "  1  Transparent\n", "  2  Aggressive\n", "  3  Soft Touch\n", "  4  Brick Wall\n",
                              "  threshold  Threshold (dBFS)  -24 to 0, now -0.1000004\n",
                              "  lookahead  LookAhead (ms)    0 to 10, now 3.00\n",
                              "  release    Release (ms)      5 to 200, now 50.00\n",
                              "  trim       Output Trim (dB)  -24 to 24, now 0.00\n",
                              "  soft       SoftClip (0..1)   0 to 1, now 0.150\n",
                              "  bypass     Bypass            off or on, now Off\n" })
        EXPECT_TRUE (result.out.contains (line)) << "missing \"" << line << "\" in\n" << result.out;
}
