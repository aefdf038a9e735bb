// How a page taller than its window scrolls below the fixed header.
#include <gtest/gtest.h>

#include <optional>

#include "panel/panel_scroll.h"

namespace {

// The settings page at 144 DPI on a 1280 x 800 screen: 1000 high in a window of 740, header 45.
constexpr PanelViewport kTall{1000, 740, 45};
constexpr PanelViewport kFits{500, 500, 45};

TEST(PanelScroll, TheWindowIsTheWorkAreaLessTheMarginsAtMost) {
    struct Case {
        int32_t page, work, margin, expected;
    } const cases[] = {
        {500, 768, 12, 500},   // fits
        {744, 768, 12, 744},   // fits exactly
        {745, 768, 12, 744},   // one pixel too tall
        {1300, 768, 18, 732},  // the margin scales with the DPI
        {400, 10, 12, 1},      // a work area too small to hold anything: one pixel, not less
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitHeight(c.page, c.work, c.margin), c.expected) << c.page << " in " << c.work;
    }
}

TEST(PanelScroll, TheOffsetStaysBetweenTheTopAndTheEnd) {
    EXPECT_EQ(MaxScrollOffset(kTall), 260);
    EXPECT_EQ(MaxScrollOffset(kFits), 0);
    EXPECT_EQ(MaxScrollOffset(PanelViewport{400, 500, 45}), 0);  // shrunk below the window
    struct Case {
        PanelViewport view;
        int32_t offset, expected;
    } const cases[] = {
        {kTall, -1, 0},    {kTall, 0, 0},  {kTall, 260, 260},
        {kTall, 261, 260}, {kFits, 30, 0},  // a page that shrank to fit goes back to the top
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampScrollOffset(c.view, c.offset), c.expected);
}

TEST(PanelScroll, TheWheelMovesLinesOrAPageAndStopsAtTheEnds) {
    struct Case {
        const char* name;
        int32_t offset, delta;
        uint32_t lines;
        int32_t expected;
    } const cases[] = {
        {"a notch towards the user: three lines of 30 down", 0, -120, 3, 90},
        {"a notch away: up", 100, 120, 3, 10},
        {"away at the top stays", 0, 120, 3, 0},
        {"towards at the end stays", 260, -120, 3, 260},
        {"stops at the end", 200, -120, 3, 260},
        {"a fine wheel's part of a notch moves in proportion", 0, -40, 3, 30},
        {"no lines a notch: no scrolling", 50, -120, 0, 50},
        {"lines beyond the visible part: one visible part", 0, -120, 100, 260},
        {"one screen at a time: the part below the header", 300 - 300, -120, kWheelScrollsPage,
         260},
        {"one screen up", 260, 120, kWheelScrollsPage, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WheelScrollOffset(kTall, c.offset, c.delta, c.lines, 30), c.expected) << c.name;
    }
    // A page that scrolls by less than a screen: a screen's step lands on the end.
    EXPECT_EQ(WheelScrollOffset(PanelViewport{900, 740, 45}, 0, -120, kWheelScrollsPage, 30), 160);
    EXPECT_EQ(WheelScrollOffset(kFits, 0, -120, 3, 30), 0);
}

