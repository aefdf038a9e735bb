// The POSIX settings file: where it lives and its exact text.
#include <gtest/gtest.h>

#include "platform/whole_file.h"
#include "core/settings.h"
#include "platform/system.h"
#include "support/temp_dir.h"

namespace {

TEST(SettingsPosix, LivesUnderXdgConfigHomeWhichIsCreated) {
    TempDir dir;
    SetEnvironment("XDG_CONFIG_HOME", (dir.path() / "config").c_str());
    SettingsStore store(LoadSettings());
    Settings& settings = store.values();
    EXPECT_EQ(settings.configPath, dir.File("config/tidewell/config.ini"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "config" / "tidewell"));
    settings.maxblock = 1234.9;
    store.Save();
    EXPECT_EQ(ReadWholeFile(settings.configPath),
              "[q]\nwelcomed=1\nmaxblock=1234\nalerts=1\nshow=auto\npinned=0\nsize=1\nsecclaude=1\n"
              "seccodex=1\n");
    settings.px = 5;
    settings.py = 6;
    store.Save();
    EXPECT_EQ(ReadWholeFile(settings.configPath),
              "[q]\nwelcomed=1\nmaxblock=1234\nalerts=1\nshow=auto\npinned=0\nsize=1\nsecclaude=1\n"
              "seccodex=1\npx=5\npy=6\n");
    SetEnvironment("XDG_CONFIG_HOME", nullptr);
}

TEST(SettingsPosix, FallsBackToHomeDotConfig) {
    TempDir dir;
    SetEnvironment("XDG_CONFIG_HOME", nullptr);
    const std::string savedHome = getenv("HOME") ? getenv("HOME") : "";
    SetEnvironment("HOME", dir.path().c_str());
    EXPECT_EQ(ProgramDataFolder(), dir.File(".config/tidewell"));
    SetEnvironment("HOME", nullptr);
    EXPECT_EQ(ProgramDataFolder(), L"");
    EXPECT_EQ(LoadSettings().configPath, L"");  // no folder at all: defaults, nothing saved
    SetEnvironment("HOME", savedHome.c_str());
}

// The tray saves after every refresh; only a change reaches the disk.
TEST(SettingsPosix, AnUnchangedSettingIsNotWrittenAgain) {
    TempDir dir;
    const ScopedEnvironment config("XDG_CONFIG_HOME", (dir.path() / "config").c_str());
    SettingsStore store(LoadSettings());
    Settings& settings = store.values();
    store.SaveIfChanged();
    EXPECT_FALSE(std::filesystem::exists(PathFromWide(settings.configPath)));
    settings.maxblock = 5000.4;
    store.SaveIfChanged();
    EXPECT_NE(ReadWholeFile(settings.configPath).find("maxblock=5000\n"), std::string::npos);
    std::filesystem::remove(PathFromWide(settings.configPath));
    settings.maxblock = 5000.9;  // stored the same
    store.SaveIfChanged();
    EXPECT_FALSE(std::filesystem::exists(PathFromWide(settings.configPath)));
    settings.show = L"codex";
    store.SaveIfChanged();
    EXPECT_NE(ReadWholeFile(settings.configPath).find("show=codex"), std::string::npos);
}

}  // namespace
