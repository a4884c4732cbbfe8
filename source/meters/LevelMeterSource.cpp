#include "LevelMeterSource.h"

#include <cmath>
#include <limits>
#include <thread>

// A std::atomic that is not lock-free hides a lock, which the audio thread must never take.
static_assert (std::atomic<float>::is_always_lock_free && std::atomic<double>::is_always_lock_free
               && std::atomic<bool>::is_always_lock_free && std::atomic<juce::int64>::is_always_lock_free
               && std::atomic<size_t>::is_always_lock_free);

//==============================================================================
LevelMeterSource::ChannelData::ChannelData (int rmsWindow)
{
    setRmsWindow (rmsWindow);
}

LevelMeterSource::ChannelData::ChannelData (const ChannelData& other)
    : peak (other.peak.load()),
      peakOverall (other.peakOverall.load()),
      clipped (other.clipped.load()),
      reductionGain (other.reductionGain.load()),
      holdUntilMs (other.holdUntilMs.load())
{
}

void LevelMeterSource::ChannelData::applyMeasurement (juce::int64 timeMs, float newPeak, float newRms, juce::int64 holdMs)
{
    // A NaN in the audio is an overload, not a level of its own: show it as one instead of
    // letting it poison the held values and the RMS history.
    constexpr auto overload = std::numeric_limits<float>::infinity();
    if (std::isnan (newPeak)) newPeak = overload;
    if (std::isnan (newRms))  newRms  = overload;

    if (newPeak > 1.0f || newRms > 1.0f)
        clipped.store (true);

    peakOverall.store (std::max (peakOverall.load(), newPeak));

    if (newPeak >= peak.load())
    {
        peak.store (std::min (newPeak, 1.0f));
        holdUntilMs.store (timeMs + holdMs);
    }
    else if (holdUntilMs.load() < timeMs)
    {
        peak.store (std::min (newPeak, 1.0f));
    }

    const auto clampedRms = std::min (newRms, 1.0f);
    const auto square = (double) std::min (clampedRms * clampedRms, 1.0f);

    if (rmsSquares.empty())
    {
        lastRmsSquare.store (square);
        return;
    }

    const auto writePos = rmsWritePos.load();
    rmsSquares[writePos].store (square);
    rmsWritePos.store ((writePos + 1) % rmsSquares.size());
}

void LevelMeterSource::ChannelData::setRmsWindow (int rmsWindow)
{
    rmsSquares = std::vector<std::atomic<double>> ((size_t) std::max (0, rmsWindow));

    for (auto& square : rmsSquares)
        square.store (0.0);

    lastRmsSquare.store (0.0);
    rmsWritePos.store (rmsWindow > 1 ? rmsWritePos.load() % (size_t) rmsWindow : 0);
}

float LevelMeterSource::ChannelData::averageRms() const
{
    if (rmsSquares.empty())
        return (float) std::sqrt (lastRmsSquare.load());

    auto sum = 0.0f;

    for (const auto& square : rmsSquares)
        sum = (float) ((double) sum + square.load());

    return std::sqrt (sum / (float) rmsSquares.size());
}

//==============================================================================
LevelMeterSource::ReadScope::ReadScope (const LevelMeterSource& sourceToRead)
    : source (sourceToRead)
{
    source.activeReaders.fetch_add (1);
    stable = ! source.resizing.load();
}

LevelMeterSource::ReadScope::~ReadScope()
{
    source.activeReaders.fetch_sub (1);
}

//==============================================================================
LevelMeterSource::~LevelMeterSource()
{
    masterReference.clear();
}

void LevelMeterSource::measureBlock (const juce::AudioBuffer<float>& buffer)
{
    lastMeasurementMs.store (juce::Time::currentTimeMillis());

    const auto numSamples = buffer.getNumSamples();

    for (int channel = 0; channel < buffer.getNumChannels() && channel < (int) channels.size(); ++channel)
    {
        const auto timeMs = lastMeasurementMs.load();
        const auto blockPeak = buffer.getMagnitude (channel, 0, numSamples);
        const auto blockRms = buffer.getRMSLevel (channel, 0, numSamples);
        channels[(size_t) channel].applyMeasurement (timeMs, blockPeak, blockRms, holdTimeMs);
    }

    newData.store (true);
}

void LevelMeterSource::resize (int numChannels, int rmsWindow)
{
    // Readers on the message thread either finish before the records change or see none.
    resizing.store (true);

    while (activeReaders.load() != 0)
        std::this_thread::yield();

    channels.resize ((size_t) std::max (0, numChannels));

    for (auto& channel : channels)
        channel.setRmsWindow (rmsWindow);

    newData.store (true);
    resizing.store (false);
}

int LevelMeterSource::channelCount() const
{
    const ReadScope scope (*this);
    return scope.recordsAreStable() ? (int) channels.size() : 0;
}

float LevelMeterSource::rmsLevel (int channel) const
{
    const ReadScope scope (*this);
    return scope.recordsAreStable() ? channels.at ((size_t) channel).averageRms() : 0.0f;
}

float LevelMeterSource::peakLevel (int channel) const
{
    const ReadScope scope (*this);
    return scope.recordsAreStable() ? channels.at ((size_t) channel).peak.load() : 0.0f;
}

float LevelMeterSource::peakOverallLevel (int channel) const
{
    const ReadScope scope (*this);
    return scope.recordsAreStable() ? channels.at ((size_t) channel).peakOverall.load() : 0.0f;
}

bool LevelMeterSource::isClipped (int channel) const
{
    const ReadScope scope (*this);
    return scope.recordsAreStable() && channels.at ((size_t) channel).clipped.load();
}

float LevelMeterSource::reductionLevel (int channel) const
{
    const ReadScope scope (*this);

    if (! scope.recordsAreStable() || ! juce::isPositiveAndBelow (channel, (int) channels.size()))
        return -1.0f;

    return channels[(size_t) channel].reductionGain.load();
}

void LevelMeterSource::resetPeakOverall()
{
    const ReadScope scope (*this);

    if (scope.recordsAreStable())
        for (auto& channel : channels)
            channel.peakOverall.store (-100.0f);
}

void LevelMeterSource::resetClipFlags()
{
    const ReadScope scope (*this);

    if (scope.recordsAreStable())
        for (auto& channel : channels)
            channel.clipped.store (false);
}

void LevelMeterSource::decayIfIdle()
{
    const auto now = juce::Time::currentTimeMillis();

    if (now - lastMeasurementMs.load() < idleDecayAfterMs)
        return;

    const ReadScope scope (*this);

    if (! scope.recordsAreStable())
        return;

    lastMeasurementMs.store (now);

    for (auto& channel : channels)
    {
        channel.applyMeasurement (now, 0.0f, 0.0f, holdTimeMs);
        channel.reductionGain.store (1.0f);
    }

    newData.store (true);
}
