// The module's process-wide objects and the plug-in main operation behind the exports: the FCUI
// (made at the first invocation with the host's main window) and the task window (made at the
// first invocation, shown again by every later one). The module owns both until terminate;
// PatternSettings lives beside them from the module's load to its unload.
#pragma once

#include "framework/host/hostapi.h"

class FCPatternWindow;
class FCUI;

namespace patternplugin {

// An invocation by the host: makes the FCUI on first use (a later handle is ignored) and runs
// the main operation with it.
void Invoke(FXWindow hostWindow);
// The main operation: makes the task window on first use (settings loaded, controls and panels
// created), brings an open one back in its normal state, or opens it as a modeless dialog. The
// result of showing it; 0 without a window.
int ShowTaskWindow(FCUI* ui);
// The host unloads the plug-in: closes an open, visible window; writes the settings file when
// there ever was a window; deletes the window, then the FCUI. Without a prior invocation nothing
// is written.
void Terminate();

// The singletons, null until the first invocation and after terminate. Owned by the module.
FCUI* GetUI();
FCPatternWindow* GetWindow();

}  // namespace patternplugin
