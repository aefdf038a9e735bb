#pragma once

#include <string>

// Where this computer's ledger lives. In the program's data folder it is "usage.db"; in a
// history folder the user chose (one that a synchronisation service or a share may give other
// computers too) every computer writes only its own "usage-<computer>.db".
struct LedgerLocation {
    std::wstring folder;   // where every computer's ledgers are read from
    std::wstring ownPath;  // the one file this computer writes
    std::string machine;   // this computer's name, as its file in a shared folder gives it
    bool chosen = false;   // a folder the user chose, not the data folder
};

// `historyFolder` empty (or the data folder itself) means the data folder. `computer` is made
// safe for a file name: characters Windows does not allow in one become "_"; an empty name
// becomes "computer".
LedgerLocation LedgerLocationFor(const std::wstring& dataFolder, const std::wstring& historyFolder,
                                 const std::wstring& computer);

// A computer name as a part of a file name (UTF-8).
std::string LedgerMachineName(const std::wstring& computer);
