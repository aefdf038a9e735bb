// What clicks on the tray icon do to the panel, as sequences of the shell's events.
#include <gtest/gtest.h>

#include <vector>

#include "tray/tray_click.h"

namespace {

constexpr uint32_t kDoubleClickMs = 500;
constexpr uint32_t kRelease = 0x202;  // WM_LBUTTONUP, sent besides the selections

struct Step {
    uint32_t event;
    uint32_t at;  // tick count
    TrayClickPanel panel;
    TrayClickAction expected;
};

constexpr TrayClickPanel kShut{false, false, false};
constexpr TrayClickPanel kOpen{true, false, false};
constexpr TrayClickPanel kJustHid{false, true, false};
constexpr TrayClickPanel kOpenInDialog{true, false, true};
constexpr TrayClickPanel kShutInDialog{false, false, true};

using A = TrayClickAction;

TEST(TrayClick, SequencesOfTheShellsEvents) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"a click opens, the next closes",
         {{kTraySelect, 0, kShut, A::kShow}, {kTraySelect, 3000, kOpen, A::kHide}}},
        {"the click that took the focus from the panel does not reopen it",
         {{kTraySelect, 0, kJustHid, A::kNothing}, {kTraySelect, 3000, kShut, A::kShow}}},
        {"double click on a shut panel whose second press took the focus, trailing select",
         {{kTraySelect, 0, kShut, A::kShow},
          {kRelease, 10, kOpen, A::kNothing},
          {kTrayDoubleClick, 200, kJustHid, A::kShow},
          {kTraySelect, 260, kOpen, A::kNothing}}},
        {"double click that kept the focus, no trailing select",
         {{kTraySelect, 0, kShut, A::kShow},
          {kTrayDoubleClick, 200, kOpen, A::kNothing},
          {kTraySelect, 5000, kOpen, A::kHide}}},
        {"double click on an open panel that hid at the first press",
         {{kTraySelect, 0, kJustHid, A::kNothing},
          {kTrayDoubleClick, 200, kShut, A::kShow},
          {kTraySelect, 250, kOpen, A::kNothing}}},
        {"double click on a pinned open panel",
         {{kTraySelect, 0, kOpen, A::kHide},
          {kTrayDoubleClick, 200, kShut, A::kShow},
          {kTraySelect, 250, kOpen, A::kNothing}}},
        {"a select at the double-click time after it is still its release",
         {{kTrayDoubleClick, 1000, kShut, A::kShow}, {kTraySelect, 1500, kOpen, A::kNothing}}},
        {"one millisecond later it is a click of its own",
         {{kTrayDoubleClick, 1000, kShut, A::kShow}, {kTraySelect, 1501, kOpen, A::kHide}}},
        {"only one select is taken for the release",
         {{kTrayDoubleClick, 1000, kShut, A::kShow},
          {kTraySelect, 1100, kOpen, A::kNothing},
          {kTraySelect, 1200, kOpen, A::kHide}}},
        {"across the tick count's wrap",
         {{kTrayDoubleClick, 0xFFFFFF00u, kShut, A::kShow},
          {kTraySelect, 0x40, kOpen, A::kNothing}}},
        {"the keyboard opens and never closes",
         {{kTrayKeySelect, 0, kShut, A::kShowFromKeyboard},
          {kTrayKeySelect, 5, kOpen, A::kNothing},
          {kTrayKeySelect, 3000, kJustHid, A::kShowFromKeyboard}}},
        {"with a dialog up nothing changes",
         {{kTraySelect, 0, kOpenInDialog, A::kNothing},
          {kTrayDoubleClick, 100, kShutInDialog, A::kNothing},
          {kTrayKeySelect, 200, kShutInDialog, A::kNothing},
          {kTraySelect, 3000, kShut, A::kShow}}},
        {"other events leave the panel be",
         {{kRelease, 0, kShut, A::kNothing},
          {0x200, 0, kOpen, A::kNothing},
          {0x7B, 0, kOpen, A::kNothing}}},
    };
    for (const Case& c : cases) {
        TrayClickRule rule;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            EXPECT_EQ(rule.Decide(step.event, step.panel, step.at, kDoubleClickMs), step.expected)
                << c.name << ", step " << i;
        }
    }
}

}  // namespace
