#include "statusline/statusline_login.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::string Input(const std::string& transcript) {
    return R"({"session_id":"9b2e","transcript_path":")" + transcript +
           R"(","model":{"display_name":"Opus"}})";
}

TEST(StatusLineConfigFolder, TheEnvironmentFirstThenTheTranscript) {
    const std::set<std::wstring> folders = {L"C:\\Users\\Ann\\.claude-work", L"/home/ann/.claude-b",
                                            L"C:\\Users\\Ann\\.claude"};
    const auto isFolder = [&](const std::wstring& path) { return folders.count(path) > 0; };
    const std::string workTranscript =
        Input(R"(C:\\Users\\Ann\\.claude-work\\projects\\app\\1.jsonl)");
    struct Case {
        std::wstring env;
        std::string input;
        std::wstring folder;
    } cases[] = {
        {L"", "", L""},
        {L"C:\\Users\\Ann\\.claude-work", "", L"C:\\Users\\Ann\\.claude-work"},
        {L" /missing , /home/ann/.claude-b", "", L"/home/ann/.claude-b"},  // the first that exists
        {L"/missing", "", L""},
        {L"", workTranscript, L"C:\\Users\\Ann\\.claude-work"},
        {L"/home/ann/.claude-b", workTranscript, L"/home/ann/.claude-b"},  // the environment wins
        {L"/missing", workTranscript, L"C:\\Users\\Ann\\.claude-work"},
        {L"", Input(R"(\/home\/ann\/.claude-b\/projects\/app\/1.jsonl)"), L"/home/ann/.claude-b"},
        {L"", Input("/home/me/.claude/projects/app/1.jsonl"), L""},  // not a folder here
        {L"", Input(R"(C:\\Users\\Ann\\.claude-work\\logs\\1.jsonl)"), L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StatusLineConfigFolder(c.env, c.input, isFolder), c.folder) << c.input;
    }
}

TEST(ConfigFolderOfTranscript, TheFolderAboveTheLastProjects) {
    struct Case {
        std::wstring path, folder;
    } cases[] = {
        {L"C:\\u\\.claude\\projects\\p\\s.jsonl", L"C:\\u\\.claude"},
        {L"/h/projects/.claude/projects/p/s.jsonl", L"/h/projects/.claude"},
        {L"/h/.claude//projects/p", L"/h/.claude"},
        {L"/h/.claude/projects/", L""},  // nothing inside it
        {L"/h/.claude/projects", L""},
        {L"projects/p/s.jsonl", L""},  // no folder above
        {L"/h/.claude/myprojects/p", L""},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConfigFolderOfTranscript(c.path), c.folder) << c.path;
}

TEST(TranscriptPathOf, UndoesSlashEscapesAndRefusesOthers) {
    struct Case {
        std::string input;
        std::wstring path;
    } cases[] = {
        {Input(R"(C:\\a\\b.jsonl)"), L"C:\\a\\b.jsonl"},
        {Input(R"(\/a\/b)"), L"/a/b"},
        {Input(R"(C:\\caf\u00e9\\b)"), L""},
        {Input(R"(C:\\a\)"), L""},  // cut at an escaped quote
        {R"({"model":{}})", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TranscriptPathOf(c.input), c.path) << c.input;
}

}  // namespace
