// A window of the plug-in: owns its control objects (the collection, in creation order) and turns
// the native window's messages, which the host delivers to one dispatcher, into virtual
// operations. The object outlives its native window: while there is none, it and its controls
// keep their values as stored state, pushed onto the native window when it opens and pulled back
// when it closes.
#pragma once

#include "framework/core/FCString.h"
#include "framework/core/__FCCollection.h"
#include "framework/host/hostapi.h"

#include <cstdint>

class FCControl;
class FCCtrlButton;
class FCCtrlCheckbox;
class FCCtrlDataList;
class FCCtrlEdit;
class FCCtrlLine;
class FCCtrlListBox;
class FCCtrlPopup;
class FCCtrlStatic;
class FCCtrlTree;

class __FCUserWindow : public __FCCollection {
public:
    __FCUserWindow();
    ~__FCUserWindow() override;

    int GetClassID() const override { return kClassID___FCUserWindow; }
    const char* ClassName() const override { return "__FCUserWindow"; }

    // slot 9: when on screen, applies the stored title and geometry, then every control's.
    virtual void ApplyStoredState();
    // slot 10: ends the native window, keeping the object.
    virtual void CloseWindow() = 0;
    // slot 11: the native window was created.
    virtual void HandleInit();
    // slots 12-14: the close box or a close-role button (modal result 0), the OK role (1), the
    // cancel role (2); each closes the window unless it is closed already or CanClose refuses.
    virtual void HandleClose();
    virtual void HandleOk();
    virtual void HandleCancel();
    // slot 15: any command from a control (or none); true when handled.
    virtual bool HandleCommand(FCControl* control);
    // slot 16
    virtual void HandleTabChange(FCControl* control, int page);
    // slot 17
    virtual void HandleUpDown(FCControl* control, int delta);
    // slot 18: row -1 means the list lost its selection.
    virtual void HandleListSelection(FCControl* control, int row);
    // slot 19
    virtual void HandleListCheck(FCControl* control, int row, bool checked);
    // slot 20
    virtual void HandleTimer(int timerID);
    // slot 21
    virtual void HandleActivate(bool active);
    // slot 22: client size changed (never while shaded).
    virtual void HandleResize(int newWidth, int newHeight, int oldWidth, int oldHeight);
    // slot 23
    virtual bool CanClose();
    // slot 24: a notification from the control with that id; the record is the platform's
    // notification structure. False: the notification's default handling stays.
    virtual bool HandleNotify(int /*controlID*/, void* /*notification*/) { return false; }

    // Controls. The window takes ownership; the created control is returned.
    FCControl* AddControl(FCControl* control);
    FCCtrlStatic* CreateStatic(int id);
    FCCtrlEdit* CreateEdit(int id);
    FCCtrlPopup* CreatePopup(int id);
    FCCtrlCheckbox* CreateCheckbox(int id);
    FCCtrlButton* CreateButton(int id);
    FCCtrlListBox* CreateListBox(int id);
    FCCtrlDataList* CreateDataList(int id);
    FCCtrlTree* CreateTree(int id);
    FCCtrlLine* CreateLine(int id);
    // The first control with that dialog id, or null.
    FCControl* GetControl(int id) const;
    FCControl* GetControlAt(int index) const;

