#include "platform/wsl_system.h"

std::vector<std::wstring> ParseWslRunningList(std::string_view output) {
    std::vector<std::wstring> names;
    std::wstring line;
    const auto finish = [&] {
        while (!line.empty() && (line.back() == L' ' || line.back() == L'\r')) line.pop_back();
        if (!line.empty()) names.push_back(line);
        line.clear();
    };
    for (size_t i = 0; i + 1 < output.size(); i += 2) {
        const auto unit = static_cast<wchar_t>(static_cast<unsigned char>(output[i]) |
                                               static_cast<unsigned char>(output[i + 1]) << 8);
        if (unit == L'\n') {
            finish();
        } else if (unit != 0xFEFF && unit != 0 && !(unit == L' ' && line.empty())) {
            line += unit;
        }
    }
    finish();
    return names;
}
