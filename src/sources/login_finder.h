#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sources/log_places.h"
#include "sources/login.h"
#include "sources/login_discovery.h"

// Keeps the logins of this computer, looking for them again every ten minutes, or sooner when
// the running WSL distributions' homes changed. Agent sessions that come and go only move
// between the logins found.
class LoginFinder {
public:
    LoginFinder(PlaceEnvironment environment, DiscoveryFiles files);

    const std::vector<Login>& Logins(int64_t now, const std::vector<WslHomes>& wslHomes,
                                     const std::vector<std::wstring>& agentRoots);
    size_t discoveries() const { return discoveries_; }  // how often it looked

private:
    PlaceEnvironment environment_;
    DiscoveryFiles files_;
    std::vector<Login> found_;   // without the agent sessions
    std::vector<Login> logins_;  // with them
    std::vector<WslHomes> wslHomes_;
    std::vector<std::wstring> agentRoots_;
    int64_t foundAt_ = 0;
    bool haveFound_ = false;
    size_t discoveries_ = 0;
};

// The homes of the running distributions among `places` (WSL's places, in order).
std::vector<WslHomes> WslHomesOf(const std::vector<WslPlace>& distributions);

// Adds the logins' configuration folders that `places` do not read yet: this computer's as
// places of their own, named by their folder, after the first `localCount` (this computer's);
// a WSL distribution's to that distribution's place. Returns the new count of this computer's
// places. The agent sessions are not a login's folder and are left to their own place.
size_t AddLoginPlaces(std::vector<LogPlace>& places, size_t localCount,
                      const std::vector<Login>& logins);