// The keyboard's focus brings its target into view below the header, with a margin, moving the
// page as little as it can.
TEST(PanelScroll, TheFocusedTargetComesIntoView) {
    struct Case {
        const char* name;
        int32_t offset;
        PanelRect target;
        int32_t expected;
    } const cases[] = {
        {"already in view: no move", 100, {0, 400, 300, 440}, 100},
        {"in view with its margin exactly at the bottom", 0, {0, 700, 300, 734}, 0},
        {"one pixel beyond: moves by one", 0, {0, 700, 300, 735}, 1},
        {"below: its bottom edge comes up to the margin", 0, {0, 900, 300, 950}, 216},
        {"the last one (Quit): the end", 0, {0, 950, 300, 990}, 256},
        {"above, within the first screen: back to the top", 200, {0, 200, 300, 240}, 0},
        {"just below the header with its margin: no move", 149, {0, 200, 300, 240}, 149},
        {"the first one: back to the top", 200, {0, 50, 300, 80}, 0},
        {"in the header: any offset", 180, {250, 3, 280, 40}, 180},
        {"taller than the view: its top shows", 0, {0, 100, 300, 900}, 49},
        {"an offset out of range is clamped first", 999, {0, 900, 300, 950}, 260},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OffsetShowing(kTall, c.offset, c.target, 6), c.expected) << c.name;
    }
    EXPECT_EQ(OffsetShowing(kFits, 0, PanelRect{0, 450, 300, 490}, 6), 0);
    // Further down a long page, going up moves as little as it can: the top to the margin.
    const PanelViewport longPage{2000, 740, 45};
    EXPECT_EQ(OffsetShowing(longPage, 1000, PanelRect{0, 1000, 300, 1040}, 6), 949);
    EXPECT_EQ(OffsetShowing(longPage, 1000, PanelRect{0, 1051, 300, 1090}, 6), 1000);
    // The first screen's edge: a target that ends with its margin at the window's bottom goes to
    // the top, one a pixel lower only as far as it must.
    EXPECT_EQ(OffsetShowing(longPage, 1000, PanelRect{0, 690, 300, 734}, 6), 0);
    EXPECT_EQ(OffsetShowing(longPage, 1000, PanelRect{0, 691, 300, 735}, 6), 640);
}

// Hit tests and accessible rectangles: the header stays put, the rest moves with the offset.
TEST(PanelScroll, WindowAndPageCoordinates) {
    EXPECT_EQ(PageY(kTall, 100, 44), 44);   // in the header
    EXPECT_EQ(PageY(kTall, 100, 45), 145);  // the first row below it
    EXPECT_EQ(PageY(kTall, 0, 300), 300);
    EXPECT_EQ(ViewRect(kTall, 100, PanelRect{250, 3, 280, 40}), (PanelRect{250, 3, 280, 40}));
    EXPECT_EQ(ViewRect(kTall, 100, PanelRect{0, 950, 300, 990}), (PanelRect{0, 850, 300, 890}));
    EXPECT_EQ(ViewRect(kTall, 0, PanelRect{0, 45, 300, 90}), (PanelRect{0, 45, 300, 90}));
    // What a screen reader hears as off screen: nothing of it shown.
    struct Case {
        int32_t offset;
        PanelRect rect;
        bool expected;
    } const cases[] = {
        {0, {250, 3, 280, 40}, true},      // the header, always
        {0, {0, 739, 300, 780}, true},     // its top pixel row shows
        {0, {0, 740, 300, 780}, false},    // starts at the window's bottom
        {100, {0, 100, 300, 146}, true},   // one pixel row below the header
        {100, {0, 100, 300, 145}, false},  // ends at the header's bottom, under it
        {260, {0, 950, 300, 990}, true},   // the last, at the end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PartlyInView(kTall, c.offset, c.rect), c.expected) << c.rect.top;
    }
}

TEST(PanelScroll, TheThumbRunsBelowTheHeaderInProportion) {
    EXPECT_EQ(ScrollThumb(kFits, 0, 495, 4, 3, 30), std::nullopt);
    // The track is 695 long and stands for 955 of page: the thumb is 505 long.
    EXPECT_EQ(ScrollThumb(kTall, 0, 495, 4, 3, 30), (PanelRect{488, 45, 492, 550}));
    EXPECT_EQ(ScrollThumb(kTall, 260, 495, 4, 3, 30), (PanelRect{488, 235, 492, 740}));
    EXPECT_EQ(ScrollThumb(kTall, 130, 495, 4, 3, 30), (PanelRect{488, 140, 492, 645}));
    // A very long page: never shorter than the minimum, and still ending at the track's end.
    const PanelViewport longPage{20000, 740, 45};
    EXPECT_EQ(ScrollThumb(longPage, 0, 495, 4, 3, 30), (PanelRect{488, 45, 492, 75}));
    EXPECT_EQ(ScrollThumb(longPage, MaxScrollOffset(longPage), 495, 4, 3, 30),
              (PanelRect{488, 710, 492, 740}));
}

}  // namespace
