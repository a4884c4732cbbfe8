#include "LevelMeter.h"

#include "LevelMeterLookAndFeel.h"

LevelMeter::LevelMeter (MeterFlags initialFlags)
    : flags (initialFlags)
{
    lookAndFeelChanged();

    const auto resetOnClick = [] (LevelMeter& meter, int, juce::ModifierKeys) { meter.resetPeaksAndClipLights(); };
    onPeakNumberClick = resetOnClick;
    onClipIndicatorClick = resetOnClick;

    startTimerHz (repaintRateHz);
}

LevelMeter::~LevelMeter()
{
    stopTimer();
}

void LevelMeter::setFlags (MeterFlags newFlags)
{
    flags = newFlags;
}

void LevelMeter::attachSource (LevelMeterSource* source)
{
    meterSource = source;
    repaint();
}

void LevelMeter::setRepaintRate (int hz)
{
    repaintRateHz = hz;
    startTimerHz (hz);
}

void LevelMeter::setCacheBackground (bool shouldCache)
{
    cacheBackground = shouldCache;
    backgroundCache = {};
    backgroundDirty = true;
}

void LevelMeter::resetPeaksAndClipLights()
{
    if (auto* source = meterSource.get())
    {
        source->resetPeakOverall();
        source->resetClipFlags();
    }
}

//==============================================================================
void LevelMeter::paint (juce::Graphics& g)
{
    const juce::Graphics::ScopedSaveState savedState (g);
    const LevelMeterLookAndFeel::ScopedColourOwner colours (*drawing, *this);

    auto* source = meterSource.get();
    const auto numChannels = source != nullptr ? source->channelCount() : 1;
    const auto bounds = getLocalBounds().toFloat();

    if (cacheBackground && ! getLocalBounds().isEmpty())
    {
        if (backgroundDirty)
        {
            backgroundCache = juce::Image (juce::Image::ARGB, getWidth(), getHeight(), true);
            juce::Graphics cacheGraphics (backgroundCache);
            drawing->drawBackground (cacheGraphics, flags, bounds);
            drawing->drawMeterBarsBackground (cacheGraphics, flags, bounds, numChannels, forcedChannelCount);
            backgroundDirty = false;
        }

        g.drawImageAt (backgroundCache, 0, 0);
    }
    else
    {
        drawing->drawBackground (g, flags, bounds);
        drawing->drawMeterBarsBackground (g, flags, bounds, numChannels, forcedChannelCount);
    }

    drawing->drawMeterBars (g, flags, bounds, source, forcedChannelCount, soloChannel);

    // Lets a source whose audio stopped fall back to zero while the meter keeps painting.
    if (source != nullptr)
        source->decayIfIdle();
}

void LevelMeter::resized()
{
    drawing->updateMeterGradients();
    backgroundDirty = true;
}

void LevelMeter::visibilityChanged()
{
    backgroundDirty = true;
}

void LevelMeter::parentHierarchyChanged()
{
    lookAndFeelChanged();
}

void LevelMeter::lookAndFeelChanged()
{
    if (auto* providedDrawing = dynamic_cast<LookAndFeelMethods*> (&getLookAndFeel()))
    {
        drawing = providedDrawing;
        ownLookAndFeel.reset();
    }
    else
    {
        if (ownLookAndFeel == nullptr)
            ownLookAndFeel = std::make_unique<LevelMeterLookAndFeel>();

        drawing = ownLookAndFeel.get();
    }

    // A cached background drawn by the previous drawing object would otherwise stay on screen.
    backgroundDirty = true;
}

void LevelMeter::timerCallback()
{
    if (auto* source = meterSource.get())
    {
        if (source->hasNewData() || backgroundDirty)
        {
            source->clearNewData();
            repaint();
        }
    }
    else if (backgroundDirty)
    {
        repaint();
    }
}

void LevelMeter::mouseDown (const juce::MouseEvent& event)
{
    if (meterSource.get() == nullptr)
        return;

    const auto inner = drawing->getMeterInnerBounds (getLocalBounds().toFloat(), flags);

    if (! event.mods.isLeftButtonDown())
        return;

    const auto position = event.getPosition();
    const auto modifiers = event.mods;

    const auto clipChannel = drawing->hitTestClipIndicator (position, flags, inner, meterSource.get());

    if (clipChannel >= 0)
    {
        clickListeners.call ([&] (Listener& l) { l.clipIndicatorClicked (this, clipChannel, modifiers); });

        if (onClipIndicatorClick)
            onClipIndicatorClick (*this, clipChannel, modifiers);
    }

    const auto numberChannel = drawing->hitTestMaxNumber (position, flags, inner, meterSource.get());

    if (numberChannel >= 0)
    {
        clickListeners.call ([&] (Listener& l) { l.peakNumberClicked (this, numberChannel, modifiers); });

        if (onPeakNumberClick)
            onPeakNumberClick (*this, numberChannel, modifiers);
    }
}
