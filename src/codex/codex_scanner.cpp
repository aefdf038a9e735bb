#include "codex/codex_scanner.h"

#include <ctime>

#include "core/log_files.h"
#include "platform/file_walk.h"
#include "platform/system.h"

namespace {

CodexWindow AsOf(CodexWindow window, int64_t now) {
    if (window.present && window.resetsAt != 0 && window.resetsAt <= now) {
        window.usedPercent = 0;  // the window has reset since the event
    }
    return window;
}

}  // namespace

CodexLimits CodexScanner::Scan(const std::wstring& sessions, int64_t now, int64_t clockNow) {
    CodexLimits limits;
    if (!PathExists(sessions)) {
        return limits;
    }
    limits.found = true;
    const int64_t cutoff = clockNow - kLogLookbackSeconds;
    WalkRegularFiles(sessions, [&](const std::wstring& path, const WalkedFile& file) {
        if (HasJsonlExtension(path) && file.lastWriteTime >= cutoff && !(stop_ && stop_->load())) {
            ReadFile(path, file.size, files_[path]);
        }
    });

    const CodexFileState* newest = nullptr;
    for (const auto& [path, state] : files_) {
        if (state.eventTime > (newest ? newest->eventTime : 0)) {
            newest = &state;
        }
    }
    if (newest) {
        limits.primary = AsOf(newest->primary, now);
        limits.secondary = AsOf(newest->secondary, now);
        limits.updatedAt = newest->eventTime;
    }
    return limits;
}

void CodexScanner::ReadFile(const std::wstring& path, uint64_t size, CodexFileState& state) {
    if (size == state.sizeSeen) {
        return;
    }
    if (size < state.consumed) {  // truncated or replaced: from the start, keeping the event time
        state.consumed = 0;
        state.sizeSeen = 0;
        state.inLongLine = false;
    }
    const AppendedRead read = ReadAppendedLines(
        path, state.consumed, size, state.inLongLine, buffer_, [&](std::string_view lines) {
            ForEachLineWith(lines, kRateLimitsKey, [&](std::string_view line, size_t at) {
                CodexEvent event;
                // A later line with the same time replaces an earlier one.
                if (ParseCodexEventLine(line, at, event) && event.time >= state.eventTime) {
                    state.eventTime = event.time;
                    state.primary = event.primary;
                    state.secondary = event.secondary;
                }
            });
        });
    if (!read.opened) {
        return;  // the size still differs, so the next scan tries again
    }
    state.consumed += read.consumed;
    state.inLongLine = read.inLongLine;
    state.sizeSeen = read.failed ? state.consumed : size;  // a failed read is tried again
}

std::wstring CodexSessionsFolder(const std::wstring& codexHome, const std::wstring& userProfile,
                                 const std::wstring& home) {
    std::filesystem::path folder;
    if (!codexHome.empty()) {
        folder = PathFromWide(codexHome);
    } else {
        folder = PathFromWide(userProfile.empty() ? home : userProfile) / ".codex";
    }
    return WideFromPath(folder / "sessions");
}

CodexLimits ScanCodexLimits(CodexScanner& scanner, int64_t now) {
    return scanner.Scan(CodexSessionsFolder(ReadEnvironment(L"CODEX_HOME"),
                                            ReadUserProfile(), ReadEnvironment(L"HOME")),
                        now, static_cast<int64_t>(std::time(nullptr)));
}
