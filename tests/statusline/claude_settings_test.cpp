#include "statusline/claude_settings.h"

#include <gtest/gtest.h>

#include "platform/system.h"
#include "platform/whole_file.h"
#include "support/temp_dir.h"

namespace {

const std::wstring kExe = L"C:\\Program Files\\Tidewell\\Tidewell.exe";
const std::string E = ProgramStatusLineEntry(kExe);

TEST(ProgramStatusLineEntry, EscapesThePathInsideTheCommand) {
    EXPECT_EQ(E, R"("statusLine": {"type": "command", "command": "\"C:\\Program Files\\Tidewell\\)"
                 R"(Tidewell.exe\" --statusline", "padding": 0})");
    EXPECT_EQ(
        ProgramStatusLineEntry(L"/opt/a\"b/tidewell"),
        R"("statusLine": {"type": "command", "command": "\"/opt/a\"b/tidewell\" --statusline", "padding": 0})");
}

TEST(EditStatusLine, PlacesAndRemovesTheEntry) {
    struct Case {
        std::string before;
        bool install;
        std::string after;
    };
    const Case cases[] = {
        {"{}", true, "{\n  " + E + "}"},
        {"{\n}", true, "{\n  " + E + "\n}"},
        {R"({"model": "opus"})", true, "{\"model\": \"opus\",\n  " + E + "}"},
        {"{\n  \"model\": \"opus\"\n}", true, "{\n  \"model\": \"opus\",\n  " + E + "\n}"},
        {R"({"model": "opus", "statusLine": {"type": "command", "command": "x"}})", false,
         R"({"model": "opus"})"},
        {R"({"statusLine": {"type": "command", "command": "x"}, "model": "opus"})", false,
         R"({ "model": "opus"})"},
        {R"({"statusLine": {"command": "a}b\"}"}})", false, "{}"},
        {"{\r\n\t\"model\": \"opus\",\r\n\t\"statusLine\": {\"command\": \"x\"}\r\n}", false,
         "{\r\n\t\"model\": \"opus\"\r\n}"},
        {"", true, "{" + E + "}"},
        {"   ", true, "{" + E + "}"},
        {"\xEF\xBB\xBF{\"a\": 1}", true, "\xEF\xBB\xBF{\"a\": 1,\n  " + E + "}"},
        {R"({"model": "opus"})", false, R"({"model": "opus"})"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EditStatusLine(c.before, c.install, E), c.after) << c.before;
    }
}

TEST(EditStatusLine, ConnectAndDisconnectGiveBackTheOriginalBytes) {
    const std::string originals[] = {
        "{}",
        "{\n}",
        R"({"model": "opus"})",
        "{\n  \"model\": \"opus\"\n}\n",
        "{\r\n\t\"model\": \"opus\",\r\n\t\"hooks\": {}\r\n}",
        "\xEF\xBB\xBF{\"a\": 1}",
    };
    for (const std::string& original : originals) {
        std::string text = original;
        for (int cycle = 0; cycle < 3; ++cycle) {
            text = EditStatusLine(text, true, E);
            text = EditStatusLine(text, true, E);  // connecting twice leaves one entry
            EXPECT_EQ(text.find("statusLine"), text.rfind("statusLine")) << original;
            text = EditStatusLine(text, false, E);
            EXPECT_EQ(text, original);
        }
    }
    // Another program's entry is replaced where it stood in a pretty-printed file.
    const std::string other =
        "{\n  \"model\": \"opus\",\n  \"statusLine\": {\"command\": \"x\"}\n}";
    EXPECT_EQ(EditStatusLine(other, true, E), "{\n  \"model\": \"opus\",\n  " + E + "\n}");
}

TEST(FindStatusLineEntry, NeedsAnObjectThatCloses) {
    const std::string text = R"({"a": 1, "statusLine" : {"x": {"y": "}"}}, "b": 2})";
    const StatusLineEntry entry = FindStatusLineEntry(text);
    ASSERT_TRUE(entry.found);
    EXPECT_EQ(text.substr(entry.start, entry.end - entry.start),
              R"("statusLine" : {"x": {"y": "}"}})");
    EXPECT_FALSE(FindStatusLineEntry(R"({"statusLine": {"type": "command")").found);
    EXPECT_FALSE(FindStatusLineEntry("{}").found);
}

