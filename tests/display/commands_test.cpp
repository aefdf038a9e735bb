// The one table from menu items and panel targets to the program's commands.
#include "display/commands.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(Commands, EveryMenuItemAndPanelTargetToItsCommand) {
    const std::pair<uint32_t, Command> menu[] = {
        {100, Command::kRefreshNow},   {101, Command::kOpenReport},
        {102, Command::kToggleAlerts}, {103, Command::kToggleAutostart},
        {106, Command::kWebsite},      {107, Command::kQuit},
        {108, Command::kShowAuto},     {109, Command::kShowClaude},
        {110, Command::kShowCodex},    {111, Command::kOpenPanel},
        {112, Command::kOpenSettings}, {113, Command::kExportHistory},
        {0, Command::kNone},           {104, Command::kNone},
        {114, Command::kNone},
    };
    for (const auto& [id, command] : menu)
        EXPECT_EQ(CommandForMenuItem(id), command) << id;

    const std::pair<int32_t, Command> panel[] = {
        {kTargetSettings, Command::kShowSettingsPage},
        {kTargetReport, Command::kOpenReport},
        {kTargetRefresh, Command::kRefreshWithFetch},
        {kTargetPin, Command::kTogglePinned},
        {kTargetClose, Command::kClosePanel},
        {kTargetBack, Command::kShowMainPage},
        {kTargetShowAuto, Command::kShowAuto},
        {kTargetShowClaude, Command::kShowClaude},
        {kTargetShowCodex, Command::kShowCodex},
        {kTargetClaudeSection, Command::kToggleClaudeSection},
        {kTargetCodexSection, Command::kToggleCodexSection},
        {kTargetKeepOpen, Command::kTogglePinned},
        {kTargetAutostart, Command::kToggleAutostart},
        {kTargetAlerts, Command::kToggleAlerts},
        {kTargetQuit, Command::kQuit},
        {kTargetResetPosition, Command::kResetPosition},
        {kTargetHistoryFolder, Command::kChooseHistoryFolder},
        {kTargetDefaultHistoryFolder, Command::kDefaultHistoryFolder},
        {kTargetConnect, Command::kToggleConnection},
        {kTargetCompact, Command::kSizeCompact},
        {kTargetNormal, Command::kSizeNormal},
        {kTargetLarge, Command::kSizeLarge},
        {kTargetNone, Command::kNone},
        {15, Command::kNone},
        {111, Command::kNone},
    };
    for (const auto& [id, command] : panel)
        EXPECT_EQ(CommandForPanelTarget(id), command) << id;
}

// Every command can be asked for from somewhere; the Refreshes differ on purpose: only the
// panel's may ask the service early.
TEST(Commands, EachCommandHasAWayInAndTheRefreshesDiffer) {
    std::set<Command> reachable;
    for (uint32_t id = 0; id < 200; ++id)
        reachable.insert(CommandForMenuItem(id));
    for (int32_t id = 0; id < 1300; ++id)  // the logins' targets too
        reachable.insert(CommandForPanelTarget(id));
    for (int c = static_cast<int>(Command::kNone); c <= static_cast<int>(Command::kQuit); ++c) {
        EXPECT_EQ(reachable.count(static_cast<Command>(c)), 1u) << c;
    }
    EXPECT_NE(CommandForMenuItem(kMenuRefreshNow), CommandForPanelTarget(kTargetRefresh));
}

// Each login's targets name its index; the ranges end where they must, so that the 101st login
// gets no target rather than another login's.
TEST(Commands, LoginTargetsNameTheirLogin) {
    const struct {
        int32_t id;
        Command command;
        std::optional<size_t> login;
    } cases[] = {
        {LoginTarget(0), Command::kToggleLogin, 0},
        {LoginTarget(1), Command::kToggleLogin, 1},
        {LoginTarget(kMaxLoginTargets - 1), Command::kToggleLogin, kMaxLoginTargets - 1},
        {LoginConnectTarget(0), Command::kToggleLoginConnection, 0},
        {LoginConnectTarget(kMaxLoginTargets - 1), Command::kToggleLoginConnection,
         kMaxLoginTargets - 1},
        {kTargetLoginFirst - 1, Command::kNone, std::nullopt},
        {kTargetLoginConnectFirst + static_cast<int32_t>(kMaxLoginTargets), Command::kNone,
         std::nullopt},
        {kTargetConnect, Command::kToggleConnection, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandForPanelTarget(c.id), c.command) << c.id;
        EXPECT_EQ(LoginOfPanelTarget(c.id), c.login) << c.id;
    }
    EXPECT_EQ(LoginTarget(kMaxLoginTargets), kTargetNone);
    EXPECT_EQ(LoginConnectTarget(kMaxLoginTargets), kTargetNone);
}

}  // namespace
