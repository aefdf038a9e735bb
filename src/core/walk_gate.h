#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/folder_watch.h"

// Folder trees are walked again at least this often, whatever their watches say.
inline constexpr int64_t kFullWalkInterval = 600;

// Decides, cycle by cycle, whether a scanner's roots must be walked: only when something below
// one of them changed, when one appeared or went, when the roots themselves changed, and once the
// last walk is ten minutes old. Otherwise a cycle touches no file.
class WalkGate {
public:
    using Watcher = std::function<std::unique_ptr<FolderWatch>(const std::wstring& folder)>;
    explicit WalkGate(Watcher watcher = WatchFolder) : watcher_(std::move(watcher)) {}

    // True when `roots` are to be walked at `now` (Unix seconds); the walk then counts as made.
    // The watches are set before the walk, so a change during it makes the next cycle walk.
    bool WalkDue(const std::vector<std::wstring>& roots, int64_t now);

    // The same root by root: which of `roots` are to be walked at `now`. All of them when the
    // roots changed, after a failed walk and every ten minutes; otherwise those whose watch saw a
    // change, that appeared or that went.
    std::vector<bool> RootsDue(const std::vector<std::wstring>& roots, int64_t now);

    // The walk just allowed did not finish: the next cycle walks again.
    void WalkFailed() { walked_ = false; }

    // `root` was walked but not read to its end (a slow file system's share of a cycle): the next
    // cycle walks it again, whatever its watch says.
    void WalkAgain(const std::wstring& root) { again_.push_back(root); }

private:
    Watcher watcher_;
    std::vector<std::wstring> roots_;
    std::vector<std::unique_ptr<FolderWatch>> watches_;  // null: the root is missing
    std::vector<std::wstring> again_;  // roots to walk again next time
    bool walked_ = false;
    int64_t lastWalk_ = 0;
};

// `walk()` when `gate` (if any) finds the roots due at `now`, else `reuse()`: what the last walk
// found, taken again. A walk that throws is made again next cycle.
template <typename Walk, typename Reuse>
decltype(auto) WalkOrReuse(WalkGate* gate, const std::vector<std::wstring>& roots, int64_t now,
                           Walk walk, Reuse reuse) {
    if (gate && !gate->WalkDue(roots, now)) return reuse();
    try {
        return walk();
    } catch (...) {
        if (gate) gate->WalkFailed();
        throw;
    }
}