    // The native window (null while not on screen).
    FXWindow GetWindowHandle() const { return window_; }
    bool WindowExists() const { return window_ != nullptr; }
    // Modal showing: returns the modal result once the dialog has ended.
    int ShowModal(FXWindow parent);
    bool IsModal() const { return modal_; }
    bool IsClosed() const { return closed_; }
    int GetModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = int16_t(result); }
    int GetTemplateID() const { return templateID_; }
    // The window whose enabled state is re-evaluated when a modal dialog ends (none by default).
    void SetOwnerWindow(FXWindow owner) { owner_ = owner; }
    FXWindow GetOwnerWindow() const { return owner_; }

    // Title and outer geometry (screen pixels); stored while not on screen.
    void SetTitle(const FCString* title);
    void GetTitle(FCString* title);
    float GetLeft();
    float GetTop();
    float GetWidth();
    float GetHeight();
    void MoveTo(float left, float top);
    void SetSize(float width, float height);
    // The client size last seen.
    float GetClientWidth() const { return clientWidth_; }
    float GetClientHeight() const { return clientHeight_; }

    // Window shade: rolls the window up to its title bar and back.
    void SetShaded(bool shaded);
    bool IsShaded() const { return shaded_; }

    // Remembered placement, for settings. The getters answer -1 when the flag is clear.
    void SetRememberedPlacement(float left, float top, float width, float height);
    float GetRememberedLeft() const;
    float GetRememberedTop() const;
    float GetRememberedWidth() const;
    float GetRememberedHeight() const;
    // Notes the current outer placement; the flags say whether position and size count.
    void NotePlacement(bool position, bool size);
    // Moves (and, with a remembered size, sizes) the window to the remembered placement.
    void ApplyPlacement();

    // Deferred layout: moves and resizes by delta wait until the layout ends, then apply together.
    void BeginDeferredLayout();
    void EndDeferredLayout();
    bool IsDeferredLayout() const { return deferred_; }

    // A window timer; a period of 0 stops it. Only while on screen.
    void SetTimer(int timerID, int milliseconds);

    // Size limits of the outer window (pixels).
    void SetMinimumWidth(float width) { minWidth_ = width; }
    void SetMinimumHeight(float height) { minHeight_ = height; }
    void SetMaximumWidth(float width) { maxWidth_ = width; }
    void SetMaximumHeight(float height) { maxHeight_ = height; }
    float GetMinimumWidth() const { return minWidth_; }
    float GetMinimumHeight() const { return minHeight_; }
    float GetMaximumWidth() const { return maxWidth_; }
    float GetMaximumHeight() const { return maxHeight_; }

    // The modifier keys noted at the last command or notification.
    bool IsShiftDown() const { return shiftDown_; }
    bool IsAltDown() const { return altDown_; }
    bool IsCtrlDown() const { return ctrlDown_; }

    // The dispatcher the host calls with every message of the native window; the last argument
    // is the window object given to FX_Dialog.
    static int32_t FXAPI MessageDispatcher(FXWindow window, uint32_t message, uint32_t wparam, int32_t lparam,
                                           void* userData);

protected:
    void SetTemplateID(int templateID) { templateID_ = int16_t(templateID); }
    void SetWindowHandle(FXWindow window) { window_ = window; }
    void SetClosed(bool closed) { closed_ = closed; }
    // Pulls title, geometry and every control's state into the stored state (before the native
    // window ends); a shaded window stores its full height.
    void StoreNativeState();
    // Forgets the native window after it ended.
    void ForgetNativeWindow();
    // Enables this window exactly when the host's top-level window is enabled (modeless only).
    void FollowHostEnabledState();

private:
    int32_t Dispatch(uint32_t message, uint32_t wparam, int32_t lparam);
    void NoteModifierKeys();
    void CloseByRole(int result);
    // Shading without the alert check, for placement work.
    void ApplyShade(bool shaded);

    FXWindow window_;
    // stored state
    FCString storedTitle_;
    bool titleSet_;
    float storedLeft_;
    bool leftSet_;
    float storedTop_;
    bool topSet_;
    float storedWidth_;
    bool widthSet_;
    float storedHeight_;
    bool heightSet_;
    // remembered placement
    bool placementPositionSet_;
    float placementLeft_;
    float placementTop_;
    bool placementSizeSet_;
    float placementWidth_;
    float placementHeight_;
    float minWidth_;
    float minHeight_;
    float maxWidth_;
    float maxHeight_;
    float clientWidth_;
    float clientHeight_;
    bool shaded_;
    float fullHeight_;
    bool deferred_;
    bool initialised_;
    bool placementApplied_;
    bool modal_;
    bool closed_;
    int16_t modalResult_;
    int16_t templateID_;
    FXWindow owner_;
    bool shiftDown_;
    bool altDown_;
    bool ctrlDown_;
};
