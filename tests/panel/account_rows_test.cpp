// The settings page's ACCOUNTS section through a recording canvas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel/panel_layout.h"

namespace {

constexpr int64_t kNow = 1'800'000'000;

// Records the texts drawn and their boxes; every character is 7 pixels wide.
struct TextCanvas : Canvas {
    struct Drawn {
        std::wstring text;
        PanelRect rect;
    };
    std::vector<Drawn> texts;

    void FillRect(const PanelRect&, uint32_t) override {}
    void FillRoundRect(const PanelRect&, uint32_t, int32_t) override {}
    void FrameRoundRect(const PanelRect&, uint32_t, int32_t, int32_t) override {}
    void DrawText(std::wstring_view text, const PanelRect& rect, FontRole, uint32_t,
                  TextAlign) override {
        texts.push_back({std::wstring(text), rect});
    }
    void DrawGlyph(Glyph, const PanelRect&, uint32_t, TextAlign) override {}
    int32_t TextWidth(std::wstring_view text, FontRole) override {
        return static_cast<int32_t>(text.size()) * 7;
    }
    const Drawn* Find(std::wstring_view start) const {
        for (const Drawn& d : texts) {
            if (d.text.starts_with(start))
                return &d;
        }
        return nullptr;
    }
};

AccountUsage Account(LoginTool tool, const wchar_t* name, const wchar_t* folder,
                     bool fromWsl = false) {
    AccountUsage account;
    account.login.tool = tool;
    account.login.key = std::wstring(L"dir:") + folder;
    account.login.name = name;
    account.login.where = folder;
    account.login.folders = {folder};
    account.login.fromWsl = fromWsl;
    return account;
}

constexpr wchar_t kLongFolder[] =
    L"C:\\Users\\someone.with.a.long.name\\OneDrive - Example Corporation\\Configuration\\"
    L".claude-work";

std::vector<AccountUsage> TwoClaudeOneCodex() {
    return {Account(LoginTool::kClaude, L"default", L"C:\\Users\\me\\.claude"),
            Account(LoginTool::kClaude, L"me@example.com", kLongFolder),
            Account(LoginTool::kCodex, L"default", L"C:\\Users\\me\\.codex")};
}

struct Page {
    UsageSnapshot snapshot;
    Settings settings;
    float dpi = 1.0f;
    std::vector<StatusLineState> loginStatusLines;

