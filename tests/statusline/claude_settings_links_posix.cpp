// A settings.json kept in a dotfile repository and linked into place stays linked.
#include <gtest/gtest.h>

#include "platform/whole_file.h"
#include "platform/system.h"
#include "statusline/claude_settings.h"
#include "support/temp_dir.h"

namespace {

TEST(ClaudeSettingsLinks, TheLinkedFileIsEditedAndTheLinkKept) {
    TempDir dir;
    const auto dotfile = dir.path() / "dotfiles" / "claude-settings.json";
    const auto link = dir.path() / ".claude" / "settings.json";
    WriteBytes(dotfile, R"({"theme": "dark"})");
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_symlink("../dotfiles/claude-settings.json", link);

    ASSERT_TRUE(UpdateStatusLineEntryAt(WideFromPath(link), true, L"/opt/tidewell/tidewell"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    const std::string text = ReadWholeFile(WideFromPath(dotfile));
    EXPECT_NE(text.find("\"theme\": \"dark\""), std::string::npos);
    EXPECT_NE(text.find("--statusline"), std::string::npos);
    // Nothing but the file, its backup and the link is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dotfile.parent_path()), {}), 1);
}

}  // namespace
