// ParseWslRunningList on arbitrary bytes (wsl.exe's output, UTF-16LE or UTF-8): never crashes,
// and every name it gives is non-empty, without line breaks or edge spaces. A name that passes
// IsUsableWslName stays one path component. EnvironmentBlockWithout on the same bytes read as a
// block: closed by two NULs, and without the variable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/environment_block.h"
#include "platform/wsl_system.h"

namespace {

void CheckUsable(const std::wstring& name) {
    if (IsUsableWslName(name) && (name.find_first_of(L"\\/:") != std::wstring::npos ||
                                  name == L"." || name == L".." || name.back() == L'.')) {
        std::abort();
    }
}

void CheckName(const std::wstring& name) {
    if (name.empty() || name.find(L'\n') != std::wstring::npos || name.front() == L' ' ||
        name.back() == L' ' || name.back() == L'\r') {
        std::abort();
    }
    CheckUsable(name);
}

void CheckBlock(std::wstring_view block) {
    const std::wstring kept = EnvironmentBlockWithout(block, L"WSL_UTF8");
    if (kept.size() < 2 || kept[kept.size() - 1] != 0 || kept[kept.size() - 2] != 0)
        std::abort();
    for (size_t from = 0; from < kept.size() && kept[from] != 0;) {
        const size_t end = kept.find(L'\0', from);
        std::wstring entry = kept.substr(from, end - from);
        for (wchar_t& c : entry)
            c = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
        if (entry == L"WSL_UTF8" || entry.starts_with(L"WSL_UTF8="))
            std::abort();
        from = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view output(reinterpret_cast<const char*>(data), size);
    for (const std::wstring& name : ParseWslRunningList(output))
        CheckName(name);
    CheckUsable(std::wstring(output.begin(), output.end()));
    std::wstring block;
    for (size_t i = 0; i + 1 < size; i += 2) {
        block += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    }
    CheckBlock(block);
    return 0;
}
