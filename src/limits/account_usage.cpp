#include "limits/account_usage.h"

#include <algorithm>

size_t CountLogins(const std::vector<AccountUsage>& accounts, LoginTool tool) {
    return static_cast<size_t>(std::count_if(accounts.begin(), accounts.end(),
                                             [tool](const AccountUsage& a) { return a.login.tool == tool; }));
}
