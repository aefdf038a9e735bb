#include "tray/history_notice.h"

#include <string_view>

namespace {

// The moved file's name: the folder is the ledger's own, and a balloon has room for little.
std::wstring_view FileNameOf(std::wstring_view path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring_view::npos ? path : path.substr(separator + 1);
}

}  // namespace

std::optional<Balloon> MovedAsideNotice::Check(const HistoryState& history) {
    const uint32_t count = history.movedAsideCount;
    if (count <= told_) {
        told_ = count;
        return std::nullopt;
    }
    told_ = count;
    std::wstring text = L"Usage history was damaged and is being rebuilt from the logs.";
    const std::wstring_view name = FileNameOf(history.movedAsideTo);
    if (!name.empty())
        text += L" The damaged file was kept as " + std::wstring(name) + L".";
    return Balloon{L"Usage history", std::move(text)};
}
