// The tray icon's two variants against WCAG 2.1 AA: the number is text on the square, each bar
// colour a graphic that carries the level.
#include <gtest/gtest.h>

#include "support/contrast.h"
#include "tray/tray_icon.h"

namespace {

TEST(TrayIconColours, EachVariantReadsOnItsSquare) {
    for (const bool light : {false, true}) {
        const TrayIconColours c = TrayIconColoursFor(light);
        EXPECT_GE(ContrastRatio(c.text, c.background), 4.5) << light;
        for (const uint32_t bar : {c.green, c.amber, c.red}) {
            EXPECT_GE(ContrastRatio(bar, c.background), 3.0) << light << " " << bar;
        }
    }
    // The light square is light, the dark one dark: each stands apart from its own taskbar's
    // tone only through the number, as Windows' own icons do.
    EXPECT_GT(RelativeLuminance(TrayIconColoursFor(true).background), 0.8);
    EXPECT_LT(RelativeLuminance(TrayIconColoursFor(false).background), 0.05);
}

TEST(TrayIconColours, EveryLevelKeepsItsPlaceInTheLightVariant) {
    const TrayIconColours dark = TrayIconColoursFor(false);
    const TrayIconColours light = TrayIconColoursFor(true);
    const struct {
        uint32_t level;
        uint32_t onDark;
        uint32_t onLight;
    } cases[] = {
        {kIconGreen, dark.green, light.green},
        {kIconAmber, dark.amber, light.amber},
        {kIconRed, dark.red, light.red},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dark.Bar(c.level), c.onDark);
        EXPECT_EQ(light.Bar(c.level), c.onLight);
    }
}

}  // namespace
