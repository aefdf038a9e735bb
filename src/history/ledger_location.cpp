#include "history/ledger_location.h"

#include <filesystem>

#include "platform/system.h"
#include "platform/unicode.h"

namespace {

bool SameFolder(const std::wstring& a, const std::wstring& b) {
    const auto normal = [](const std::wstring& path) {
        return PathFromWide(path).lexically_normal().wstring();
    };
    std::wstring x = normal(a), y = normal(b);
    while (!x.empty() && (x.back() == L'/' || x.back() == L'\\')) x.pop_back();
    while (!y.empty() && (y.back() == L'/' || y.back() == L'\\')) y.pop_back();
    return x == y;
}

}  // namespace

std::string LedgerMachineName(const std::wstring& computer) {
    std::wstring safe;
    for (wchar_t c : computer) {
        const bool bad = c < 0x20 || c == L'<' || c == L'>' || c == L':' || c == L'"' ||
                         c == L'/' || c == L'\\' || c == L'|' || c == L'?' || c == L'*';
        safe.push_back(bad ? L'_' : c);
    }
    // A name ending in a dot or space is not kept as given by Windows.
    while (!safe.empty() && (safe.back() == L'.' || safe.back() == L' ')) safe.back() = L'_';
    if (safe.empty()) safe = L"computer";
    return WideToUtf8(safe);
}

LedgerLocation LedgerLocationFor(const std::wstring& dataFolder, const std::wstring& historyFolder,
                                 const std::wstring& computer) {
    LedgerLocation location;
    location.machine = LedgerMachineName(computer);
    if (historyFolder.empty() || SameFolder(historyFolder, dataFolder)) {
        location.folder = dataFolder;
        location.ownPath = dataFolder.empty()
                               ? std::wstring()
                               : WideFromPath(PathFromWide(dataFolder) / L"usage.db");
    } else {
        location.folder = historyFolder;
        location.chosen = true;
        location.ownPath = WideFromPath(PathFromWide(historyFolder) /
                                        PathFromWide(L"usage-" + Utf8ToWide(location.machine) + L".db"));
    }
    return location;
}
