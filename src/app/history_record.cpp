#include "app/history_record.h"

#include <ctime>

#include "core/settings.h"
#include "limits/history_cycle.h"
#include "platform/std_streams.h"
#include "platform/unicode.h"

int RunHistoryRecord() {
    const Settings settings = LoadSettings();
    const HistoryState state =
        RecordHistoryOnce(settings.historyFolder, static_cast<int64_t>(std::time(nullptr)));
    if (state.ledgerPath.empty()) {
        const std::wstring folder = state.folder.empty() ? L"the data folder" : state.folder;
        WriteStandardError("tidewell: the usage history could not be written in " +
                           WideToUtf8(folder) + "\n");
        return 1;
    }
    return 0;
}
