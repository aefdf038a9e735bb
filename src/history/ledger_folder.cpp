#include "history/ledger_folder.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <utility>

#include "history/ledger_store.h"
#include "platform/system.h"
#include "platform/unicode.h"

namespace fs = std::filesystem;

std::optional<std::string> LedgerMachineFromFileName(const std::string& fileName) {
    static const std::string kPrefix = "usage-", kSuffix = ".db";
    if (fileName.size() <= kPrefix.size() + kSuffix.size() ||
        fileName.compare(0, kPrefix.size(), kPrefix) != 0 ||
        fileName.compare(fileName.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0) {
        return std::nullopt;
    }
    return fileName.substr(kPrefix.size(), fileName.size() - kPrefix.size() - kSuffix.size());
}

LedgerFolder ReadLedgerFolder(const std::wstring& folder, const std::string& ownMachine,
                              const std::string& from, const std::string& to) {
    std::vector<std::pair<std::string, std::wstring>> files;  // machine, path
    std::error_code error;
    for (fs::directory_iterator it(PathFromWide(folder), error), end; !error && it != end;
         it.increment(error)) {
        const std::wstring path = WideFromPath(it->path());
        const std::optional<std::string> machine =
            LedgerMachineFromFileName(WideToUtf8(WideFromPath(it->path().filename())));
        if (machine && *machine != ownMachine)
            files.emplace_back(*machine, path);
    }
    std::sort(files.begin(), files.end());
    LedgerFolder result;
    for (const auto& [machine, path] : files) {
        const std::unique_ptr<LedgerStore> store = LedgerStore::OpenSnapshot(path);
        std::optional<std::vector<LedgerRow>> rows;
        if (store)
            rows = store->Rows(from, to);
        if (!rows) {
            result.skipped.push_back(path);
            continue;
        }
        for (LedgerRow& row : *rows) {
            row.machine = machine;
            result.rows.push_back(std::move(row));
        }
    }
    return result;
}
