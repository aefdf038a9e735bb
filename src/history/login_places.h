#pragma once

#include <vector>

#include "history/history_recorder.h"
#include "history/history_rows.h"
#include "sources/login.h"

// The ledger's view of the logins the program found.

// `places` split by login: a place whose folders belong to two logins becomes two places of one
// name, each with its login's folders and name (and whether it is the default login). Folders
// no login holds stay in a place without a login. Order kept: places as given, and within one
// the logins in the order of `logins`, the folders without a login last.
std::vector<HistoryPlace> HistoryPlacesByLogin(const std::vector<HistoryPlace>& places,
                                               const std::vector<Login>& logins);

// The names of this computer's default logins, for the rows recorded before logins were told
// apart; empty for a tool without one.
DefaultAccounts DefaultAccountsOf(const std::vector<Login>& logins);
