#include "limits/refresh_worker.h"

#include <new>

#include <algorithm>
#include <ctime>
#include <optional>

#include "claude_logs/scan.h"
#include "codex/codex_scanner.h"
#include "limits/history_cycle.h"
#include "limits/limit_cache.h"
#include "limits/login_files.h"
#include "platform/system.h"
#include "platform/whole_file.h"

PlanLimits MergeLiveRows(const std::vector<LimitRow>& live, int64_t liveAt, const PlanLimits& base,
                         int64_t now, const std::function<std::wstring()>& planFromCredentials) {
    PlanLimits merged;
    merged.limits = live;
    for (LimitRow& row : merged.limits) {  // the service's word on which limit binds stays
        row.binding = std::any_of(base.limits.begin(), base.limits.end(), [&](const LimitRow& b) {
            return b.binding && b.label == row.label;
        });
    }
    for (const LimitRow& row : base.limits) {
        const bool replaced = std::any_of(live.begin(), live.end(), [&](const LimitRow& liveRow) {
            return liveRow.label == row.label;
        });
        if (!replaced) merged.limits.push_back(row);
    }
    for (LimitRow& row : merged.limits) {
        if (row.resetsAt != 0 && row.resetsAt <= now) row.percent = 0;
    }
    merged.hasLimits = true;
    merged.fromStatusLine = true;
    merged.asOf = liveAt;
    merged.extra = base.extra;
    merged.plan = base.plan.empty() ? planFromCredentials() : base.plan;
    return merged;
}

int64_t ReadNewestLive(std::map<std::wstring, LiveCacheReader>& readers,
                       const std::vector<std::wstring>& fileNames, std::vector<LimitRow>& rows,
                       int64_t now) {
    std::vector<LimitRow> newest;
    int64_t newestAt = 0;
    for (const std::wstring& name : fileNames) {
        const std::wstring path = LimitCachePath(name);
        if (path.empty())
            continue;
        LiveCacheReader& reader = readers.try_emplace(path, path).first->second;
        std::vector<LimitRow> read;
        const int64_t at = reader.Read(read, now);
        if (!read.empty() && at > newestAt) {
            newest = std::move(read);
            newestAt = at;
        }
    }
    rows.insert(rows.end(), newest.begin(), newest.end());
    return newestAt;
}

