#include "core/walk_gate.h"

#include <algorithm>

bool WalkGate::WalkDue(const std::vector<std::wstring>& roots, int64_t now) {
    const std::vector<bool> due = RootsDue(roots, now);
    return std::find(due.begin(), due.end(), true) != due.end();
}

std::vector<bool> WalkGate::RootsDue(const std::vector<std::wstring>& roots, int64_t now) {
    bool all = !walked_ || now - lastWalk_ >= kFullWalkInterval || now < lastWalk_;
    if (roots != roots_) {
        roots_ = roots;
        watches_.clear();
        watches_.resize(roots.size());
        all = true;
    }
    std::vector<bool> due(roots_.size(), all);
    for (size_t i = 0; i < roots_.size(); ++i) {
        if (std::find(again_.begin(), again_.end(), roots_[i]) != again_.end()) due[i] = true;
    }
    again_.clear();
    // Every watch is asked, so that none carries an old change into the next cycle.
    for (size_t i = 0; i < roots_.size(); ++i) {
        std::unique_ptr<FolderWatch>& watch = watches_[i];
        if (!watch) {
            watch = watcher_(roots_[i]);
            if (watch) due[i] = true;  // it appeared (or is seen for the first time)
            continue;
        }
        switch (watch->Take()) {
            case FolderChange::kNone:
                break;
            case FolderChange::kChanged:
                due[i] = true;
                break;
            case FolderChange::kLost:  // gone, or no longer watched: watched afresh once there
                due[i] = true;
                watch = watcher_(roots_[i]);
                break;
        }
    }
    if (all) {
        walked_ = true;
        lastWalk_ = now;
    }
    return due;
}
