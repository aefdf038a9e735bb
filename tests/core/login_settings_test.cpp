#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/settings.h"
#include "platform/ini.h"
#include "support/temp_dir.h"

namespace {

const std::wstring kTagA = L"0123456789abcdef";
const std::wstring kTagB = L"fedcba9876543210";

class LoginSettingsFile : public ::testing::Test {
protected:
    TempDir dir;
    std::wstring path = dir.File("config.ini");

    void Store(const std::wstring& key, const std::wstring& value) {
        IniWriteString(path, L"q", key, value);
    }
    std::wstring Stored(const std::wstring& key) {
        return IniReadString(path, L"q", key, L"<missing>", 512);
    }
};

TEST(LoginTags, StoredListReadsTolerantly) {
    const struct {
        const wchar_t* text;
        std::vector<std::wstring> tags;
    } cases[] = {
        {L"", {}},
        {L",,,", {}},
        {L"0123456789abcdef", {kTagA}},
        {L" 0123456789ABCDEF , fedcba9876543210", {kTagA, kTagB}},  // blanks, upper case
        {L"fedcba9876543210,0123456789abcdef,0123456789abcdef", {kTagA, kTagB}},  // once each
        {L"0123456789abcde", {}},                                                 // one digit short
        {L"0123456789abcdef0", {}},                                               // one too many
        {L"0123456789abcdeg,fedcba9876543210", {kTagB}},  // not hexadecimal: dropped alone
        {L"login:0123456789abcdef", {}},
        {L"0123456789abcdef;fedcba9876543210", {}},  // not the separator
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseLoginTags(c.text), c.tags) << c.text;
}

TEST(LoginTags, ToggleHidesThenShows) {
    Settings s;
    EXPECT_FALSE(IsLoginHidden(s, kTagA));
    ToggleLoginHidden(s, kTagA);
    EXPECT_TRUE(IsLoginHidden(s, kTagA));
    EXPECT_FALSE(IsLoginHidden(s, kTagB));
    ToggleLoginHidden(s, kTagB);
    ToggleLoginHidden(s, kTagA);
    EXPECT_FALSE(IsLoginHidden(s, kTagA));
    EXPECT_EQ(s.hiddenLogins, std::vector<std::wstring>{kTagB});
}

TEST(LoginTags, ALoginBlockIsRaisedOnlyToAHigherPlausibleValue) {
    const struct {
        double stored;  // 0: none yet
        std::wstring tag;
        double offered;
        bool raised;
        double after;
    } cases[] = {
        {0, kTagA, 1000, true, 1000},
        {1000, kTagA, 999, false, 1000},
        {1000, kTagA, 1000, false, 1000},
        {1000, kTagA, 1001, true, 1001},
        {0, kTagA, 0, false, 0},
        {0, kTagA, -5, false, 0},
        {0, kTagA, kMaxPlausibleBlockTokens, true, kMaxPlausibleBlockTokens},
        {0, kTagA, kMaxPlausibleBlockTokens * 2, false, 0},
        {0, L"not-a-tag", 1000, false, 0},
    };
    for (const auto& c : cases) {
        Settings s;
        if (c.stored > 0)
            s.loginMaxblocks[c.tag] = c.stored;
        EXPECT_EQ(RaiseLoginMaxblock(s, c.tag, c.offered), c.raised) << c.offered;
        const auto it = s.loginMaxblocks.find(c.tag);
        EXPECT_EQ(it == s.loginMaxblocks.end() ? 0 : it->second, c.after) << c.offered;
    }
}

TEST_F(LoginSettingsFile, AFileWithoutLoginKeysReadsAsBefore) {
    Store(L"show", L"claude");
    Store(L"maxblock", L"5000");
    const Settings s = ReadSettings(path);
    EXPECT_EQ(s.show, L"claude");
    EXPECT_EQ(s.maxblock.Load(), 5000);
    EXPECT_TRUE(s.hiddenLogins.empty());
    EXPECT_TRUE(s.loginMaxblocks.empty());
    WriteSettings(s);
    EXPECT_EQ(Stored(L"hidden"), L"<missing>") << "nothing hidden writes no key";
}

TEST_F(LoginSettingsFile, LoginValuesRoundTrip) {
    Settings s = ReadSettings(path);
    s.show = L"login:" + kTagB;
    s.hiddenLogins = {kTagB, kTagA};
    s.loginMaxblocks = {{kTagA, 1234.9}, {kTagB, 98765432109.0}};
    ASSERT_TRUE(WriteSettings(s));
    EXPECT_EQ(Stored(L"hidden"), kTagA + L"," + kTagB);
    EXPECT_EQ(Stored(L"mb." + kTagA), L"1234");
    const Settings back = ReadSettings(path);
    EXPECT_EQ(back.show, L"login:" + kTagB);
    EXPECT_EQ(back.hiddenLogins, (std::vector<std::wstring>{kTagA, kTagB}));
    EXPECT_EQ(back.loginMaxblocks,
              (std::map<std::wstring, double>{{kTagA, 1234}, {kTagB, 98765432109.0}}));

    s.show = L"highest";
    s.hiddenLogins.clear();  // the last hidden login shown again: the key goes
    ASSERT_TRUE(WriteSettings(s));
    EXPECT_EQ(Stored(L"hidden"), L"<missing>");
    EXPECT_EQ(ReadSettings(path).show, L"highest");
}

TEST_F(LoginSettingsFile, JunkLoginBlocksAreNotRead) {
    const struct {
        std::wstring key;
        const wchar_t* value;
        bool read;
        double tokens;
    } cases[] = {
        {L"mb." + kTagA, L"2500", true, 2500},
        {L"MB." + kTagA, L"2500", true, 2500},  // keys are matched without regard to case
        {L"mb." + kTagA, L"12tokens", true, 12},
        {L"mb." + kTagA, L"nan", false, 0},
        {L"mb." + kTagA, L"-1", false, 0},
        {L"mb." + kTagA, L"1000000000001", false, 0},
        {L"mb." + kTagA, L"1000000000000", true, 1e12},
        {L"mb.0123", L"2500", false, 0},  // not a tag
        {L"mb.", L"2500", false, 0},
        {L"mbx" + kTagA, L"2500", false, 0},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(std::filesystem::path(path));
        Store(c.key, c.value);
        const Settings s = ReadSettings(path);
        const auto it = s.loginMaxblocks.find(kTagA);
        EXPECT_EQ(it != s.loginMaxblocks.end(), c.read) << c.key << L"=" << c.value;
        if (it != s.loginMaxblocks.end()) {
            EXPECT_EQ(it->second, c.tokens) << c.value;
        }
    }
}

// An older program rewrites only its own keys: what this one stored survives it, and what that
// program does not know survives this one.
TEST_F(LoginSettingsFile, KeysEitherVersionDoesNotKnowAreKept) {
    Store(L"hidden", kTagA);
    Store(L"mb." + kTagA, L"700");
    Store(L"later", L"kept");
    Settings s = ReadSettings(path);
    s.size = 2;
    ASSERT_TRUE(WriteSettings(s));
    EXPECT_EQ(Stored(L"later"), L"kept");
    EXPECT_EQ(Stored(L"mb." + kTagA), L"700");
    // The older program's whole write: only the keys it knows.
    IniWriteKeys(path, L"q", {{L"size", L"0"}, {L"show", L"auto"}});
    const Settings back = ReadSettings(path);
    EXPECT_EQ(back.hiddenLogins, std::vector<std::wstring>{kTagA});
    EXPECT_EQ(back.loginMaxblocks.at(kTagA), 700);
}

TEST_F(LoginSettingsFile, OnlyChangedLoginKeysAreWritten) {
    Settings before = ReadSettings(path);
    before.loginMaxblocks = {{kTagA, 100}, {kTagB, 200}};
    before.hiddenLogins = {kTagA};
    ASSERT_TRUE(WriteSettings(before));
    Store(L"alerts", L"0");  // another process changed a key meanwhile: it is not overwritten

    Settings now = before;
    now.alerts = true;  // the same as `before`: not written
    now.loginMaxblocks.erase(kTagB);
    now.loginMaxblocks[kTagA] = 150;
    now.hiddenLogins = {kTagB};
    ASSERT_TRUE(WriteChangedSettings(now, before));
    EXPECT_EQ(Stored(L"alerts"), L"0");
    EXPECT_EQ(Stored(L"mb." + kTagA), L"150");
    EXPECT_EQ(Stored(L"mb." + kTagB), L"<missing>");
    EXPECT_EQ(Stored(L"hidden"), kTagB);
}

TEST_F(LoginSettingsFile, ALoginChangeAloneMakesASave) {
    SettingsStore store(ReadSettings(path));
    store.values().hiddenLogins = {kTagB, kTagA};
    store.SaveIfChanged();
    EXPECT_EQ(Stored(L"hidden"), kTagA + L"," + kTagB);
    RaiseLoginMaxblock(store.values(), kTagB, 4000);
    store.SaveIfChanged();
    EXPECT_EQ(Stored(L"mb." + kTagB), L"4000");
    // The same tags in another order store the same text: nothing to write.
    store.values().hiddenLogins = {kTagA, kTagB};
    std::filesystem::remove(std::filesystem::path(path));
    store.SaveIfChanged();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(path)));
}

}  // namespace
