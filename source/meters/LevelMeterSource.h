#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>
#include <vector>

/**
    Condenses each audio block into a few numbers per channel (held peak, overall peak, clip
    latch, windowed RMS) for the level meters.

    The audio thread writes through measureBlock(); the message thread reads, decays and resets.
    Every value shared between the two is atomic, so neither side ever takes a lock or allocates.
    resize() may run on a host thread while an editor's meter is reading: it waits for a read in
    flight to finish, and reads that start during it see an empty source.
*/
class LevelMeterSource
{
public:
    /** One channel's levels. Levels are linear magnitudes (1.0 = full scale). */
    struct ChannelData
    {
        explicit ChannelData (int rmsWindow = 0);

        /** Copies the peak, clip and hold state; the copy starts with an empty RMS history. */
        ChannelData (const ChannelData& other);
        ChannelData& operator= (const ChannelData&) = delete;

        void applyMeasurement (juce::int64 timeMs, float newPeak, float newRms, juce::int64 holdMs);
        void setRmsWindow (int rmsWindow);
        float averageRms() const;

        std::atomic<float> peak { 0.0f };
        std::atomic<float> peakOverall { 0.0f };
        std::atomic<bool> clipped { false };
        std::atomic<float> reductionGain { 1.0f };
        std::atomic<juce::int64> holdUntilMs { 0 };
        std::vector<std::atomic<double>> rmsSquares;
        std::atomic<double> lastRmsSquare { 0.0 };
        std::atomic<size_t> rmsWritePos { 0 };
    };

    LevelMeterSource() = default;
    ~LevelMeterSource();

    // Writer side: the audio engine.
    void measureBlock (const juce::AudioBuffer<float>& buffer);
    void resize (int numChannels, int rmsWindow);

    // Reader side: the meters, on the message thread.
    int channelCount() const;
    float rmsLevel (int channel) const;
    float peakLevel (int channel) const;
    float peakOverallLevel (int channel) const;
    bool isClipped (int channel) const;
    float reductionLevel (int channel) const;

    void resetPeakOverall();
    void resetClipFlags();
    void decayIfIdle();

    bool hasNewData() const       { return newData.load(); }
    void clearNewData()           { newData.store (false); }

private:
    /** Marks a message-thread access to the records, so that resize() can wait it out. */
    class ReadScope
    {
    public:
        explicit ReadScope (const LevelMeterSource& sourceToRead);
        ~ReadScope();

        /** False while a resize is replacing the records: the caller must not touch them. */
        bool recordsAreStable() const noexcept  { return stable; }

    private:
        const LevelMeterSource& source;
        bool stable;

        JUCE_DECLARE_NON_COPYABLE (ReadScope)
    };

    static constexpr juce::int64 idleDecayAfterMs = 100;

    juce::WeakReference<LevelMeterSource>::Master masterReference;
    friend class juce::WeakReference<LevelMeterSource>;

    std::vector<ChannelData> channels;
    const juce::int64 holdTimeMs = 500;
    std::atomic<juce::int64> lastMeasurementMs { 0 };
    std::atomic<bool> newData { true };

    std::atomic<bool> resizing { false };
    mutable std::atomic<int> activeReaders { 0 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LevelMeterSource)
};
