#include "core/settings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/ini.h"
#include "platform/ini_encoding.h"
#include "platform/whole_file.h"
#include "support/temp_dir.h"

namespace {

class SettingsFile : public ::testing::Test {
protected:
    TempDir dir;
    std::wstring path = dir.File("config.ini");

    void Store(const wchar_t* key, const wchar_t* value) { IniWriteString(path, L"q", key, value); }
    std::wstring Stored(const wchar_t* key) {
        return IniReadString(path, L"q", key, L"<missing>", 512);
    }
};

TEST_F(SettingsFile, NoFileGivesTheDefaults) {
    const Settings s = ReadSettings(path);
    EXPECT_EQ(s.configPath, path);
    EXPECT_EQ(s.maxblock.Load(), 0);
    EXPECT_TRUE(s.alerts);
    EXPECT_EQ(s.show, L"auto");
    EXPECT_FALSE(s.pinned);
    EXPECT_TRUE(s.secclaude);
    EXPECT_TRUE(s.seccodex);
    EXPECT_EQ(s.size, 1);
    EXPECT_EQ(s.px, kPanelNeverMoved);
    EXPECT_EQ(s.py, kPanelNeverMoved);
}

TEST_F(SettingsFile, BooleansAreTrueOnlyForExactlyOne) {
    Store(L"alerts", L"2");
    Store(L"pinned", L"yes");
    Store(L"secclaude", L"0");
    Store(L"seccodex", L"1");
    const Settings s = ReadSettings(path);
    EXPECT_FALSE(s.alerts);
    EXPECT_FALSE(s.pinned);
    EXPECT_FALSE(s.secclaude);
    EXPECT_TRUE(s.seccodex);
}

TEST_F(SettingsFile, MaxBlockReadsLikeWtofAndSavesTruncated) {
    Store(L"maxblock", L"1234.75");
    Settings s = ReadSettings(path);
    EXPECT_EQ(s.maxblock.Load(), 1234.75);
    WriteSettings(s);
    EXPECT_EQ(Stored(L"maxblock"), L"1234");

    const std::pair<const wchar_t*, double> cases[] = {
        {L"abc", 0}, {L"12tokens", 12}, {L"  5e3", 5000}, {L"", 0}, {L"nan", 0}, {L"inf", 0},
        {L"98765432109", 98765432109.0},
        // a damaged or hand-edited value is not kept for ever: it is learned again
        {L"1e30", 0}, {L"1000000000000", 1e12}, {L"1000000000001", 0}, {L"-5", 0}, {L"-0", 0}};
    for (const auto& [text, expected] : cases) {
        Store(L"maxblock", text);
        EXPECT_EQ(ReadSettings(path).maxblock.Load(), expected) << text;
    }
}

TEST_F(SettingsFile, APanelSizeOutsideTheThreeIsNormal) {
    const std::pair<const wchar_t*, int32_t> cases[] = {
        {L"0", 0}, {L"2", 2}, {L"3", 1}, {L"-1", 1}, {L"99999", 1}};
    for (const auto& [text, expected] : cases) {
        Store(L"size", text);
        EXPECT_EQ(ReadSettings(path).size, expected) << text;
    }
}

// A first run is one that can be remembered: where the settings cannot be written, no start is
// the first, or every start would switch autostart on again and greet the user.
TEST_F(SettingsFile, TheFirstRunIsRecordedOnce) {
    EXPECT_TRUE(RecordFirstRun(path));
    EXPECT_EQ(Stored(L"welcomed"), L"1");
    EXPECT_FALSE(RecordFirstRun(path));
    EXPECT_FALSE(RecordFirstRun(L""));
    EXPECT_FALSE(RecordFirstRun(dir.File("missing-folder/config.ini")));
    WriteBytes(dir.path() / "file-not-folder", "");  // a file where the folder should be
    EXPECT_FALSE(RecordFirstRun(dir.File("file-not-folder/config.ini")));
}

// Only a missing file is a first run. A settings file cut short at any byte (a crash or a full
// disk while an older build rewrote it in place) lost "welcomed", not the user's choices: such a
// start must not greet again and switch autostart back on, and reading it must not fail.
TEST_F(SettingsFile, AFileCutAtAnyByteIsNeverAFirstRun) {
    Settings s = ReadSettings(path);
    s.maxblock = 1234567;
    s.show = L"codex";
    s.px = -1200;
    s.py = 40;
    ASSERT_TRUE(WriteSettings(s));
    IniWriteString(path, L"l", L"name0", L"Weekly \u00b7 All models");
    const std::string text = IniTextFromBytes(ReadWholeFile(path));
    ASSERT_NE(text.find("welcomed=1"), std::string::npos);
    for (const IniEncoding encoding : {IniEncoding::Utf16LeCrlf, IniEncoding::Utf8}) {
        const std::string whole = IniBytesFromText(text, encoding);
        for (size_t cut = 0; cut <= whole.size(); ++cut) {
            WriteBytes(dir.path() / "config.ini", whole.substr(0, cut));
            const Settings read = ReadSettings(path);
            EXPECT_TRUE(read.size >= 0 && read.size <= 2);
            EXPECT_FALSE(RecordFirstRun(path)) << "cut at byte " << cut;
        }
        EXPECT_EQ(ReadSettings(path).px, -1200);
    }
    std::filesystem::remove(dir.path() / "config.ini");
    EXPECT_TRUE(RecordFirstRun(path)) << "no file at all is the first run";
}

// The worker raises maxblock while the main thread saves. What is marked saved must be what was
// written: marking the later value saved would keep it out of the file for good.
TEST_F(SettingsFile, AMaxBlockRaisedDuringASaveIsSavedLater) {
    SettingsStore store(ReadSettings(path));
    // Each round ends with a raise that most likely lands while a save is writing.
    for (int round = 1; round <= 8; ++round) {
        std::atomic<bool> done{false};
        std::thread worker([&] {
            for (int i = 1; i <= 40; ++i) {
                store.values().maxblock.RaiseTo(1e6 * round + 1000.0 * i);
                std::this_thread::sleep_for(std::chrono::microseconds(300));
            }
            done = true;
        });
        while (!done) store.Save();
        worker.join();
        store.SaveIfChanged();
        EXPECT_EQ(Stored(L"maxblock"), std::to_wstring(1000000 * round + 40000)) << round;
    }
}

// A config.ini that was there but could not be read at start (a backup tool held it): the
// defaults standing in for its values are never written over the user's; what changes since is.
TEST_F(SettingsFile, AnUnreadableFileIsNotOverwrittenWithDefaults) {
    std::filesystem::create_directories(std::filesystem::path(path));  // there, but not readable
    EXPECT_TRUE(ReadSettings(path).loadedDefaultsForUnreadableFile);
    std::filesystem::remove(std::filesystem::path(path));
    EXPECT_FALSE(ReadSettings(path).loadedDefaultsForUnreadableFile) << "missing is not unreadable";

    Store(L"alerts", L"0");
    Store(L"size", L"2");
    Store(L"px", L"40");
    Store(L"py", L"50");
    Settings before;
    before.configPath = path;
    before.loadedDefaultsForUnreadableFile = true;
    SettingsStore store(before);
    store.values().maxblock.RaiseTo(5000);  // the scan learns a block; the user changes nothing
    store.SaveIfChanged();
    EXPECT_EQ(Stored(L"maxblock"), L"5000");
    EXPECT_EQ(Stored(L"alerts"), L"0");
    EXPECT_EQ(Stored(L"size"), L"2");
    EXPECT_EQ(Stored(L"px"), L"40");
    store.values().seccodex = false;  // a change of the user's own is written, alone
    store.Save();
    EXPECT_EQ(Stored(L"seccodex"), L"0");
    EXPECT_EQ(Stored(L"alerts"), L"0");
}

TEST_F(SettingsFile, LargeMaxBlockSavesAsAWhole64BitNumber) {
    Settings s = ReadSettings(path);
    s.maxblock = 98765432109.9;
    WriteSettings(s);
    EXPECT_EQ(Stored(L"maxblock"), L"98765432109");
}

TEST_F(SettingsFile, PanelPositionIsWrittenOnlyOnceMoved) {
    Settings s = ReadSettings(path);
    WriteSettings(s);
    EXPECT_EQ(Stored(L"px"), L"<missing>");
    EXPECT_EQ(Stored(L"py"), L"<missing>");
    s.px = -1200;  // a monitor left of the primary one
    s.py = 40;
    WriteSettings(s);
    EXPECT_EQ(Stored(L"px"), L"-1200");
    EXPECT_EQ(Stored(L"py"), L"40");
    const Settings back = ReadSettings(path);
    EXPECT_EQ(back.px, -1200);
    EXPECT_EQ(back.py, 40);
    s.px = s.py = kPanelNeverMoved;  // "Reset position": the next start opens by the tray again
    WriteSettings(s);
    EXPECT_EQ(Stored(L"px"), L"<missing>");
    EXPECT_EQ(Stored(L"py"), L"<missing>");
    EXPECT_EQ(ReadSettings(path).px, kPanelNeverMoved);
}

TEST_F(SettingsFile, EveryFieldRoundTrips) {
    Settings s = ReadSettings(path);
    s.maxblock = 5000000;
    s.alerts = false;
    s.show = L"Codex";  // not "codex": behaves as auto, but is kept as written
    s.pinned = true;
    s.secclaude = false;
    s.seccodex = false;
    s.size = 2;
    s.px = 10;
    s.py = 20;
    WriteSettings(s);
    const Settings back = ReadSettings(path);
    EXPECT_EQ(back.maxblock.Load(), 5000000);
    EXPECT_FALSE(back.alerts);
    EXPECT_EQ(back.show, L"Codex");
    EXPECT_TRUE(back.pinned);
    EXPECT_FALSE(back.secclaude);
    EXPECT_FALSE(back.seccodex);
    EXPECT_EQ(back.size, 2);
    EXPECT_EQ(back.px, 10);
    EXPECT_EQ(back.py, 20);
}

TEST_F(SettingsFile, SavingKeepsOtherKeysOfTheFile) {
    Store(L"welcomed", L"1");
    IniWriteString(path, L"l", L"n", L"1");
    WriteSettings(ReadSettings(path));
    EXPECT_EQ(Stored(L"welcomed"), L"1");
    EXPECT_EQ(IniReadString(path, L"l", L"n", L"", 256), L"1");
}

TEST_F(SettingsFile, NoSettingsFolderMeansDefaultsAndNoWrites) {
    Settings s = ReadSettings(L"");
    EXPECT_TRUE(s.alerts);
    s.size = 2;
    WriteSettings(s);  // must not write anywhere
    EXPECT_EQ(ReadSettings(L"").size, 1);
}

TEST(AtomicDouble, RaisesNeverLowersAcrossThreads) {
    AtomicDouble value(10);
    value.RaiseTo(5);
    EXPECT_EQ(value.Load(), 10);
    std::thread a([&] {
        for (int i = 0; i < 10000; ++i) value.RaiseTo(i);
    });
    std::thread b([&] {
        for (int i = 10000; i > 0; --i) value.RaiseTo(i * 2);
    });
    a.join();
    b.join();
    EXPECT_EQ(value.Load(), 20000);
    const AtomicDouble copy = value;  // copies take the value
    EXPECT_EQ(copy.Load(), 20000);
}

}  // namespace
