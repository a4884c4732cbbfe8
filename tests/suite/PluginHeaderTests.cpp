#include "PaintTestHelpers.h"

#include "suite/PluginHeader.h"

using paint_test::inkBounds;
using paint_test::pixelIs;

namespace
{
    const juce::Colour panelLight { 0xff1a1a1a };
    const juce::Colour panelDark { 0xff151515 };

    int brightest (juce::Colour c)  { return juce::jmax (c.getRed(), c.getGreen(), c.getBlue()); }

    // Grey text on the near-black gradient: the title is drawn in 0xe8 grey, the subtitle in 0x90.
    bool isGreyInk (juce::Colour c)   { return brightest (c) > 0x40 && c.getBlue() - c.getRed() < 0x10; }
    bool isTitleInk (juce::Colour c)  { return brightest (c) > 0xa0 && c.getBlue() - c.getRed() < 0x10; }
    bool isAccentInk (juce::Colour c) { return c.getBlue() - c.getRed() > 0x30; }

    int brightestIn (const juce::Image& image, juce::Rectangle<int> area)
    {
        int result = 0;

        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                result = juce::jmax (result, brightest (image.getPixelAt (x, y)));

        return result;
    }

    juce::Image paintHeader (const juce::String& title, int width, int height)
    {
        suite::PluginHeader header (title, "Look-Ahead Limiter");
        header.setSize (width, height);
        return paint_test::paintComponent (header, juce::Colours::magenta);
    }

    testing::AssertionResult isWithin (juce::Rectangle<int> ink, juce::Rectangle<int> box)
    {
        if (! ink.isEmpty() && box.contains (ink))
            return testing::AssertionSuccess();

        return testing::AssertionFailure() << "ink " << ink.toString() << " is not inside " << box.toString();
    }
}

TEST (PluginHeader, FillsAGradientFromPanelLightAtTheTopToPanelDarkAtTheBottom)
{
    for (const auto height : { 55, 30, 120 })
    {
        SCOPED_TRACE ("height " + std::to_string (height));
        const auto image = paintHeader ("Ceilora", 690, height);

        EXPECT_TRUE (pixelIs (image, "top row", { 5.0f, 0.0f }, panelLight, 1));
        EXPECT_TRUE (pixelIs (image, "bottom row", { 5.0f, (float) height - 1.0f }, panelDark, 1));
        EXPECT_TRUE (pixelIs (image, "bottom right corner", { 689.0f, (float) height - 1.0f }, panelDark, 1));
    }
}

TEST (PluginHeader, PlacesTitleSubtitleAndMakerInTheirBoxes)
{
    // At the editor's 690 x 55 the title box is (20, 4, 530, 28), the subtitle box (20, 34, 530, 16)
    // and the maker's box (570, 0, 120, 55).
    const auto image = paintHeader ("Ceilora", 690, 55);

    const auto title = inkBounds (image, { 0, 0, 570, 33 }, isTitleInk);
    EXPECT_TRUE (isWithin (title, { 20, 4, 530, 28 }));
    EXPECT_LE (title.getX(), 23) << "the title starts at the left edge of its box";
    EXPECT_LE (title.getY(), 10) << "the title sits at the top of its box";
    EXPECT_NEAR (brightestIn (image, title), 0xe8, 2) << "the title is drawn in the main text colour";

    const auto subtitle = inkBounds (image, { 0, 33, 570, 22 }, isGreyInk);
    EXPECT_TRUE (isWithin (subtitle, { 20, 34, 530, 16 }));
    EXPECT_LE (subtitle.getX(), 22);
    EXPECT_GT (subtitle.getWidth(), 80) << "the whole description is drawn";
    EXPECT_NEAR (brightestIn (image, subtitle), 0x90, 3) << "the subtitle is drawn in the dim text colour";

    const auto maker = inkBounds (image, image.getBounds(), isAccentInk);
    EXPECT_TRUE (isWithin (maker, { 570, 0, 120, 55 }));
    EXPECT_NEAR (maker.getCentreX(), 630, 2) << "the maker's name is centred in the rightmost 120 pixels";
    EXPECT_NEAR (maker.getCentreY(), 27, 3) << "the maker's name is centred vertically";
}

TEST (PluginHeader, KeepsTextOutOfTheMakersCorner)
{
    struct Case
    {
        const char* description;
        const char* title;
        int width;
        juce::Rectangle<int> titleBox;  // empty when the title must not be drawn at all
    };

    const Case cases[] {
        { "a title too long for its box", "Ceilora Ceilora Ceilora Ceilora Ceilora Ceilora", 690, { 20, 4, 530, 28 } },
        { "a header 160 pixels wide", "Ceilora", 160, {} },
    };

    for (const auto& testCase : cases)
    {
        SCOPED_TRACE (testCase.description);
        const auto image = paintHeader (testCase.title, testCase.width, 55);
        const auto makerBox = juce::Rectangle<int> (testCase.width - 120, 0, 120, 55);

        const auto text = inkBounds (image, image.getBounds().withRight (makerBox.getX()), isGreyInk);

        if (testCase.titleBox.isEmpty())
            EXPECT_TRUE (text.isEmpty()) << "text drawn at " << text.toString();
        else
            EXPECT_TRUE (isWithin (text, testCase.titleBox.getUnion ({ 20, 34, 530, 16 })));

        EXPECT_TRUE (isWithin (inkBounds (image, image.getBounds(), isAccentInk), makerBox));
    }
}
