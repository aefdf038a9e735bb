#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "history/ledger_row.h"
#include "history/ledger_rule.h"

// Rows written before logins were told apart have no login. They are the usage of their place's
// default login: once that login records the same day, project and model under its name, the
// unnamed row must give way to the named one, or the day would count twice.

// The login that takes the unnamed rows of a key's place and tool; none (or an empty name) when
// the rows stay as they are.
using UnnamedOwner = std::function<std::optional<std::string>(const LedgerKey&)>;

// As PlanLedgerChange, with every unnamed row of `stored` taken as its owner's row for the
// planning: a write of that key replaces the unnamed row (which is deleted in the same change),
// a removal removes it, a row the logs give again but the plan keeps is stored under its
// login's name, and a row the logs no longer give stays unnamed. An unnamed row whose
// named twin is stored already is planned as it is.
LedgerChange PlanAdoptingLedgerChange(const std::vector<LedgerRow>& fromLogs,
                                      const std::vector<LedgerRow>& stored,
                                      const std::set<std::string>& days,
                                      const std::set<std::string>& coveredDays,
                                      const UnnamedOwner& owner);