    int32_t Width() const { return PanelScale{dpi, settings.size}(330); }
    PanelLayout Paint(TextCanvas& canvas) const {
        PanelInputs inputs{snapshot, settings, true, kTargetNone, kNow, dpi};
        inputs.loginStatusLines = loginStatusLines;
        return PaintPanel(canvas, inputs, Width(), false);
    }
};

// At every size and scale: a switch a login, the long folder shortened to fit its box, each
// target inside the window and below the one before it.
TEST(AccountRows, EveryLoginHasItsSwitchAndItsPlaceFitsAtEverySize) {
    const struct {
        int32_t size;
        float dpi;
    } cases[] = {{0, 1.0f}, {1, 1.0f}, {2, 1.0f}, {0, 1.5f}, {2, 2.0f}};
    for (const auto& c : cases) {
        Page page;
        page.snapshot.accounts = TwoClaudeOneCodex();
        page.settings.size = c.size;
        page.dpi = c.dpi;
        TextCanvas canvas;
        const PanelLayout layout = page.Paint(canvas);
        const std::string at = "size " + std::to_string(c.size) + " dpi " + std::to_string(c.dpi);

        ASSERT_NE(canvas.Find(L"ACCOUNTS"), nullptr) << at;
        const std::wstring names[] = {L"Claude \u00b7 default", L"Claude \u00b7 me@example.com",
                                      L"Codex \u00b7 default"};
        int32_t previousBottom = 0;
        for (size_t i = 0; i < 3; ++i) {
            const PanelHitTarget* row = FindTarget(layout, LoginTarget(i));
            ASSERT_NE(row, nullptr) << at << " login " << i;
            EXPECT_EQ(row->name, names[i]) << at;
            EXPECT_EQ(row->kind, TargetKind::kSwitch) << at;
            EXPECT_TRUE(row->checked) << at;
            EXPECT_GE(row->rect.top, previousBottom) << at << " login " << i;
            EXPECT_GE(row->rect.left, 0) << at;
            EXPECT_LE(row->rect.right, page.Width()) << at;
            EXPECT_LE(row->rect.bottom, layout.height) << at;
            previousBottom = row->rect.bottom;
            if (const PanelHitTarget* connect = FindTarget(layout, LoginConnectTarget(i)))
                previousBottom = connect->rect.bottom;
        }
        // Where each was found, never wider than its box.
        int places = 0;
        for (const TextCanvas::Drawn& drawn : canvas.texts) {
            if (!drawn.text.starts_with(L"C:\\"))
                continue;
            ++places;
            EXPECT_LE(static_cast<int32_t>(drawn.text.size()) * 7,
                      drawn.rect.right - drawn.rect.left)
                << at;
        }
        EXPECT_EQ(places, 3) << at;
        const TextCanvas::Drawn* shortened = canvas.Find(L"C:\\\u2026");
        ASSERT_NE(shortened, nullptr) << at << ": the long folder is shortened in the middle";
        EXPECT_TRUE(shortened->text.ends_with(L".claude-work")) << at;
    }
}

TEST(AccountRows, AHiddenLoginsSwitchIsOff) {
    Page page;
    page.snapshot.accounts = TwoClaudeOneCodex();
    ToggleLoginHidden(page.settings, LoginFileTag(page.snapshot.accounts[1].login.key));
    TextCanvas canvas;
    const PanelLayout layout = page.Paint(canvas);
    EXPECT_TRUE(FindTarget(layout, LoginTarget(0))->checked);
    EXPECT_FALSE(FindTarget(layout, LoginTarget(1))->checked);
    EXPECT_TRUE(FindTarget(layout, LoginTarget(2))->checked);
}

// When the section shows, and which Connect switches there are: one for the settings.json of
// today while there is at most one Claude login (or none other can be connected), else one for
// each Claude login that can be.
TEST(AccountRows, SectionAndConnectSwitchesFollowTheLogins) {
    const AccountUsage claude = Account(LoginTool::kClaude, L"default", L"C:\\Users\\me\\.claude");
    const AccountUsage work = Account(LoginTool::kClaude, L"work", L"C:\\Users\\me\\.claude-work");
    const AccountUsage wsl = Account(LoginTool::kClaude, L"default",
                                     L"\\\\wsl.localhost\\Ubuntu\\home\\me\\.claude", true);
    const AccountUsage codex = Account(LoginTool::kCodex, L"default", L"C:\\Users\\me\\.codex");
    const AccountUsage codexWork =
        Account(LoginTool::kCodex, L"work", L"C:\\Users\\me\\.codex-work");
    const struct {
        const char* name;
        std::vector<AccountUsage> accounts;
        bool section;
        bool sharedConnect;
        std::vector<bool> ownConnect;  // by login
    } cases[] = {
        {"none found", {}, false, true, {}},
        {"one of each", {claude, codex}, false, true, {false, false}},
        {"two Codex", {claude, codex, codexWork}, true, true, {false, false, false}},
        {"two Claude", {claude, work, codex}, true, false, {true, true, false}},
        {"one connectable beside WSL", {claude, wsl}, true, false, {true, false}},
        {"only WSL beside one of none", {wsl, wsl}, true, true, {false, false}},
    };
    for (const auto& c : cases) {
        Page page;
        page.snapshot.accounts = c.accounts;
        TextCanvas canvas;
        const PanelLayout layout = page.Paint(canvas);
        EXPECT_EQ(canvas.Find(L"ACCOUNTS") != nullptr, c.section) << c.name;
        EXPECT_EQ(FindTarget(layout, kTargetConnect) != nullptr, c.sharedConnect) << c.name;
        for (size_t i = 0; i < c.accounts.size(); ++i) {
            EXPECT_EQ(FindTarget(layout, LoginTarget(i)) != nullptr, c.section) << c.name << i;
            EXPECT_EQ(FindTarget(layout, LoginConnectTarget(i)) != nullptr, c.ownConnect[i])
                << c.name << i;
        }
    }
}

TEST(AccountRows, ALoginsConnectShowsItsOwnStatusLine) {
    Page page;
    page.snapshot.accounts = TwoClaudeOneCodex();
    page.loginStatusLines = {kOtherStatusLine, kOwnStatusLine, kNoStatusLine};
    TextCanvas canvas;
    const PanelLayout layout = page.Paint(canvas);
    const PanelHitTarget* first = FindTarget(layout, LoginConnectTarget(0));
    const PanelHitTarget* second = FindTarget(layout, LoginConnectTarget(1));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(first->checked) << "another program's status line is not ours";
    EXPECT_TRUE(second->checked);
    EXPECT_EQ(second->kind, TargetKind::kSwitch);
    EXPECT_EQ(second->name, L"Live limits from Claude Code \u00b7 me@example.com");
    // States not read yet (fewer than the logins) read as not connected.
    page.loginStatusLines.clear();
    TextCanvas again;
    EXPECT_FALSE(FindTarget(page.Paint(again), LoginConnectTarget(1))->checked);
}

// One login of each tool: the page is the one of before, target for target.
TEST(AccountRows, OneLoginOfEachToolLeavesThePageAsItWas) {
    Page before;
    Page now;
    now.snapshot.accounts = {Account(LoginTool::kClaude, L"default", L"C:\\Users\\me\\.claude"),
                             Account(LoginTool::kCodex, L"default", L"C:\\Users\\me\\.codex")};
    TextCanvas a;
    TextCanvas b;
    const PanelLayout old = before.Paint(a);
    const PanelLayout current = now.Paint(b);
    EXPECT_EQ(old.height, current.height);
    EXPECT_EQ(old.targets, current.targets);
}

}  // namespace
