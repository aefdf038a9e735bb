#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

// Owners of the kernel, registry, menu, icon and font handles the program holds: each releases
// what it holds on every path, and can be moved but not copied. GDI objects and device contexts
// have theirs in gdi_objects_win.h.

// `Invalid` is the value that means "none" besides null (-1 for files and find handles).
template <typename Handle, auto Release, intptr_t Invalid = 0>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != None() && handle_ != nullptr; }
    static Handle None() { return reinterpret_cast<Handle>(Invalid); }
    Handle release() { return std::exchange(handle_, None()); }
    void reset(Handle handle = None()) {
        const Handle old = std::exchange(handle_, handle);
        if (old != None() && old != nullptr)
            Release(old);
    }

private:
    Handle handle_ = None();
};

namespace handles_detail {
inline void CloseKernel(HANDLE h) {
    CloseHandle(h);
}
inline void CloseFind(HANDLE h) {
    FindClose(h);
}
inline void CloseKey(HKEY h) {
    RegCloseKey(h);
}
inline void DestroyMenuHandle(HMENU h) {
    DestroyMenu(h);
}
inline void DestroyIconHandle(HICON h) {
    DestroyIcon(h);
}
inline void RemoveFontResource(HANDLE h) {
    RemoveFontMemResourceEx(h);
}
inline void CloseWindowHandle(HWND h) {
    DestroyWindow(h);
}
}  // namespace handles_detail

// Events, threads, mutexes (null when missing).
using KernelHandle = UniqueHandle<HANDLE, handles_detail::CloseKernel>;
// Files and folder listings: INVALID_HANDLE_VALUE when missing.
using FileHandle = UniqueHandle<HANDLE, handles_detail::CloseKernel, -1>;
using FindHandle = UniqueHandle<HANDLE, handles_detail::CloseFind, -1>;
using RegistryKey = UniqueHandle<HKEY, handles_detail::CloseKey>;
using MenuHandle = UniqueHandle<HMENU, handles_detail::DestroyMenuHandle>;
using IconHandle = UniqueHandle<HICON, handles_detail::DestroyIconHandle>;
using FontResource = UniqueHandle<HANDLE, handles_detail::RemoveFontResource>;
using WindowHandle = UniqueHandle<HWND, handles_detail::CloseWindowHandle>;
