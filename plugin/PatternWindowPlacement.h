// What the settings file keeps for the task window: its remembered placement, the outer left,
// top, width and height in screen pixels. LoadSettings gives it to the window and SaveSettings
// takes it back; the task window implements this interface.
#pragma once

class PatternWindowPlacement {
public:
    virtual ~PatternWindowPlacement() {}

    // Remembers both the position and the size.
    virtual void SetRememberedPlacement(float left, float top, float width, float height) = 0;
    // The remembered position; false when the window has none.
    virtual bool GetRememberedPosition(float* left, float* top) const = 0;
    // The remembered outer size; false when the window has none.
    virtual bool GetRememberedSize(float* width, float* height) const = 0;
};
