// The key searches on arbitrary bytes. The first line of the input is the key, the rest the
// text; two bytes of the key line pick the start and the limit.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/byte_search.h"
#include "core/json_fields.h"
#include "core/numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t newline = input.find('\n');
    if (newline == std::string_view::npos || newline < 2) {
        return 0;
    }
    const size_t start = static_cast<unsigned char>(input[0]);
    const size_t limit = static_cast<unsigned char>(input[1]) * 4;
    const std::string_view key = input.substr(2, newline - 2);
    const std::string_view text = input.substr(newline + 1);

    if (const auto value = FindStringAfterKey(text, key, start)) {
        // The value lies inside the text, after the key, and holds no quote.
        if (value->data() < text.data() + start ||
            value->data() + value->size() > text.data() + text.size() ||
            value->find('"') != std::string_view::npos) {
            std::abort();
        }
    }
    double out = 12345;
    const bool found = FindNumberAfterKey(text, key, start, limit, out);
    if (!found && out != 12345 && out != 0) {
        std::abort();  // when nothing converted, the output is 0 or untouched
    }
    FindNumberAfterKey(text, key, start, kNoLimit, out);

    // The vector search must agree with the plain one.
    if (FindBytes(text, key, start) != text.find(key, start)) {
        std::abort();
    }
    size_t a = 0, b = 0;
    FindEachFirst(text, BytePattern(key), BytePattern("\"usage\""), start, a, b);
    if (a != text.find(key, start) || b != text.find("\"usage\"", start)) {
        std::abort();
    }

    // Numbers are read as strtod reads them (the fuzzer runs in the C locale).
    const std::string number(text.substr(0, 40));
    char* end = nullptr;
    const double expected = std::strtod(number.c_str(), &end);
    double parsed = 0;
    const size_t used = ParseLeadingDouble(number, parsed);
    if (used != static_cast<size_t>(end - number.c_str()) ||
        (parsed != expected && !(std::isnan(parsed) && std::isnan(expected)))) {
        std::abort();
    }
    return 0;
}
