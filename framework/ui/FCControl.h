// One dialog item of a window, found by its dialog id. While its window has no native window the
// control keeps every value in the object (stored state); while the native window exists it works
// on the native item, mostly through the host's dialog functions. The window owns its controls;
// a control does not own its window.
#pragma once

#include "framework/core/FCString.h"
#include "framework/host/hostapi.h"

#include <cstdint>

class __FCUserWindow;

class FCControl : public __FCBase {
public:
    // Type codes (slot 6).
    enum {
        kTypeControl = 0,
        kTypeUpDown = 1,
        kTypeDataList = 2,
        kTypeTree = 3,
        kTypeButton = 4,
        kTypeCheckbox = 5,
        kTypeRadioButton = 6,
        kTypeEdit = 7,
        kTypeStatic = 8,
        kTypePopup = 9,
        kTypeLine = 11,
        kTypeSlider = 12,
        kTypeListBox = 13,
        kTypeTab = 15
    };
    // What a command from the control means to its window (Part of the dispatcher's work).
    enum { kRoleNone = 0, kRoleOk = 1, kRoleClose = 2, kRoleCancel = 3 };

    explicit FCControl(int id);
    ~FCControl() override;
    FCControl(const FCControl&) = delete;
    FCControl& operator=(const FCControl&) = delete;

    FC_CLASS_INFO(FCControl)

    // slot 6
    virtual int GetControlType() const { return kTypeControl; }
    // slots 7 and 8: the size of a native item the window must create itself.
    virtual int GetDefaultWidth() const { return 70; }
    virtual int GetDefaultHeight() const { return 150; }
    // slot 9: pushes every set stored value onto the native item.
    virtual void ApplyStoredState();
    // slot 10: pulls the native item's values into the stored state.
    virtual void ReadState();
    // slot 11
    virtual void Repaint();
    // slots 12 and 13
    virtual void SetEnable(bool enable);
    virtual bool GetEnable();
    // slot 14
    virtual void SetVisible(bool visible);
    // slot 15: gives the item a bold copy of its current font.
    virtual void SetBold();
    // slot 16: moves the keyboard focus to the item.
    virtual void SetKeyboardFocus();
    // slots 17 and 18
    virtual void SetText(const FCString* text);
    virtual void GetText(FCString* text);
    // slot 19: deferred while the window is in deferred layout.
    virtual void ResizeBy(float widthDelta, float heightDelta);

    int GetControlID() const { return id_; }
    // The owning window; set by the window when it adopts the control.
    __FCUserWindow* GetParent() const { return window_; }
    void SetParent(__FCUserWindow* window) { window_ = window; }
    int GetCommandRole() const { return role_; }
    void SetCommandRole(int role) { role_ = role; }
    bool GetVisible();
    // The native item, or null while the window has no native window.
    FXWindow GetNativeItem() const;
    // True while the window has a native window.
    bool IsOnScreen() const;

    // Geometry in the dialog's client coordinates. A pending deferred move or size is reported
    // as the control's geometry until the window applies it.
    float GetLeft();
    float GetTop();
    float GetWidth();
    float GetHeight();
    void MoveTo(float left, float top);
    void MoveBy(float dx, float dy);
    // Width changes apply at once, even in deferred layout.
    void SetWidth(float width);
    void SetHeight(float height);

    // Pixel values in 96-dots-per-inch units instead of screen pixels.
    void SetScaling(bool scaling) { scaling_ = scaling; }
    bool GetScaling() const { return scaling_; }

    // Deferred layout, driven by the window.
    void ClearPending();
    bool HasPending() const { return pendingMove_ || pendingSize_; }
    bool HasPendingMove() const { return pendingMove_; }
    bool HasPendingSize() const { return pendingSize_; }
    // The pending geometry in native pixels, for the window's batch.
    int GetPendingNativeLeft() const;
    int GetPendingNativeTop() const;
    int GetPendingNativeWidth() const;
    int GetPendingNativeHeight() const;
    // Puts the pending geometry into the stored state (no native window) and clears it.
    void CommitPendingToStoredState();

protected:
    // The host's handle of the window's native window (null while not on screen).
    FXWindow GetNativeWindow() const;
    // Stored-state access for subclasses.
    bool IsTextStored() const { return textSet_; }
    FCString* GetStoredText() { return &storedText_; }
    void StoreText(const FCString* text);

private:
    void ReadNativeRect(float* left, float* top, float* width, float* height);
    void SetNativeRect(float left, float top, float width, float height, bool move, bool size);
    int ToNative(float value) const;
    float FromNative(int value) const;
    bool IsDeferring() const;

    // the bold font the control created for its item (released when replaced)
    void* boldFont_;
    bool boldWanted_;
    // stored state
    FCString storedText_;
    bool textSet_;
    bool storedEnabled_;
    bool enabledSet_;
    bool storedVisible_;
    bool visibleSet_;
    float storedLeft_;
    bool leftSet_;
    float storedTop_;
    bool topSet_;
    float storedWidth_;
    bool widthSet_;
    float storedHeight_;
    bool heightSet_;
    bool scaling_;
    // deferred layout
    bool pendingMove_;
    bool pendingSize_;
    float pendingLeft_;
    float pendingTop_;
    float pendingWidth_;
    float pendingHeight_;
    int16_t id_;
    __FCUserWindow* window_;
    int role_;
};
