#include "core/walk_gate.h"

bool WalkGate::WalkDue(const std::vector<std::wstring>& roots, int64_t now) {
    bool due = !walked_ || now - lastWalk_ >= kFullWalkInterval || now < lastWalk_;
    if (roots != roots_) {
        roots_ = roots;
        watches_.clear();
        watches_.resize(roots.size());
        due = true;
    }
    // Every watch is asked, so that none carries an old change into the next cycle.
    for (size_t i = 0; i < roots_.size(); ++i) {
        std::unique_ptr<FolderWatch>& watch = watches_[i];
        if (!watch) {
            watch = watcher_(roots_[i]);
            due = due || watch != nullptr;  // it appeared (or is seen for the first time)
            continue;
        }
        switch (watch->Take()) {
            case FolderChange::kNone:
                break;
            case FolderChange::kChanged:
                due = true;
                break;
            case FolderChange::kLost:  // gone, or no longer watched: watched afresh once there
                due = true;
                watch = watcher_(roots_[i]);
                break;
        }
    }
    if (due) {
        walked_ = true;
        lastWalk_ = now;
    }
    return due;
}