TEST(FindStatusLineEntry, IgnoresMentionsThatAreNotTheKeyOfAnObject) {
    // Taking the next "{" here would cut out the user's hooks.
    const std::string nullValue = R"({"statusLine": null, "hooks": {"Stop": []}})";
    EXPECT_FALSE(FindStatusLineEntry(nullValue).found);
    EXPECT_EQ(EditStatusLine(nullValue, false, E), nullValue);
    const std::string mention =
        R"({"//": "statusLine", "permissions": {"allow": []}, "statusLine": {"command": "x"}})";
    const StatusLineEntry entry = FindStatusLineEntry(mention);
    ASSERT_TRUE(entry.found);
    EXPECT_EQ(mention.substr(entry.start), R"("statusLine": {"command": "x"}})");
}

// Only a member of the top-level object is the entry; everything else is left byte for byte.
TEST(EditStatusLine, TouchesOnlyTheTopLevelMember) {
    struct Case {
        std::string before;
        StatusLineState state;
        std::string connected;
        std::string disconnected;
    };
    const std::string nested = R"({"env": {"statusLine": {"command": "in"}}, "model": "opus"})";
    const std::string inString = R"({"note": "\"statusLine\": {\"a\": 1}"})";
    const std::string quoteInKey = R"({"a\"statusLine": {"command": "x"}})";
    const std::string escapedKey = R"({"status\u004Cine": {"command": "x"}, "b": 1})";
    const std::string both =
        R"({"env": {"statusLine": {"command": "in"}}, "statusLine": {"command": "top"}})";
    const Case cases[] = {
        {nested, kNoStatusLine,
         R"({"env": {"statusLine": {"command": "in"}}, "model": "opus",)"
         "\n  " +
             E + "}",
         nested},
        {inString, kNoStatusLine, inString.substr(0, inString.size() - 1) + ",\n  " + E + "}",
         inString},
        {quoteInKey, kNoStatusLine, quoteInKey.substr(0, quoteInKey.size() - 1) + ",\n  " + E + "}",
         quoteInKey},
        {escapedKey, kOtherStatusLine, "{" + E + R"(, "b": 1})", R"({ "b": 1})"},
        {both, kOtherStatusLine, R"({"env": {"statusLine": {"command": "in"}}, )" + E + "}",
         R"({"env": {"statusLine": {"command": "in"}}})"},
        // A repeated key: the last one is the one Claude Code reads.
        {R"({"statusLine": {"command": "a"}, "statusLine": {"command": "b"}})", kOtherStatusLine,
         R"({"statusLine": {"command": "a"}, )" + E + "}", R"({"statusLine": {"command": "a"}})"},
        {R"({"statusLine": null})", kNoStatusLine, "{" + E + "}", R"({"statusLine": null})"},
        {"\xEF\xBB\xBF{\"statusLine\": {\"command\": \"x\"}}\r\n", kOtherStatusLine,
         "\xEF\xBB\xBF{" + E + "}\r\n", "\xEF\xBB\xBF{}\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StatusLineStateOf(c.before), c.state) << c.before;
        EXPECT_EQ(EditStatusLine(c.before, true, E), c.connected) << c.before;
        EXPECT_EQ(EditStatusLine(c.before, false, E), c.disconnected) << c.before;
        EXPECT_EQ(StatusLineStateOf(c.connected), kOwnStatusLine) << c.before;
    }
}

TEST(EditStatusLine, LeavesWhatIsNotAJsonObjectAlone) {
    const std::string texts[] = {
        "[1, 2]",
        R"({"statusLine": {"command": "x"},})",
        R"({"model": "opus", "statusLine": {"command": "x"})",
        "{\"statusLine\": {\"command\": \"x\"}} trailing",
        "\"statusLine\": {}",
        "garbage }",
    };
    for (const std::string& text : texts) {
        EXPECT_FALSE(FindStatusLineEntry(text).found) << text;
        EXPECT_EQ(StatusLineStateOf(text), kNoStatusLine) << text;
        EXPECT_EQ(EditStatusLine(text, true, E), text);
        EXPECT_EQ(EditStatusLine(text, false, E), text);
    }
}

