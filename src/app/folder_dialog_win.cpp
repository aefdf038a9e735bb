#include "app/folder_dialog_win.h"

#include <shobjidl.h>

#include "platform/com_ref_win.h"

std::optional<std::wstring> PickFolder(HWND owner, const std::wstring& title,
                                       const std::wstring& startFolder) {
    ComRef<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(__uuidof(FileOpenDialog), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IFileOpenDialog), reinterpret_cast<void**>(dialog.out()))))
        return std::nullopt;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    // A folder on disk only: libraries and virtual folders have no path to write a file in.
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog->SetTitle(title.c_str());
    if (!startFolder.empty()) {
        ComRef<IShellItem> start;
        if (SUCCEEDED(SHCreateItemFromParsingName(startFolder.c_str(), nullptr,
                                                  __uuidof(IShellItem),
                                                  reinterpret_cast<void**>(start.out()))))
            dialog->SetFolder(start.get());
    }
    if (FAILED(dialog->Show(owner)))
        return std::nullopt;  // cancelled, among others
    ComRef<IShellItem> result;
    if (FAILED(dialog->GetResult(result.out())))
        return std::nullopt;
    std::wstring chosen = FileSystemPathOf(result.get());
    if (chosen.empty())
        return std::nullopt;
    return chosen;
}
