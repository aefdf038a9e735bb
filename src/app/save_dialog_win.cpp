#include "app/save_dialog_win.h"

#include <objbase.h>
#include <shobjidl.h>

#include "platform/com_ref_win.h"

std::wstring AskSavePath(HWND owner, const SaveDialogChoice& choice) {
    ComRef<IFileSaveDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IFileSaveDialog),
                                reinterpret_cast<void**>(dialog.out()))) ||
        !dialog) {
        return {};
    }
    const COMDLG_FILTERSPEC types[] = {{choice.typeName, choice.pattern}};
    dialog->SetFileTypes(1, types);
    dialog->SetFileTypeIndex(1);  // one-based
    dialog->SetDefaultExtension(choice.extension);
    dialog->SetFileName(choice.fileName);
    // A path on disk is what the writer needs; the current folder is the program's, not the
    // dialog's. Asking before replacing a file is the save dialog's default, kept.
    FILEOPENDIALOGOPTIONS options = 0;
    if (SUCCEEDED(dialog->GetOptions(&options)))
        dialog->SetOptions(options | FOS_FORCEFILESYSTEM | FOS_OVERWRITEPROMPT | FOS_NOCHANGEDIR);
    if (FAILED(dialog->Show(owner)))  // cancelled, or could not be shown
        return {};
    ComRef<IShellItem> item;
    if (FAILED(dialog->GetResult(item.out())))
        return {};
    return FileSystemPathOf(item.get());
}
