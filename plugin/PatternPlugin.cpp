#include "plugin/PatternPlugin.h"

#include "framework/ui/FCUI.h"
#include "plugin/FCPatternWindow.h"
#include "plugin/PatternSettings.h"

#include <new>

namespace patternplugin {
namespace {

FCUI* gUI = nullptr;
FCPatternWindow* gWindow = nullptr;

}  // namespace

void Invoke(FXWindow hostWindow) {
    if (!gUI) gUI = new (std::nothrow) FCUI(hostWindow);
    ShowTaskWindow(gUI);
}

int ShowTaskWindow(FCUI* ui) {
    if (!gWindow) {
        gWindow = new (std::nothrow) FCPatternWindow(ui);
        if (!gWindow) return 0;
        gWindow->CreateControls();
    }
    // An open window (minimised or behind others) comes back; a closed one opens anew.
    return gWindow->ShowModeless(ui ? ui->GetHostWindow() : nullptr);
}

void Terminate() {
    if (gWindow) {
        // The framework never hides a native window it keeps, so one that exists is on screen;
        // closing it saves the profiles and notes the placement the settings file receives.
        if (gWindow->WindowExists()) gWindow->CloseWindow();
        SaveSettings(&ThePatternSettings(), gWindow);
        delete gWindow;
        gWindow = nullptr;
    }
    delete gUI;
    gUI = nullptr;
}

FCUI* GetUI() { return gUI; }
FCPatternWindow* GetWindow() { return gWindow; }

}  // namespace patternplugin
