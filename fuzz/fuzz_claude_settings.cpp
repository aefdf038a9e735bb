// Editing Claude Code's settings.json on arbitrary bytes never crashes. When the input is a
// valid JSON object in which "statusLine" occurs at most once, as a top-level member whose value
// is an object, both edits give valid JSON with every other member unchanged, byte for byte; and
// in one without "statusLine", connecting and then disconnecting gives back the very bytes.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "statusline/claude_settings.h"

namespace {

// A small JSON reader that only validates and records the top-level members' raw bytes.
class Json {
public:
    explicit Json(std::string_view text) : text_(text) {}

    // The top-level object's members as (raw key, raw value); false when the text is not one
    // JSON object.
    bool TopLevel(std::vector<std::pair<std::string, std::string>>& members) {
        Blank();
        if (!Take('{')) return false;
        Blank();
        if (!Take('}')) {
            do {
                Blank();
                const size_t keyStart = pos_;
                if (!String()) return false;
                const std::string key(text_.substr(keyStart, pos_ - keyStart));
                Blank();
                if (!Take(':')) return false;
                Blank();
                const size_t valueStart = pos_;
                if (!Value(0)) return false;
                members.emplace_back(key, std::string(text_.substr(valueStart, pos_ - valueStart)));
                Blank();
            } while (Take(','));
            if (!Take('}')) return false;
        }
        Blank();
        return pos_ == text_.size();
    }

private:
    bool Take(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void Blank() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r')) {
            ++pos_;
        }
    }
    bool String() {
        if (!Take('"')) return false;
        while (pos_ < text_.size()) {
            const auto c = static_cast<unsigned char>(text_[pos_++]);
            if (c == '"') return true;
            if (c < 0x20) return false;
            if (c == '\\') {
                if (pos_ >= text_.size()) return false;
                const char e = text_[pos_++];
                if (e == 'u') {
                    for (int i = 0; i < 4; ++i) {
                        if (pos_ >= text_.size() || !std::isxdigit(static_cast<unsigned char>(text_[pos_++]))) return false;
                    }
                } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
                    return false;
                }
            }
        }
        return false;
    }
    bool Literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }
    bool Number() {
        const size_t start = pos_;
        Take('-');
        if (Take('0')) {
        } else if (pos_ < text_.size() && text_[pos_] >= '1' && text_[pos_] <= '9') {
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        } else {
            return false;
        }
        if (Take('.')) {
            const size_t digits = pos_;
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) ++pos_;
            if (pos_ == digits) return false;
        }
        if (Take('e') || Take('E')) {
            if (!Take('+')) Take('-');
            const size_t digits = pos_;
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) ++pos_;
            if (pos_ == digits) return false;
        }
        return pos_ > start;
    }
    bool Value(int depth) {
        if (depth > 64 || pos_ >= text_.size()) return false;
        const char c = text_[pos_];
        if (c == '"') return String();
        if (c == 't') return Literal("true");
        if (c == 'f') return Literal("false");
        if (c == 'n') return Literal("null");
        if (c == '{' || c == '[') {
            const char close = c == '{' ? '}' : ']';
            ++pos_;
            Blank();
            if (Take(close)) return true;
            do {
                Blank();
                if (c == '{') {
                    if (!String()) return false;
                    Blank();
                    if (!Take(':')) return false;
                    Blank();
                }
                if (!Value(depth + 1)) return false;
                Blank();
            } while (Take(','));
            return Take(close);
        }
        return Number();
    }

    std::string_view text_;
    size_t pos_ = 0;
};

using Members = std::vector<std::pair<std::string, std::string>>;

Members Without(Members members, std::string_view key) {
    std::erase_if(members, [&](const auto& m) { return m.first == key; });
    return members;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string entry = ProgramStatusLineEntry(L"C:\\Users\\me\\Tidewell\\tidewell.exe");
    const StatusLineEntry found = FindStatusLineEntry(text);
    if (found.found && (found.start >= found.end || found.end > text.size())) std::abort();
    const std::string removed = EditStatusLine(text, false, entry);
    const std::string added = EditStatusLine(text, true, entry);
    StatusLineStateOf(text);

    Members before;
    if (!Json(text).TopLevel(before)) return 0;
    const std::string_view key = "\"statusLine\"";
    const size_t first = text.find(key);
    if (first != std::string::npos && text.find(key, first + 1) != std::string::npos) return 0;
    bool qualifies = true;
    for (const auto& [name, value] : before) {
        if (name == key && value.front() != '{') qualifies = false;
    }
    if (first != std::string::npos &&
        std::none_of(before.begin(), before.end(), [&](const auto& m) { return m.first == key; })) {
        qualifies = false;  // it occurs, but not as a top-level member name
    }
    if (!qualifies) return 0;

    Members afterRemove, afterAdd;
    if (!Json(removed).TopLevel(afterRemove) || !Json(added).TopLevel(afterAdd)) std::abort();
    const Members others = Without(before, key);
    if (afterRemove != others) std::abort();
    if (afterAdd.empty() || afterAdd.back().first != key || Without(afterAdd, key) != others) {
        std::abort();
    }
    if (first == std::string::npos && EditStatusLine(added, false, entry) != text) std::abort();
    return 0;
}
