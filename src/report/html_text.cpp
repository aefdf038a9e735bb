#include "report/html_text.h"

std::string EscapeHtml(std::string_view text) {
    static constexpr std::string_view kSpecial = "&<>\"'";
    static constexpr std::string_view kEntities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&#39;"};
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const size_t special = kSpecial.find(c);
        if (special == std::string_view::npos) {
            escaped += c;
        } else {
            escaped += kEntities[special];
        }
    }
    return escaped;
}
