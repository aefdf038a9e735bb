#pragma once

#include <string>
#include <string_view>

// Text from other programs' files (a model's name, a folder), safe inside HTML text and inside
// attribute values in either kind of quotes.
std::string EscapeHtml(std::string_view text);