TEST(DisconnectStatusLine, PutsBackTheEntryTheProgramTookOver) {
    const std::string theirs = R"({"statusLine": {"command": "bash line.sh"}})";
    const std::string connected = EditStatusLine(theirs, true, E);
    EXPECT_EQ(DisconnectStatusLine(connected, theirs), theirs);
    // Nothing to put back: the entry goes.
    EXPECT_EQ(DisconnectStatusLine(connected, "{}"), "{}");
    EXPECT_EQ(DisconnectStatusLine(connected, ""), "{}");
    EXPECT_EQ(DisconnectStatusLine(connected, "{\"statusLine\": {\"command\": \"x\"},}"), "{}");
    EXPECT_EQ(DisconnectStatusLine(connected, connected), "{}");
    // Only the program's entry is swapped back; another one is removed as asked.
    const std::string other = R"({"statusLine": {"command": "other"}})";
    EXPECT_EQ(DisconnectStatusLine(other, theirs), "{}");
}

TEST(StatusLineUpdateFailure, SaysWhyTheFileWasLeftAlone) {
    EXPECT_EQ(StatusLineUpdateFailure({StatusLineUpdate::kFailed, {}}),
              L"Could not write .claude\\settings.json.");
    EXPECT_EQ(StatusLineUpdateFailure({StatusLineUpdate::kNotJsonObject, {}}),
              L"Claude Code's settings.json is not a JSON object, so Tidewell left it unchanged.");
    EXPECT_EQ(
        StatusLineUpdateFailure({StatusLineUpdate::kNotJsonObject, "a trailing comma on line 4"}),
        L"Claude Code's settings.json is not valid JSON (a trailing comma on line 4), so "
        L"Tidewell left it unchanged.");
}

TEST(StatusLineStateOf, TellsWhoseEntryItIs) {
    EXPECT_EQ(StatusLineStateOf(""), kNoStatusLine);
    EXPECT_EQ(StatusLineStateOf(R"({"model": "opus"})"), kNoStatusLine);
    EXPECT_EQ(StatusLineStateOf("{" + E + "}"), kOwnStatusLine);
    EXPECT_EQ(StatusLineStateOf(R"({"statusLine": {"command": "D:\\old\\Tidewell\\x.exe"}})"),
              kOwnStatusLine);
    EXPECT_EQ(
        StatusLineStateOf(R"({"statusLine": {"command": "\"Z:\\b\\tidewell.exe\" --statusline"}})"),
        kOwnStatusLine);
    EXPECT_EQ(StatusLineStateOf(R"({"statusLine": {"command": "~/.claude/statusline.sh"}})"),
              kOtherStatusLine);
}

class ClaudeSettingsFile : public ::testing::Test {
protected:
    TempDir dir;
    std::wstring path = dir.File(".claude/settings.json");
    std::wstring backup = dir.File(".claude/settings.json.tidewell-backup");

    void Write(const std::string& bytes) { WriteBytes(PathFromWide(path), bytes); }
    std::string Read() { return ReadWholeFile(path); }
};

TEST_F(ClaudeSettingsFile, ConnectingCreatesTheFileAndFolder) {
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, true, kExe));
    EXPECT_EQ(Read(), "{\n  " + E + "\n}");
    EXPECT_FALSE(std::filesystem::exists(PathFromWide(backup)));
}

TEST_F(ClaudeSettingsFile, EveryChangeKeepsABackupOfTheFileBefore) {
    Write("{\"model\": \"opus\"}");
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, true, kExe));
    const std::string connected = Read();
    EXPECT_EQ(ReadWholeFile(backup), "{\"model\": \"opus\"}");
    EXPECT_EQ(connected, "{\"model\": \"opus\",\n  " + E + "}");
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, true, kExe));
    EXPECT_EQ(Read(), EditStatusLine(connected, true, E));
    EXPECT_EQ(ReadWholeFile(backup), connected);  // the file with the first entry
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, false, kExe));
    const std::string disconnected = Read();
    EXPECT_EQ(disconnected.find("statusLine"), std::string::npos);
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, false, kExe));  // no entry: rewritten unchanged
    EXPECT_EQ(Read(), disconnected);
    EXPECT_EQ(ReadWholeFile(backup), disconnected);
}

