// POSIX paths, arguments and environment values are bytes: they reach the program and come back
// exactly, UTF-8 or not.
#include "platform/path_bytes_posix.h"

#include <gtest/gtest.h>

#include "claude_logs/log_roots.h"
#include "platform/system.h"
#include "support/temp_dir.h"

namespace {

TEST(PathBytes, EveryByteStringSurvivesTheRoundTrip) {
    const std::string samples[] = {
        "plain/path.json", "out\xFF.json", "/home/caf\xE9/logs", "\xC3",  "\xED\xA0\x80",
        "\xC0\xAF",        "\xEF\xBF\xBD", "wave \xF0\x9F\x8C\x8A",   "\xF0\x9F\x8C", std::string("a\0b", 3),
    };
    for (const std::string& bytes : samples) {
        EXPECT_EQ(BytesFromWide(WideFromBytes(bytes)), bytes);
        EXPECT_EQ(PathFromWide(WideFromPath(bytes)).native(), bytes);
    }
    EXPECT_EQ(WideFromBytes("caf\xC3\xA9"), L"caf\u00e9");  // valid UTF-8 is text as usual
    EXPECT_EQ(WideFromBytes("caf\xE9"), L"caf\xDCE9");
}

TEST(PathBytes, TheEnvironmentIsReadAsPosixDefinesIt) {
    const ScopedEnvironment home("HOME", "/home/caf\xE9");
    const ScopedEnvironment profile("USERPROFILE", "/elsewhere");  // a Windows variable
    const ScopedEnvironment config("CLAUDE_CONFIG_DIR", nullptr);
    EXPECT_EQ(BytesFromWide(ClaudeLogRootsFromEnvironment().front()), "/home/caf\xE9/.claude/projects");
    const ScopedEnvironment relative("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(PathFromWide(ProgramDataFolder()).native(), "/home/caf\xE9/.config/tidewell");
    const ScopedEnvironment absolute("XDG_CONFIG_HOME", "/cfg\xFF");
    EXPECT_EQ(PathFromWide(ProgramDataFolder()).native(), "/cfg\xFF/tidewell");
}

}  // namespace
