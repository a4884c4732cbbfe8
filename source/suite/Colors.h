#pragma once

#include <juce_graphics/juce_graphics.h>

namespace suite
{

/**
    One entry of the maker's palette: an ARGB value fixed at compile time.

    juce::Colour has no constexpr constructor, so a namespace-scope juce::Colour would be built by
    dynamic initialisation, in an order that differs between source files. Palette entries are
    constant-initialised instead and become a juce::Colour wherever one is needed, so code running
    during static initialisation can read them safely.
*/
struct PaletteColour
{
    juce::uint32 argb;

    operator juce::Colour() const noexcept  { return juce::Colour (argb); }
};

/** The named colours every Pelmar plug-in draws with. */
namespace Colors
{
    inline constexpr PaletteColour background   { 0xff0a0a0a };
    inline constexpr PaletteColour panelDark    { 0xff151515 };
    inline constexpr PaletteColour panelLight   { 0xff1a1a1a };
    inline constexpr PaletteColour border       { 0xff2a2a2a };
    inline constexpr PaletteColour text         { 0xffe8e8e8 };
    inline constexpr PaletteColour textDim      { 0xff909090 };
    inline constexpr PaletteColour accent       { 0xff4a9eff };
    inline constexpr PaletteColour accentBright { 0xff7ab8ff };
    inline constexpr PaletteColour accentGlow   { 0xff2080ff };
    inline constexpr PaletteColour meterGreen   { 0xff00ff88 };
    inline constexpr PaletteColour meterYellow  { 0xffffcc00 };
    inline constexpr PaletteColour meterRed     { 0xffff3344 };
    inline constexpr PaletteColour waveform     { 0xff4a9eff };
}

} // namespace suite
