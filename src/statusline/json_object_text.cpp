#include "statusline/json_object_text.h"

#include <algorithm>

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One pass over the text with an explicit stack of open containers ('{' or '[').
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    JsonObjectText Read() {
        JsonObjectText result;
        if (text_.starts_with(kBom))
            pos_ = kBom.size();
        SkipBlanks();
        if (pos_ == text_.size()) {
            result.kind = JsonTextKind::kBlank;
            return result;
        }
        const bool object = text_[pos_] == '{';
        result.open = pos_;
        if (!Document(result.members, object)) {
            result.kind = JsonTextKind::kInvalid;
            result.members.clear();
            result.problem = problem_;
            return result;
        }
        result.kind = object ? JsonTextKind::kObject : JsonTextKind::kNotObject;
        if (!object)
            result.members.clear();
        result.close = closeAt_;
        return result;
    }

private:
    bool Fail(std::string_view what) {
        if (pos_ >= text_.size()) {
            problem_ = "it ends before its last value is complete";
        } else {
            const auto line = 1 + std::count(text_.begin(), text_.begin() + pos_, '\n');
            problem_ = std::string(what) + " on line " + std::to_string(line);
        }
        return false;
    }

    void SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_]))
            ++pos_;
    }

    bool Take(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool String() {
        if (!Take('"'))
            return Fail("unexpected text");
        while (pos_ < text_.size()) {
            const auto c = static_cast<unsigned char>(text_[pos_]);
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (c < 0x20)
                return Fail(c == '\n' ? "a line break inside a string"
                                      : "a control character inside a string");
            ++pos_;
            if (c != '\\')
                continue;
            if (pos_ >= text_.size())
                return Fail("");
            const char e = text_[pos_++];
            if (e == 'u') {
                for (int i = 0; i < 4; ++i, ++pos_) {
                    if (pos_ >= text_.size() || HexValue(text_[pos_]) < 0) {
                        return Fail("a bad escape in a string");
                    }
                }
            } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
                --pos_;
                return Fail("a bad escape in a string");
            }
        }
        return Fail("");
    }

    bool Digits() {
        const size_t start = pos_;
        while (pos_ < text_.size() && IsDigit(text_[pos_]))
            ++pos_;
        return pos_ > start;
    }

    bool Number() {
        Take('-');
        if (!Take('0') && !Digits())
            return Fail("unexpected text");
        if (Take('.') && !Digits())
            return Fail("a bad number");
        if (Take('e') || Take('E')) {
            if (!Take('+'))
                Take('-');
            if (!Digits())
                return Fail("a bad number");
        }
        return true;
    }

    bool Scalar() {
        const char c = text_[pos_];
        if (c == '"')
            return String();
        for (const std::string_view word : {"true", "false", "null"}) {
            if (c == word[0]) {
                if (text_.substr(pos_, word.size()) != word)
                    return Fail("unexpected text");
                pos_ += word.size();
                return true;
            }
        }
        return Number();
    }

    // The whole document: one value, then only blanks. Top-level members are recorded when the
    // document is an object.
    bool Document(std::vector<JsonMember>& members, bool object) {
        std::vector<char> open;  // the containers not yet closed
        bool expectValue = true;
        while (true) {
            if (expectValue) {
                SkipBlanks();
                if (pos_ >= text_.size())
                    return Fail("");
                const bool member = object && open.size() == 1;
                if (member)
                    members.back().valueStart = pos_;
                const char c = text_[pos_];
                if (c == '{' || c == '[') {
                    if (open.size() >= kMaxJsonDepth)
                        return Fail("containers nested too deeply");
                    open.push_back(c);
                    ++pos_;
                    SkipBlanks();
                    if (Take(c == '{' ? '}' : ']')) {
                        open.pop_back();
                        if (open.empty())
                            closeAt_ = pos_ - 1;
                    } else {
                        if (c == '{' && !Key(members, object && open.size() == 1))
                            return false;
                        continue;  // the first value comes next
                    }
                } else if (!Scalar()) {
                    return false;
                }
                expectValue = false;
            }
            // A value has just ended.
            if (object && open.size() == 1)
                members.back().valueEnd = pos_;
            if (open.empty())
                break;
            SkipBlanks();
            const char close = open.back() == '{' ? '}' : ']';
            if (Take(',')) {
                SkipBlanks();
                if (pos_ < text_.size() && text_[pos_] == close)
                    return Fail("a trailing comma");
                if (open.back() == '{' && !Key(members, object && open.size() == 1))
                    return false;
                expectValue = true;
            } else if (Take(close)) {
                open.pop_back();
                if (open.empty())
                    closeAt_ = pos_ - 1;
            } else {
                return Fail(open.back() == '{' ? "a missing comma or \"}\""
                                               : "a missing comma or \"]\"");
            }
        }
        SkipBlanks();
        return pos_ == text_.size() || Fail("text after the end");
    }

    // A member's key and its colon; the value follows.
    bool Key(std::vector<JsonMember>& members, bool topLevel) {
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] != '"')
            return Fail("a key that is not in quotes");
        const size_t start = pos_;
        if (!String())
            return false;
        if (topLevel)
            members.push_back({start, pos_, 0, 0});
        SkipBlanks();
        return Take(':') || Fail("a missing colon");
    }

    std::string_view text_;
    size_t pos_ = 0;
    size_t closeAt_ = 0;
    std::string problem_;
};

}  // namespace

JsonObjectText ReadJsonObjectText(std::string_view text) {
    return Reader(text).Read();
}

bool JsonKeyIs(std::string_view quotedKey, std::string_view name) {
    if (quotedKey.size() < 2)
        return false;
    const std::string_view key = quotedKey.substr(1, quotedKey.size() - 2);
    size_t at = 0;
    for (const char want : name) {
        if (at >= key.size())
            return false;
        char got = key[at++];
        if (got == '\\') {
            if (at >= key.size())
                return false;
            const char e = key[at++];
            if (e == 'u') {
                int code = 0;
                for (int i = 0; i < 4; ++i, ++at) {
                    const int digit = at < key.size() ? HexValue(key[at]) : -1;
                    if (digit < 0)
                        return false;
                    code = code * 16 + digit;
                }
                if (code >= 0x80)
                    return false;  // `name` is ASCII
                got = static_cast<char>(code);
            } else {
                const std::string_view from = "\"\\/bfnrt", to = "\"\\/\b\f\n\r\t";
                const size_t i = from.find(e);
                if (i == std::string_view::npos)
                    return false;
                got = to[i];
            }
        }
        if (got != want)
            return false;
    }
    return at == key.size();
}
