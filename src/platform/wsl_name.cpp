#include "platform/wsl_system.h"

bool IsUsableWslName(std::wstring_view name) {
    if (name.empty() || name.front() == L'.' || name.back() == L'.')
        return false;
    for (const wchar_t c : name) {
        const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
        const bool digit = c >= L'0' && c <= L'9';
        if (!letter && !digit && c != L'.' && c != L'-' && c != L'_')
            return false;
    }
    return true;
}