RefreshSources DefaultRefreshSources(LogScanners& scanners, AtomicDouble& maxblock,
                                     const std::atomic<bool>* stop) {
    RefreshSources sources;
    sources.fetchPlanLimits = [stop](int64_t now) { return FetchPlanLimits(now, stop); };
    sources.readLiveCache = [&scanners](std::vector<LimitRow>& rows) {
        return scanners.live.Read(rows, static_cast<int64_t>(std::time(nullptr)));
    };
    sources.planFromCredentials = [] {
        const auto path = FindClaudeCredentials();
        return path ? PlanFromCredentials(ReadWholeFile(*path)) : std::wstring();
    };
    sources.scanClaudeLogs = [&scanners, &maxblock](int64_t now) {
        return ScanClaudePlaces(scanners.claude, scanners.places, now,
                                static_cast<int64_t>(std::time(nullptr)), maxblock,
                                &scanners.claudeGate, &scanners.claudeDays);
    };
    sources.scanCodexLimits = [&scanners](int64_t now) {
        return ScanCodexPlaces(scanners.codex, scanners.places, now, &scanners.codexGate);
    };
    sources.fetchLoginLimits = [stop](const Login& login, int64_t now) {
        return FetchPlanLimitsFor(now, login.credentialsPath,
                                  LimitCachePath(ApiCacheFileName(login)), stop);
    };
    sources.loginToken = [](const Login& login) {
        return login.credentialsPath ? AccessTokenIn(ReadCredentials(*login.credentialsPath))
                                     : std::string();
    };
    sources.loginPlan = [](const Login& login) {
        return login.credentialsPath ? PlanFromCredentials(ReadCredentials(*login.credentialsPath))
                                     : std::wstring();
    };
    sources.readLoginLive = [&scanners](const Login& login, std::vector<LimitRow>& rows) {
        return ReadNewestLive(scanners.loginLive, LiveCacheFileNames(login, ReadUserProfile()),
                              rows, static_cast<int64_t>(std::time(nullptr)));
    };
    sources.primaryCredentials = [] { return FindClaudeCredentials(); };
    sources.logins = [&scanners](int64_t now) {
        return WithPrimaryLogin(scanners.places.Logins(now), FindClaudeCredentials());
    };
    // The primary login's largest block is the one the program always learned.
    const auto loginScan = [&scanners](const Login& login) -> LogScanners::LoginScan& {
        auto [it, added] = scanners.loginScans.try_emplace(login.key);
        if (added) {
            const auto seed = scanners.loginMaxblockSeeds.find(LoginFileTag(login.key));
            if (seed != scanners.loginMaxblockSeeds.end()) it->second.maxblock = seed->second;
        }
        return it->second;
    };
    sources.claudeEstimate = [&scanners, &maxblock, loginScan](const Login& login, int64_t now) {
        LogScanners::LoginScan& scan = loginScan(login);
        return EstimateLogin(scan.records, scanners.claude, login, now,
                             login.primary ? maxblock : scan.maxblock, &scan.days);
    };
    sources.claudeMaxblock = [&maxblock, loginScan](const Login& login) {
        return login.primary ? maxblock.Load() : loginScan(login).maxblock.Load();
    };
    sources.codexEstimate = [&scanners](const Login& login, int64_t now) {
        return CodexLimitsOfLogin(scanners.codex, login, now);
    };
    scanners.history.StopWhen(stop);
    sources.recordHistory = [&scanners](int64_t now, const std::wstring& historyFolder) {
        HistoryRecorder& recorder = scanners.history;
        recorder.Record(LedgerLocationNow(historyFolder),
                        HistoryPlacesAfterScan(scanners.places, scanners.claude, scanners.codex, now),
                        HistoryFilesAfterScan(scanners.claude, scanners.codex), now);
        return recorder.state();
    };
    sources.readHistorySlice = [&scanners](int64_t now, HistoryState& state) {
        const bool more = scanners.history.ReadHistorySlice(now);
        state = scanners.history.state();
        return more;
    };
    return sources;
}

RefreshWorker::RefreshWorker(RefreshSources sources, PublishedState& published,
                             const std::atomic<bool>* stop)
    : sources_(std::move(sources)), published_(published), stop_(stop) {}

void RefreshWorker::RunCycle(int64_t now, bool requested) {
    try {
        RunCycleOrThrow(now, requested);
    } catch (const std::bad_alloc&) {
        // Out of memory (a hostile log, say): this cycle publishes nothing; the next one tries
        // again, and the program stays up.
    }
}

void RefreshWorker::RunCycleOrThrow(int64_t now, bool requested) {
    // The scans fill this worker's own results; the lock is taken only to move them in, so a
    // reader never waits for a scan. They come first: what they find decides the logins (the
    // desktop app's agent sessions) and each login's estimate.
    ClaudeLogSummary claude = sources_.scanClaudeLogs(now);
    CodexLimits codex = sources_.scanCodexLimits(now);
    if (stop_ && stop_->load()) {
        return;  // a scan cut short by quitting is not the picture of the logs
    }

    const std::vector<Login> logins = sources_.logins ? sources_.logins(now) : std::vector<Login>();
    std::optional<PlanLimits> limits;
    std::vector<AccountUsage> accounts;
    if (!logins.empty()) accounts = LoginCycle(logins, now, requested);
    const auto primary = PrimaryClaudeLogin(
        logins, logins.empty() || !sources_.primaryCredentials ? std::nullopt
                                                               : sources_.primaryCredentials());
    if (primary) {
        limits = loginLimits_[logins[*primary].key].last;
    } else {
        // No Claude login (none signed in, or Codex alone): the limits are asked for as they
        // always were, which says "Sign in" without sending anything.
        if (FetchIsDue(schedule_, now, requested)) {
            limits = sources_.fetchPlanLimits(now);
            ScheduleAfterFetch(schedule_, now, *limits);
        }
        std::vector<LimitRow> live;
        const int64_t liveAt = sources_.readLiveCache(live);
        if (IsCacheFresh(live.size(), liveAt, now, kLiveCacheMaxAge)) {
            limits = MergeLiveRows(live, liveAt, limits ? *limits : lastPlanLimits_, now,
                                   sources_.planFromCredentials);
        }
    }
    accounts = WithGoneLogins(std::move(accounts), lastAccounts_);

    std::optional<HistoryState> history;
    if (sources_.recordHistory) {
        history = sources_.recordHistory(
            now, sources_.historyFolder ? sources_.historyFolder() : std::wstring());
        readingHistory_ = history->readingHistory;
    }
    if (limits) lastPlanLimits_ = *limits;
    lastAccounts_ = accounts;
    std::lock_guard<std::mutex> guard(published_.lock);
    UsageState& state = published_.state;
    state.claude = std::move(claude);
    state.codex = std::move(codex);
    if (limits) state.planLimits = std::move(*limits);
    if (history) state.history = std::move(*history);
    state.accounts = std::move(accounts);
    state.publishedAt = now;
}

