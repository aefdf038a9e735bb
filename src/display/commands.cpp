#include "display/commands.h"

namespace {

// Every way to ask for a command, in one table. Where the tray and the panel differ on purpose,
// they name different commands: the panel's Refresh may ask the service early (its user is
// looking at the figures), the tray's "Refresh now" only rescans; the tray's "Settings…" opens
// the panel, the panel's own Settings button turns its page.
struct Binding {
    uint32_t menuItem;  // 0: no menu item
    int32_t panelTarget;
    Command command;
};

constexpr Binding kBindings[] = {
    {kMenuOpenPanel, kTargetNone, Command::kOpenPanel},
    {kMenuOpenSettings, kTargetNone, Command::kOpenSettings},
    {0, kTargetSettings, Command::kShowSettingsPage},
    {0, kTargetBack, Command::kShowMainPage},
    {0, kTargetClose, Command::kClosePanel},
    {kMenuShowAuto, kTargetShowAuto, Command::kShowAuto},
    {kMenuShowClaude, kTargetShowClaude, Command::kShowClaude},
    {kMenuShowCodex, kTargetShowCodex, Command::kShowCodex},
    {kMenuShowHighest, kTargetNone, Command::kShowHighest},
    {kMenuToggleAutostart, kTargetAutostart, Command::kToggleAutostart},
    {kMenuToggleAlerts, kTargetAlerts, Command::kToggleAlerts},
    {0, kTargetPin, Command::kTogglePinned},
    {0, kTargetKeepOpen, Command::kTogglePinned},
    {0, kTargetClaudeSection, Command::kToggleClaudeSection},
    {0, kTargetCodexSection, Command::kToggleCodexSection},
    {0, kTargetConnect, Command::kToggleConnection},
    {0, kTargetCompact, Command::kSizeCompact},
    {0, kTargetNormal, Command::kSizeNormal},
    {0, kTargetLarge, Command::kSizeLarge},
    {0, kTargetResetPosition, Command::kResetPosition},
    {0, kTargetHistoryFolder, Command::kChooseHistoryFolder},
    {0, kTargetDefaultHistoryFolder, Command::kDefaultHistoryFolder},
    {kMenuOpenReport, kTargetReport, Command::kOpenReport},
    {kMenuExportHistory, kTargetNone, Command::kExportHistory},
    {kMenuRefreshNow, kTargetNone, Command::kRefreshNow},
    {0, kTargetRefresh, Command::kRefreshWithFetch},
    {kMenuWebsite, kTargetNone, Command::kWebsite},
    {kMenuQuit, kTargetQuit, Command::kQuit},
};

}  // namespace

Command CommandForMenuItem(uint32_t id) {
    if (LoginChoiceOfMenuItem(id))
        return Command::kShowLogin;
    for (const Binding& binding : kBindings) {
        if (binding.menuItem != 0 && binding.menuItem == id)
            return binding.command;
    }
    return Command::kNone;
}

int32_t LoginTarget(size_t index) {
    return index < kMaxLoginTargets ? kTargetLoginFirst + static_cast<int32_t>(index) : kTargetNone;
}

int32_t LoginConnectTarget(size_t index) {
    return index < kMaxLoginTargets ? kTargetLoginConnectFirst + static_cast<int32_t>(index)
                                    : kTargetNone;
}

std::optional<size_t> LoginOfPanelTarget(int32_t id) {
    for (const int32_t first : {int32_t{kTargetLoginFirst}, int32_t{kTargetLoginConnectFirst}}) {
        if (id >= first && id < first + static_cast<int32_t>(kMaxLoginTargets))
            return static_cast<size_t>(id - first);
    }
    return std::nullopt;
}

Command CommandForPanelTarget(int32_t id) {
    if (LoginOfPanelTarget(id))
        return id < kTargetLoginConnectFirst ? Command::kToggleLogin
                                             : Command::kToggleLoginConnection;
    for (const Binding& binding : kBindings) {
        if (binding.panelTarget != kTargetNone && binding.panelTarget == id)
            return binding.command;
    }
    return Command::kNone;
}

std::optional<size_t> LoginChoiceOfMenuItem(uint32_t id) {
    if (id < kMenuShowLoginFirst || id > kMenuShowLoginLast)
        return std::nullopt;
    return id - kMenuShowLoginFirst;
}