TEST_F(ClaudeSettingsFile, TheBackupKeepsTheReplacedStatusLineOfAnotherProgram) {
    const std::string theirs =
        "{\n  \"model\": \"opus\",\n  \"statusLine\": {\"command\": \"bash line.sh\"}\n}";
    Write(theirs);
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, true, kExe));   // replace theirs
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, false, kExe));  // switch live limits off
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, true, kExe));   // and on again
    EXPECT_EQ(ReadWholeFile(backup), theirs);
    EXPECT_EQ(StatusLineStateOf(Read()), kOwnStatusLine);
    // A backup of a file without another program's entry follows every change as before.
    WriteBytes(PathFromWide(backup), "{}");
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, false, kExe));
    EXPECT_EQ(StatusLineStateOf(ReadWholeFile(backup)), kOwnStatusLine);
}

// What the panel's button and switch do, click by click: another program's status line, taken
// over and given back, leaves the file as it was, byte for byte.
TEST_F(ClaudeSettingsFile, ConnectThenDisconnectGivesBackAnotherProgramsStatusLine) {
    const std::string originals[] = {
        R"({"model": "opus", "statusLine": {"type": "command", "command": "other-tool"}})",
        "{\r\n\t\"statusLine\": {\r\n\t\t\"command\": \"a \\\"b\\\"\"\r\n\t},\r\n\t\"model\": "
        "\"opus\"\r\n}\r\n",
        "\xEF\xBB\xBF{\"a\": [1], \"statusLine\": {\"command\": \"x\"}, \"b\": {}}",
        R"({"env": {"statusLine": {"command": "nested"}}, "statusLine": {"command": "top"}})",
        R"({"statusLine": {"command": "old"}, "x": 1, "statusLine": {"command": "new"}})",
    };
    for (const std::string& original : originals) {
        std::filesystem::remove(PathFromWide(backup));
        Write(original);
        for (int cycle = 0; cycle < 2; ++cycle) {
            ASSERT_EQ(StatusLineStateOf(Read()), kOtherStatusLine) << original;
            ASSERT_TRUE(UpdateStatusLineEntryAt(path, true, kExe));
            const std::string connected = Read();
            EXPECT_EQ(StatusLineStateOf(connected), kOwnStatusLine) << original;
            EXPECT_EQ(ReadWholeFile(backup), original);
            ASSERT_TRUE(UpdateStatusLineEntryAt(path, false, kExe));
            EXPECT_EQ(Read(), original) << cycle;
            EXPECT_EQ(ReadWholeFile(backup), connected);  // the file before the latest change
        }
    }
}

TEST_F(ClaudeSettingsFile, TheBackupIsPutBackOnlyWhileItIsStillOwed) {
    const std::string theirs = R"({"statusLine": {"command": "other-tool"}})";
    Write(theirs);
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, true, kExe));
    Write("{\"model\": \"opus\",\n  " + E + "}");  // Claude Code rewrote the file meanwhile
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, true, kExe));
    EXPECT_EQ(ReadWholeFile(backup), theirs);  // not yet given back
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, false, kExe));
    EXPECT_EQ(Read(), R"({"model": "opus",)"
                      "\n  "
                      R"("statusLine": {"command": "other-tool"}})");
    // Given back; once the user removes it by hand, a later disconnect does not revive it.
    Write("{\"model\": \"opus\"}");
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, true, kExe));
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, false, kExe));
    EXPECT_EQ(Read(), "{\"model\": \"opus\"}");
}

