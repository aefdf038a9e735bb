// A .claude.json or auth.json of arbitrary bytes: never crashes, and an identity it gives has a
// short printable id and a non-empty name without control characters, fit for a key and a
// heading.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "sources/login_discovery.h"

namespace {

void Check(const std::optional<LoginIdentity>& identity, size_t maxId) {
    if (!identity)
        return;
    if (identity->id.empty() || identity->id.size() > maxId || identity->name.empty())
        std::abort();
    for (const char c : identity->id) {
        if (c <= 0x20 || c >= 0x7f || c == '"' || c == '\\')
            std::abort();
    }
    for (const wchar_t c : identity->name) {
        if (c < 0x20 || c == 0x7f || c == L'\\')
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Check(ParseClaudeIdentity(text), 128);
    Check(ParseCodexIdentity(text), 128 + 6);
    return 0;
}
