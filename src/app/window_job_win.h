#pragma once

#include <windows.h>

#include <functional>
#include <thread>
#include <utility>

// One piece of work that must not hold up the window thread (it reads files that may be large
// or on a share): run on a thread of its own, one at a time, its result handed back by a
// message posted to the window once it is done. Used from the window thread only.
template <typename Result>
class WindowJob {
public:
    WindowJob() = default;
    // Waits for work under way: what it touches is its own, but the process must not end
    // halfway through a file it writes.
    ~WindowJob() {
        if (thread_.joinable())
            thread_.join();
    }
    WindowJob(const WindowJob&) = delete;
    WindowJob& operator=(const WindowJob&) = delete;

    bool Running() const { return running_; }

    // Starts `work` unless a job is under way (false). `work` must own everything it uses.
    bool Start(HWND window, UINT doneMessage, std::function<Result()> work) {
        if (running_)
            return false;
        if (thread_.joinable())
            thread_.join();
        running_ = true;
        thread_ = std::thread([this, window, doneMessage, work = std::move(work)] {
            result_ = work();
            PostMessageW(window, doneMessage, 0, 0);
        });
        return true;
    }

    // On the done message: the work's result (the thread has ended).
    Result Finish() {
        if (thread_.joinable())
            thread_.join();
        running_ = false;
        return std::move(result_);
    }

private:
    std::thread thread_;
    Result result_{};
    bool running_ = false;
};
