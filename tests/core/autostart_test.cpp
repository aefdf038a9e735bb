#include "core/autostart.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StartupApproval, TheFirstBytesLowestBitSaysDisabled) {
    const struct {
        std::string data;
        bool disables;
    } cases[] = {
        {"", false},  // nothing to go by: the Run key rules
        {std::string("\x02\0\0\0\0\0\0\0\0\0\0\0", 12),
         false},  // enabled, as Task Manager writes it
        {std::string("\x03\0\0\0\xd4\x0d\x43\x8d\xc8\x3b\xd9\x01", 12),
         true},  // disabled, with its time
        {std::string("\x06\0\0\0", 4), false},
        {std::string("\x07\0\0\0", 4), true},
        {std::string(1, '\0'), false},
        {std::string(1, '\x01'), true},
        {std::string(1, '\xff'), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartupApprovalDisables(c.data), c.disables)
            << static_cast<int>(c.data.empty() ? -1 : c.data[0]);
    }
}

TEST(StartupApproval, TheEnabledMarkIsTaskManagersOwn) {
    EXPECT_EQ(StartupApprovalEnabled(), std::string_view("\x02\0\0\0\0\0\0\0\0\0\0\0", 12));
    EXPECT_FALSE(StartupApprovalDisables(StartupApprovalEnabled()));
}

}  // namespace
