#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The shape of a JSON document that another program owns and that this program edits in place:
// where the top-level object's members lie, so that an edit touches those bytes and no others.
// Nothing is decoded or re-serialised.

// One top-level member: its key with the quotes, and its value, as byte ranges of the text.
struct JsonMember {
    size_t keyStart = 0;
    size_t keyEnd = 0;
    size_t valueStart = 0;
    size_t valueEnd = 0;
};

enum class JsonTextKind {
    kObject,     // one JSON object, with blanks around it and an optional UTF-8 BOM before it
    kBlank,      // nothing but blanks (or nothing at all), after an optional UTF-8 BOM
    kNotObject,  // one JSON value, but not an object
    kInvalid,    // not JSON at all
};

struct JsonObjectText {
    JsonTextKind kind = JsonTextKind::kInvalid;
    size_t open = 0;                  // the top-level "{" (kObject)
    size_t close = 0;                 // the top-level "}" (kObject)
    std::vector<JsonMember> members;  // the top-level members in order (kObject)
    std::string problem;  // kInvalid: what is wrong and where, such as "a trailing comma on line 4"
};

// Reads `text` strictly (RFC 8259: no comments, no trailing commas, no control characters in
// strings). Containers nested deeper than kMaxJsonDepth make the text invalid; the walk keeps
// its own stack, so no input can exhaust the thread's.
JsonObjectText ReadJsonObjectText(std::string_view text);

constexpr size_t kMaxJsonDepth = 512;

// Whether a key as it stands in the text (with its quotes, escapes undecoded) names `name`
// (ASCII), as a JSON reader would decode it: "status\u004Cine" names statusLine.
bool JsonKeyIs(std::string_view quotedKey, std::string_view name);
