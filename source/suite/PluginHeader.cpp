#include "PluginHeader.h"

#include "Colors.h"
#include "Fonts.h"

namespace suite
{

namespace
{
    constexpr int titleHeight = 28;
    constexpr int subtitleHeight = 16;
    constexpr int lineGap = 2;
    constexpr int textLeft = 20;
    // The text block keeps clear of the maker's name, which takes the rightmost makerWidth pixels.
    constexpr int textRightMargin = 140;
    constexpr int makerWidth = 120;

    juce::Font boldFont (float height)
    {
        return juce::Font (juce::FontOptions (height, juce::Font::plain).withStyle ("Bold"));
    }
}

PluginHeader::PluginHeader (const juce::String& titleToUse, const juce::String& subtitleToUse)
    : title (titleToUse), subtitle (subtitleToUse)
{
}

void PluginHeader::paint (juce::Graphics& g)
{
    const auto width = getWidth();
    const auto height = getHeight();

    g.setGradientFill (juce::ColourGradient (Colors::panelLight, 0.0f, 0.0f,
                                             Colors::panelDark, 0.0f, (float) height, false));
    g.fillAll();

    const auto top = (height - (titleHeight + lineGap + subtitleHeight)) / 2;
    const auto textWidth = (float) juce::jmax (0, width - textLeft - textRightMargin);

    g.setColour (Colors::text);
    g.setFont (boldFont (24.0f));
    g.drawText (title, juce::Rectangle<float> ((float) textLeft, (float) top, textWidth, (float) titleHeight),
                juce::Justification::topLeft, true);

    g.setColour (Colors::textDim);
    g.setFont (Fonts::getParamLabel());
    g.drawText (subtitle, juce::Rectangle<float> ((float) textLeft, (float) (top + titleHeight + lineGap), textWidth, (float) subtitleHeight),
                juce::Justification::topLeft, true);

    g.setColour (Colors::accent);
    g.setFont (boldFont (13.0f));
    g.drawText ("Pelmar", juce::Rectangle<float> ((float) (width - makerWidth), 0.0f, (float) makerWidth, (float) height),
                juce::Justification::centred, true);
}

} // namespace suite