TEST_F(ClaudeSettingsFile, AFileThatIsNotAJsonObjectIsLeftAlone) {
    struct Case {
        std::string text;
        std::string problem;
    };
    const Case cases[] = {
        {"[1, 2]", ""},
        {"{\n  \"model\": \"opus\",\n}\n", "a trailing comma on line 3"},
        {"{\"model\": \"opus\", \"statusLine\": {\"command\": \"x\"",
         "it ends before its last value is complete"},
        {"\x01garbage", "unexpected text on line 1"},
    };
    for (const bool install : {true, false}) {
        for (const Case& c : cases) {
            Write(c.text);
            const StatusLineUpdate update = UpdateStatusLineEntryAt(path, install, kExe);
            EXPECT_EQ(update.outcome, StatusLineUpdate::kNotJsonObject) << c.text;
            EXPECT_EQ(update.problem, c.problem);
            EXPECT_EQ(Read(), c.text);
            EXPECT_FALSE(std::filesystem::exists(PathFromWide(backup)));
        }
    }
    // A blank file is no settings yet.
    Write(" \n");
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, true, kExe));
    EXPECT_EQ(Read(), "{" + E + "}");
}

TEST(ClaudeSettingsPathFor, TheFolderClaudeCodeReads) {
    const auto path = [](const std::wstring& configDir, const std::wstring& profile) {
        return PathFromWide(ClaudeSettingsPathFor(configDir, profile));
    };
    const std::filesystem::path home = PathFromWide(L"home");
    EXPECT_EQ(path(L"", L"home"), home / ".claude" / "settings.json");
    EXPECT_EQ(path(L"cfg", L"home"), PathFromWide(L"cfg") / "settings.json");
    EXPECT_EQ(path(L"one,two", L""), PathFromWide(L"one") / "settings.json");
    EXPECT_EQ(path(L",two", L"home"), PathFromWide(L"two") / "settings.json");  // no empty folder
    EXPECT_EQ(path(L" , ", L"home"), home / ".claude" / "settings.json");
    EXPECT_EQ(ClaudeSettingsPathFor(L"", L""), L"");
}

TEST_F(ClaudeSettingsFile, AnUnreadableFileIsLeftAlone) {
    std::filesystem::create_directories(PathFromWide(path));  // in the way, and not readable
    EXPECT_FALSE(UpdateStatusLineEntryAt(path, true, kExe));
    EXPECT_TRUE(std::filesystem::is_directory(PathFromWide(path)));
    EXPECT_FALSE(std::filesystem::exists(PathFromWide(backup)));
}

TEST_F(ClaudeSettingsFile, AReadOnlyFileIsNotReplaced) {
    const std::string original = "{\r\n\t\"model\": \"opus\"\r\n}\r\n";
    Write(original);
    std::filesystem::permissions(PathFromWide(path), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_FALSE(UpdateStatusLineEntryAt(path, true, kExe));
    EXPECT_EQ(Read(), original);
    std::filesystem::permissions(PathFromWide(path), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

TEST_F(ClaudeSettingsFile, NoProfileMeansNoWrite) {
    EXPECT_FALSE(UpdateStatusLineEntryAt(L"", true, kExe));
    const ScopedEnvironment profile(kProfileVariable, "");
    const ScopedEnvironment config("CLAUDE_CONFIG_DIR", nullptr);
    EXPECT_EQ(ClaudeSettingsPath(), L"");
    EXPECT_FALSE(UpdateStatusLineEntry(true));
    EXPECT_EQ(GetStatusLineState(), kNoStatusLine);
}

TEST_F(ClaudeSettingsFile, TheStateFollowsTheFileInTheProfile) {
    const ScopedEnvironment profile(kProfileVariable, dir.path().string().c_str());
    const ScopedEnvironment config("CLAUDE_CONFIG_DIR", nullptr);
    EXPECT_EQ(PathFromWide(ClaudeSettingsPath()), dir.path() / ".claude" / "settings.json");
    EXPECT_EQ(GetStatusLineState(), kNoStatusLine);
    Write(R"({"statusLine": {"type": "command", "command": "bash ~/.claude/line.sh"}})");
    EXPECT_EQ(GetStatusLineState(), kOtherStatusLine);
    ASSERT_TRUE(UpdateStatusLineEntryAt(path, true, L"C:\\Tools\\Tidewell.exe"));
    EXPECT_EQ(GetStatusLineState(), kOwnStatusLine);
}

}  // namespace
