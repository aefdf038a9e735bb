#include "app/folder_dialog_win.h"

#include <shobjidl.h>

namespace {

// Releases a COM interface when it goes.
template <typename T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p)
            p->Release();
    }
};

}  // namespace

std::optional<std::wstring> PickFolder(HWND owner, const std::wstring& title,
                                       const std::wstring& startFolder) {
    Released<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(__uuidof(FileOpenDialog), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IFileOpenDialog), reinterpret_cast<void**>(&dialog.p))))
        return std::nullopt;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog.p->GetOptions(&options);
    // A folder on disk only: libraries and virtual folders have no path to write a file in.
    dialog.p->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog.p->SetTitle(title.c_str());
    if (!startFolder.empty()) {
        Released<IShellItem> start;
        if (SUCCEEDED(SHCreateItemFromParsingName(startFolder.c_str(), nullptr,
                                                  __uuidof(IShellItem),
                                                  reinterpret_cast<void**>(&start.p))))
            dialog.p->SetFolder(start.p);
    }
    if (FAILED(dialog.p->Show(owner)))
        return std::nullopt;  // cancelled, among others
    Released<IShellItem> result;
    if (FAILED(dialog.p->GetResult(&result.p)))
        return std::nullopt;
    PWSTR path = nullptr;
    if (FAILED(result.p->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path)
        return std::nullopt;
    std::wstring chosen(path);
    CoTaskMemFree(path);
    if (chosen.empty())
        return std::nullopt;
    return chosen;
}
