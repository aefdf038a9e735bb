#pragma once

#include <windows.h>
#include <shobjidl.h>

#include <string>

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
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T** out() { return &object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

// The file-system path of a shell item (a dialog's choice); empty when it has none.
inline std::wstring FileSystemPathOf(IShellItem* item) {
    PWSTR path = nullptr;
    if (!item || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path)
        return {};
    std::wstring text(path);
    CoTaskMemFree(path);
    return text;
}
