#include "panel/theme_win.h"

namespace {

// A DWORD under Personalize: AppsUseLightTheme and SystemUsesLightTheme are 1 for light, 0 for
// dark, and missing before Windows 10's 1809.
std::optional<bool> PersonalizeFlag(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER,
                     L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", name,
                     RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value != 0;
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

SystemColours CurrentSystemColours() {
    return {GetSysColor(COLOR_WINDOW),    GetSysColor(COLOR_WINDOWTEXT),
            GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT),
            GetSysColor(COLOR_HOTLIGHT),  GetSysColor(COLOR_GRAYTEXT),
            GetSysColor(COLOR_BTNFACE),   GetSysColor(COLOR_BTNTEXT)};
}

WindowsTheme ReadWindowsTheme() {
    WindowsTheme theme;
    theme.kind = ChooseTheme(HighContrastOn(), PersonalizeFlag(L"AppsUseLightTheme"));
    theme.palette = PaletteFor(theme.kind, CurrentSystemColours());
    theme.lightTaskbar = PersonalizeFlag(L"SystemUsesLightTheme").value_or(false);
    return theme;
}

bool IsThemeMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const wchar_t* area =
        message == WM_SETTINGCHANGE && lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
    return IsThemeChange(message, wParam, area);
}
