#include "framework/ui/FCUI.h"

#include "framework/ui/Win32Support.h"

#include <cstdint>

using fcui::ToHWND;

namespace {

// Alerts currently on screen (they can nest: an alert's owner may raise another).
int g_alertsShown = 0;

// The host's region structure, as FX_GetCurERegions fills it.
constexpr size_t kRegionSize = 20;
// The host's menu item of the respacing command.
constexpr int32_t kHostMenuRespace = 12106;

}  // namespace

FCUI::FCUI(FXWindow hostWindow) : hostWindow_(hostWindow) {}

bool FCUI::IsAlertShown() { return g_alertsShown > 0; }

int FCUI::ShowAlert(const FCString* text, const FCString* caption, const char* defaultCaption, unsigned style) {
    FCString title;
    if (caption && !caption->IsEmpty())
        title.SetString(caption);
    else
        title.SetCString(defaultCaption);
    HWND host = ToHWND(hostWindow_);
    HWND owner = host && IsWindowEnabled(host) ? host : GetActiveWindow();
    ++g_alertsShown;
    const int answer = MessageBoxW(owner, fcui::WideText(text), fcui::WideText(&title), style);
    --g_alertsShown;
    return answer;
}

void FCUI::AlertError(const FCString* text, const FCString* caption) {
    if (text) ShowAlert(text, caption, "Error", MB_OK | MB_ICONERROR);
}

void FCUI::AlertInfo(const FCString* text, const FCString* caption) {
    if (text) ShowAlert(text, caption, "Information", MB_OK | MB_ICONINFORMATION);
}

int FCUI::AlertYesNo(const FCString* text, const FCString* caption) {
    if (!text) return kAnswerOther;
    switch (ShowAlert(text, caption, "Yes/No?", MB_YESNO)) {
        case IDYES:
            return kAnswerYes;
        case IDNO:
            return kAnswerNo;
        default:
            return kAnswerOther;
    }
}

void FCUI::Beep() {
    if (!MessageBeep(MB_ICONWARNING)) MessageBeep(0xFFFFFFFF);
}

bool FCUI::RedrawMusic() {
    uint8_t regions[3][kRegionSize] = {};
    if (!hostapi::FX_GetCurERegions(regions[0], regions[1], regions[2], kFXInterfaceVersion)) return false;
    return hostapi::FX_RedrawMusic(regions[2], kFXInterfaceVersion) != 0;
}

bool FCUI::ExecuteCommand(int command) {
    if (command != kCommandRespace) return false;
    return hostapi::FX_ExecuteMenuItem(kHostMenuRespace, kFXInterfaceVersion) != 0;
}

int FCUI::GetScreenHeight() const { return GetSystemMetrics(SM_CYFULLSCREEN); }
