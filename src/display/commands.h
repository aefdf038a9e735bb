#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/messages.h"

// What the user can ask of the desktop program, from the tray menu or the panel. Each command
// is one function of the program; the tables below say which menu item and which panel target
// ask for it.
enum class Command {
    kNone,
    kOpenPanel,         // show the panel on its main page beside the tray
    kOpenSettings,      // show the panel on its settings page (the tray menu's "Settings…")
    kShowSettingsPage,  // the shown panel turns to its settings page
    kShowMainPage,      // and back
    kClosePanel,
    kShowAuto,  // the number on the icon
    kShowClaude,
    kShowCodex,
    kShowHighest,  // the highest limit of any login
    kShowLogin,    // one login's number: the menu item says which (LoginChoiceOfMenuItem)
    kToggleAutostart,
    kToggleAlerts,
    kTogglePinned,
    kToggleClaudeSection,
    kToggleCodexSection,
    kToggleConnection,       // connect Claude Code's status line, or disconnect it
    kToggleLogin,            // a login shown and counted, or hidden (its target names which)
    kToggleLoginConnection,  // connect one Claude login's status line, or disconnect it
    kSizeCompact,
    kSizeNormal,
    kSizeLarge,
    kResetPosition,         // the panel opens beside the tray again, not where it was dragged
    kChooseHistoryFolder,   // pick the folder of the usage ledgers in the system's dialog
    kDefaultHistoryFolder,  // the ledgers go back to the data folder
    kOpenReport,
    kExportHistory,     // every computer's ledger as a CSV file the user names
    kRefreshNow,        // rescan at once; the service is asked only when due
    kRefreshWithFetch,  // the same, and the service may be asked 60 seconds after its last answer
    kWebsite,
    kQuit,
};

// The tray menu's item ids (the low word of WM_COMMAND). "Open Tidewell" is also what a second
// start of the program posts.
enum MenuItemId : uint32_t {
    kMenuRefreshNow = 100,
    kMenuOpenReport = 101,
    kMenuToggleAlerts = 102,
    kMenuToggleAutostart = 103,
    kMenuWebsite = 106,
    kMenuQuit = 107,
    kMenuShowAuto = 108,
    kMenuShowClaude = 109,
    kMenuShowCodex = 110,
    kMenuOpenPanel = ID_OPEN_PANEL,
    kMenuOpenSettings = 112,
    kMenuExportHistory = 113,
    kMenuShowHighest = 115,
    // One item a login in the number choice, in the order of the choices the menu was built with.
    kMenuShowLoginFirst = 120,
    kMenuShowLoginLast = 151,
};

// The panel's clickable targets.
enum PanelTargetId : int32_t {
    kTargetNone = 0,
    kTargetSettings = 1,
    kTargetReport = 2,
    kTargetRefresh = 3,
    kTargetPin = 4,
    kTargetClose = 5,
    kTargetBack = 6,
    kTargetShowAuto = 7,
    kTargetShowClaude = 8,
    kTargetShowCodex = 9,
    kTargetClaudeSection = 10,
    kTargetCodexSection = 11,
    kTargetKeepOpen = 12,
    kTargetAutostart = 13,
    kTargetAlerts = 14,
    kTargetQuit = 17,
    kTargetConnect = 40,
    kTargetCompact = 41,
    kTargetNormal = 42,
    kTargetLarge = 43,
    kTargetResetPosition = 44,
    kTargetHistoryFolder = 45,
    kTargetDefaultHistoryFolder = 46,
    // One target a login, by its index in the snapshot's accounts: its switch, and its own
    // Connect (with more than one Claude login).
    kTargetLoginFirst = 1000,
    kTargetLoginConnectFirst = 1100,
};

// How many logins have targets of their own; a login beyond has none.
inline constexpr size_t kMaxLoginTargets = 100;

// The target of the login at `index` in the snapshot's accounts, or kTargetNone past the range.
int32_t LoginTarget(size_t index);
int32_t LoginConnectTarget(size_t index);
// The index of the login a login's target names; nothing for any other target.
std::optional<size_t> LoginOfPanelTarget(int32_t id);

// The command of a menu item or a panel target; kNone for ids that are neither.
Command CommandForMenuItem(uint32_t id);
Command CommandForPanelTarget(int32_t id);

// Which of the menu's login choices an item is (0 for kMenuShowLoginFirst), or nothing.
std::optional<size_t> LoginChoiceOfMenuItem(uint32_t id);
