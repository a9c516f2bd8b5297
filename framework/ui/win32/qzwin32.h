// The Win32 interface of the window and control layer, Windows side: the system's own headers.
// Linux builds find a header of the same name in framework/ui/linux, which declares the
// same subset for the stand-in host's simulated desktop.
#pragma once

#include <windows.h>
#include <commctrl.h>
