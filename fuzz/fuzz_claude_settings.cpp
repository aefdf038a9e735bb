// Editing Claude Code's settings.json on arbitrary bytes never crashes, and the program's reader
// of the document's shape agrees with an independent recursive one: the same texts are JSON
// objects, with the same top-level members. For a JSON object, both edits give a JSON object in
// which only the last top-level "statusLine" member changed (in place, or appended or removed),
// every other member byte for byte; connecting and then disconnecting gives back the very bytes,
// and so does putting back another program's entry from the file before the connect.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "statusline/claude_settings.h"
#include "statusline/json_object_text.h"

namespace {

// A small JSON reader that only validates and records the top-level members' raw bytes.
class Json {
public:
    explicit Json(std::string_view text) : text_(text) {}

    bool deep = false;

    // The top-level object's members as (raw key, raw value); false when the text is not one
    // JSON object (after an optional UTF-8 BOM). `deep` is set when a container lies deeper
    // than the program's reader allows.
    bool TopLevel(std::vector<std::pair<std::string, std::string>>& members) {
        if (text_.starts_with("\xEF\xBB\xBF"))
            pos_ = 3;
        Blank();
        if (!Take('{'))
            return false;
        Blank();
        if (!Take('}')) {
            do {
                Blank();
                if (pos_ < text_.size() && text_[pos_] == '}')
                    return false;  // a trailing comma
                const size_t keyStart = pos_;
                if (!String())
                    return false;
                const std::string key(text_.substr(keyStart, pos_ - keyStart));
                Blank();
                if (!Take(':'))
                    return false;
                Blank();
                const size_t valueStart = pos_;
                if (!Value(1))
                    return false;
                members.emplace_back(key, std::string(text_.substr(valueStart, pos_ - valueStart)));
                Blank();
            } while (Take(','));
            if (!Take('}'))
                return false;
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
        if (!Take('"'))
            return false;
        while (pos_ < text_.size()) {
            const auto c = static_cast<unsigned char>(text_[pos_++]);
            if (c == '"')
                return true;
            if (c < 0x20)
                return false;
            if (c == '\\') {
                if (pos_ >= text_.size())
                    return false;
                const char e = text_[pos_++];
                if (e == 'u') {
                    for (int i = 0; i < 4; ++i) {
                        if (pos_ >= text_.size() ||
                            !std::isxdigit(static_cast<unsigned char>(text_[pos_++])))
                            return false;
                    }
                } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
                    return false;
                }
            }
        }
        return false;
    }
    bool Literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word)
            return false;
        pos_ += word.size();
        return true;
    }
    bool Number() {
        const size_t start = pos_;
        Take('-');
        if (Take('0')) {
        } else if (pos_ < text_.size() && text_[pos_] >= '1' && text_[pos_] <= '9') {
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])))
                ++pos_;
        } else {
            return false;
        }
        if (Take('.')) {
            const size_t digits = pos_;
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])))
                ++pos_;
            if (pos_ == digits)
                return false;
        }
        if (Take('e') || Take('E')) {
            if (!Take('+'))
                Take('-');
            const size_t digits = pos_;
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])))
                ++pos_;
            if (pos_ == digits)
                return false;
        }
        return pos_ > start;
    }
    bool Value(size_t depth) {
        if (pos_ >= text_.size())
            return false;
        const char c = text_[pos_];
        if (c == '"')
            return String();
        if (c == 't')
            return Literal("true");
        if (c == 'f')
            return Literal("false");
        if (c == 'n')
            return Literal("null");
        if (c == '{' || c == '[') {
            if (depth >= kMaxJsonDepth) {
                deep = true;
                return false;
            }
            const char close = c == '{' ? '}' : ']';
            ++pos_;
            Blank();
            if (Take(close))
                return true;
            do {
                Blank();
                if (pos_ < text_.size() && text_[pos_] == close)
                    return false;  // a trailing comma
                if (c == '{') {
                    if (!String())
                        return false;
                    Blank();
                    if (!Take(':'))
                        return false;
                    Blank();
                }
                if (!Value(depth + 1))
                    return false;
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

bool IsStatusLine(const std::string& key) {
    return JsonKeyIs(key, "statusLine");
}

// The index of the last "statusLine" member, or -1.
long LastStatusLine(const Members& members) {
    for (size_t i = members.size(); i-- > 0;) {
        if (IsStatusLine(members[i].first))
            return static_cast<long>(i);
    }
    return -1;
}

Members Read(std::string_view text) {
    Members members;
    if (!Json(text).TopLevel(members))
        std::abort();
    return members;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string entry = ProgramStatusLineEntry(L"C:\\Users\\me\\Tidewell\\tidewell.exe");
    const StatusLineEntry found = FindStatusLineEntry(text);
    if (found.found && (found.start >= found.end || found.end > text.size()))
        std::abort();
    const std::string removed = EditStatusLine(text, false, entry);
    const std::string added = EditStatusLine(text, true, entry);
    DisconnectStatusLine(text, text);
    StatusLineStateOf(text);

    const JsonObjectText shape = ReadJsonObjectText(text);
    Members before;
    Json reference(text);
    const bool object = reference.TopLevel(before);
    if (reference.deep)
        return 0;
    if (object != (shape.kind == JsonTextKind::kObject))
        std::abort();
    if (!object) {
        if (shape.kind != JsonTextKind::kBlank && (removed != text || added != text))
            std::abort();
        return 0;
    }
    if (shape.members.size() != before.size())
        std::abort();
    for (size_t i = 0; i < before.size(); ++i) {
        const JsonMember& m = shape.members[i];
        if (text.substr(m.keyStart, m.keyEnd - m.keyStart) != before[i].first ||
            text.substr(m.valueStart, m.valueEnd - m.valueStart) != before[i].second) {
            std::abort();
        }
    }

    const Members afterRemove = Read(removed);
    const Members afterAdd = Read(added);
    const long last = LastStatusLine(before);
    Members expectAdd = before;
    Members expectRemove = before;
    if (last < 0) {
        expectAdd.emplace_back("\"statusLine\"", entry.substr(entry.find('{')));
    } else {
        expectAdd[last] = {"\"statusLine\"", entry.substr(entry.find('{'))};
        if (before[last].second.front() == '{')
            expectRemove.erase(expectRemove.begin() + last);
    }
    if (afterAdd != expectAdd || afterRemove != expectRemove)
        std::abort();
    if (last < 0 && EditStatusLine(added, false, entry) != text)
        std::abort();
    // Another program's entry taken over and given back.
    if (last >= 0 && StatusLineStateOf(text) == kOtherStatusLine &&
        DisconnectStatusLine(added, text) != text) {
        std::abort();
    }
    return 0;
}
