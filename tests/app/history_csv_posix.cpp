// `tidewell --history-csv FILE` run as the real program, while a ledger it reads is held open by
// a writer (as the desktop program holds its own).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "history/history_csv.h"
#include "history/ledger_location.h"
#include "history/ledger_store.h"
#include "platform/system.h"
#include "platform/whole_file.h"
#include "support/temp_dir.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int64_t kNow = 1796911200;

// Runs the program with `args`, its settings under `config`; standard error goes to `errors`.
int RunProgram(const std::vector<std::string>& args, const fs::path& config,
               const fs::path& errors) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view name(*entry, std::strcspn(*entry, "="));
        if (name != "XDG_CONFIG_HOME" && name != "HOME" && name != "CLAUDE_CONFIG_DIR" &&
            name != "CODEX_HOME")
            environment.emplace_back(*entry);
    }
    // A home of its own, with Claude Code's default folder: this computer's rows recorded
    // before logins were told apart are that login's.
    fs::create_directories(config.parent_path() / "home" / ".claude" / "projects");
    environment.push_back("HOME=" + (config.parent_path() / "home").string());
    environment.push_back("XDG_CONFIG_HOME=" + config.string());
    std::vector<std::string> words = {TIDEWELL_EXECUTABLE};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

LedgerRow Row(const std::string& day, const std::string& model, int64_t messages, double dollars) {
    LedgerRow row;
    row.key = {day, LedgerTool::kClaude, "This computer ~/.claude", "/home/dev/app", model};
    row.totals.messages = messages;
    row.totals.input = messages * 1000;
    row.totals.cacheRead = messages * 5000;
    row.totals.dollars = dollars;
    return row;
}

TEST(HistoryCsvCommand, WritesEveryComputersHistoryWhileTheLedgerIsOpen) {
    TempDir dir;
    const fs::path config = dir.path() / "config";
    const fs::path data = config / "tidewell";
    fs::create_directories(data);
    // This computer's ledger, open for writing with its last write still in the -wal.
    LedgerOpenResult running = LedgerStore::Open(WideFromPath(data / "usage.db"), true, kNow);
    ASSERT_TRUE(running.store);
    const LedgerRow mine = Row("2026-12-09", "claude-opus-4-1", 12, 3.4);
    ASSERT_TRUE(running.store->Apply(LedgerWrite{{mine}, {}, {}}));
    {
        LedgerOpenResult other =
            LedgerStore::Open(WideFromPath(data / "usage-LAPTOP.db"), true, kNow);
        ASSERT_TRUE(other.store);
        ASSERT_TRUE(other.store->Apply(
            LedgerWrite{{Row("2026-12-08", "claude-sonnet-4-5", 3, 0.07)}, {}, {}}));
    }

    const fs::path out = dir.path() / "history.csv";
    EXPECT_EQ(RunProgram({"--history-csv", out.string()}, config, dir.path() / "err"), 0);
    EXPECT_EQ(ReadWholeFile(WideFromPath(dir.path() / "err")), "");
    const std::string machine = LedgerMachineName(ComputerName());
    EXPECT_EQ(ReadWholeFile(WideFromPath(out)),
              std::string(kHistoryCsvHeader) +
                  "\r\n2026-12-08,LAPTOP,claude,This computer ~/.claude,/home/dev/app,"
                  "claude-sonnet-4-5,3,3000,0,0,0,15000,0.07,0,\r\n2026-12-09," +
                  machine +
                  ",claude,This computer ~/.claude,/home/dev/app,claude-opus-4-1,12,12000,0,0,0,"
                  "60000,3.40,0,default\r\n");

    // What cannot be written is said in one line, with exit code 1; a missing file name is a
    // mistake of the command line (2).
    const fs::path nowhere = dir.path() / "missing" / "history.csv";
    EXPECT_EQ(RunProgram({"--history-csv", nowhere.string()}, config, dir.path() / "err"), 1);
    EXPECT_EQ(ReadWholeFile(WideFromPath(dir.path() / "err")),
              "tidewell: cannot write " + nowhere.string() + "\n");
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
    EXPECT_EQ(RunProgram({"--history-csv"}, config, dir.path() / "err"), 2);
    EXPECT_EQ(ReadWholeFile(WideFromPath(dir.path() / "err"))
                  .rfind("tidewell: --history-csv needs a file name\nUsage:\n", 0),
              0u);
}

}  // namespace
