#include "app/save_dialog_win.h"

#include <objbase.h>
#include <shobjidl.h>

namespace {

// Releases a COM interface when it goes.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (object_)
            object_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* operator->() const { return object_; }
    T** out() { return &object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

}  // namespace

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
    if (FAILED(dialog->GetResult(item.out())) || !item)
        return {};
    PWSTR path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path)
        return {};
    std::wstring chosen(path);
    CoTaskMemFree(path);
    return chosen;
}
