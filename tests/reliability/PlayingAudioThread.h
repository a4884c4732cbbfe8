#pragma once

#include "AudioChecks.h"
#include "RandomActivity.h"

#include <thread>

/** A host's audio thread: feeds a prepared processor random blocks until stopped, and notes any
    block whose finite input came out with a non-finite sample. */
class PlayingAudioThread
{
public:
    PlayingAudioThread (CeiloraAudioProcessor& processorToPlay, int maxBlockSize, juce::int64 seed)
        : processor (processorToPlay),
          numChannels (std::max (processor.getTotalNumInputChannels(), processor.getTotalNumOutputChannels())),
          maxSamples (maxBlockSize),
          buffer (makeBlockBuffer (numChannels, maxBlockSize)),
          audio (seed),
          thread ([this] { run(); })
    {
    }

    ~PlayingAudioThread()
    {
        stopRequested = true;
        thread.join();
    }

    int blocksProcessed() const         { return blocks.load(); }
    int corruptedBlocks() const         { return corrupted.load(); }

    /** Waits (up to the timeout) until the thread has processed the given number of blocks more. */
    bool waitForMoreBlocks (int count, int timeoutMs) const
    {
        const auto target = blocks.load() + count;
        const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

        while (blocks.load() < target)
        {
            if (juce::Time::getMillisecondCounter() > deadline)
                return false;

            std::this_thread::yield();
        }

        return true;
    }

private:
    void run()
    {
        juce::MidiBuffer midi;

        while (! stopRequested)
        {
            const auto inputIsFinite = audio.fillRandomBlock (buffer, numChannels, maxSamples);
            processor.processBlock (buffer, midi);

            if (inputIsFinite && ! allSamplesFinite (buffer))
                ++corrupted;

            ++blocks;
        }
    }

    CeiloraAudioProcessor& processor;
    const int numChannels;
    const int maxSamples;
    juce::AudioBuffer<float> buffer;
    RandomAudio audio;
    std::atomic<bool> stopRequested { false };
    std::atomic<int> blocks { 0 };
    std::atomic<int> corrupted { 0 };
    std::thread thread;
};
