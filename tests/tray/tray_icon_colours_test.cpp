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
    // On a light taskbar the square is light and the number dark, as Windows draws its own icons
    // there; on a dark one the other way round.
    EXPECT_GT(RelativeLuminance(TrayIconColoursFor(true).background), 0.8);
    EXPECT_LT(RelativeLuminance(TrayIconColoursFor(false).background), 0.05);
}

}  // namespace