void RefreshWorker::FetchOneLogin(const std::vector<Login>& logins, int64_t now, bool requested) {
    std::vector<size_t> claude;
    std::vector<FetchSchedule> schedules;
    for (size_t i = 0; i < logins.size(); ++i) {
        if (logins[i].tool != LoginTool::kClaude)
            continue;
        claude.push_back(i);
        schedules.push_back(loginLimits_[logins[i].key].schedule);
    }
    const std::optional<size_t> due = MostOverdue(schedules, now, requested);
    if (!due || !sources_.fetchLoginLimits)
        return;
    // A token is checked against those of the logins before this one only: the first holder
    // keeps it, a copy elsewhere is that login's sign-in missing.
    std::vector<std::string> tokens;
    for (size_t k = 0; k <= *due; ++k) {
        tokens.push_back(sources_.loginToken ? sources_.loginToken(logins[claude[k]])
                                             : std::string());
    }
    Login login = logins[claude[*due]];
    if (TokensHeldEarlier(tokens)[*due])
        login.credentialsPath.reset();
    LoginLimits& state = loginLimits_[login.key];
    state.last = sources_.fetchLoginLimits(login, now);
    ScheduleAfterFetch(state.schedule, now, state.last);
}

std::vector<AccountUsage> RefreshWorker::LoginCycle(const std::vector<Login>& logins, int64_t now,
                                                    bool requested) {
    FetchOneLogin(logins, now, requested);
    std::vector<AccountUsage> accounts;
    for (const Login& login : logins) {
        AccountUsage account;
        account.login = login;
        if (login.tool == LoginTool::kClaude) {
            LoginLimits& state = loginLimits_[login.key];
            std::vector<LimitRow> live;
            const int64_t liveAt = sources_.readLoginLive ? sources_.readLoginLive(login, live) : 0;
            if (IsCacheFresh(live.size(), liveAt, now, kLiveCacheMaxAge)) {
                state.last = MergeLiveRows(live, liveAt, state.last, now, [&] {
                    return sources_.loginPlan ? sources_.loginPlan(login) : std::wstring();
                });
            }
            account.planLimits = state.last;
            if (sources_.claudeEstimate)
                account.claude = sources_.claudeEstimate(login, now);
            if (sources_.claudeMaxblock)
                account.maxblock = sources_.claudeMaxblock(login);
        } else if (sources_.codexEstimate) {
            account.codex = sources_.codexEstimate(login, now);
        }
        accounts.push_back(std::move(account));
    }
    // A login no longer found forgets its schedule and figures.
    for (auto it = loginLimits_.begin(); it != loginLimits_.end();) {
        const bool found = std::any_of(logins.begin(), logins.end(), [&](const Login& l) {
            return l.tool == LoginTool::kClaude && l.key == it->first;
        });
        it = found ? std::next(it) : loginLimits_.erase(it);
    }
    return accounts;
}

const FetchSchedule* RefreshWorker::loginSchedule(const std::wstring& key) const {
    const auto it = loginLimits_.find(key);
    return it == loginLimits_.end() ? nullptr : &it->second.schedule;
}

bool RefreshWorker::RunHistorySlice(int64_t now) {
    if (!sources_.readHistorySlice || !readingHistory_) return false;
    HistoryState history;
    try {
        readingHistory_ = sources_.readHistorySlice(now, history);
    } catch (const std::bad_alloc&) {
        return readingHistory_;  // tried again at the next slice
    }
    std::lock_guard<std::mutex> guard(published_.lock);
    published_.state.history = std::move(history);
    return readingHistory_;
}
