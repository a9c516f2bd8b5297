#include "framework/ui/FCControl.h"

#include "framework/ui/Win32Support.h"
#include "framework/ui/__FCUserWindow.h"

#include <cmath>
#include <vector>

using fcui::ToHWND;

namespace {

// The host never hands over more than this many characters of an item's text.
constexpr int kMaxTextLength = 5000;

int ScreenDPI() {
    HDC dc = GetDC(nullptr);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 0;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

FCControl::FCControl(int id)
    : boldFont_(nullptr),
      boldWanted_(false),
      textSet_(false),
      storedEnabled_(true),
      enabledSet_(false),
      storedVisible_(true),
      visibleSet_(false),
      storedLeft_(0),
      leftSet_(false),
      storedTop_(0),
      topSet_(false),
      storedWidth_(0),
      widthSet_(false),
      storedHeight_(0),
      heightSet_(false),
      scaling_(false),
      pendingMove_(false),
      pendingSize_(false),
      pendingLeft_(0),
      pendingTop_(0),
      pendingWidth_(0),
      pendingHeight_(0),
      id_(int16_t(id)),
      window_(nullptr),
      role_(kRoleNone) {}

FCControl::~FCControl() {
    if (boldFont_) DeleteObject(static_cast<HGDIOBJ>(boldFont_));
}

FXWindow FCControl::GetNativeWindow() const { return window_ ? window_->GetWindowHandle() : nullptr; }

bool FCControl::IsOnScreen() const { return GetNativeWindow() != nullptr; }

FXWindow FCControl::GetNativeItem() const {
    HWND window = ToHWND(GetNativeWindow());
    return window ? GetDlgItem(window, id_) : nullptr;
}

void FCControl::StoreText(const FCString* text) {
    storedText_.SetString(text);
    if (!text) storedText_.Clear();
    textSet_ = true;
}

void FCControl::ApplyStoredState() {
    HWND item = ToHWND(GetNativeItem());
    if (!item) return;
    if (textSet_) FCControl::SetText(&storedText_);
    if (enabledSet_) FCControl::SetEnable(storedEnabled_);
    if (visibleSet_) FCControl::SetVisible(storedVisible_);
    if (widthSet_ || heightSet_) {
        float left, top, width, height;
        ReadNativeRect(&left, &top, &width, &height);
        SetNativeRect(0, 0, widthSet_ ? storedWidth_ : width, heightSet_ ? storedHeight_ : height, false, true);
    }
    if (leftSet_ || topSet_) {
        float left, top, width, height;
        ReadNativeRect(&left, &top, &width, &height);
        SetNativeRect(leftSet_ ? storedLeft_ : left, topSet_ ? storedTop_ : top, 0, 0, true, false);
    }
    if (boldWanted_) SetBold();
}

void FCControl::ReadState() {
    HWND item = ToHWND(GetNativeItem());
    if (!item) return;
    FCString text;
    FCControl::GetText(&text);
    StoreText(&text);
    storedEnabled_ = IsWindowEnabled(item) != FALSE;
    storedVisible_ = (GetWindowLongW(item, GWL_STYLE) & WS_VISIBLE) != 0;
    enabledSet_ = visibleSet_ = true;
    ReadNativeRect(&storedLeft_, &storedTop_, &storedWidth_, &storedHeight_);
    leftSet_ = topSet_ = widthSet_ = heightSet_ = true;
}

void FCControl::Repaint() {
    if (HWND item = ToHWND(GetNativeItem())) InvalidateRect(item, nullptr, TRUE);
}

void FCControl::SetEnable(bool enable) {
    if (GetNativeItem()) {
        hostapi::FX_EnableDlgItem(GetNativeWindow(), id_, enable ? 1 : 0, kFXInterfaceVersion);
        return;
    }
    storedEnabled_ = enable;
    enabledSet_ = true;
}

bool FCControl::GetEnable() {
    if (HWND item = ToHWND(GetNativeItem())) return IsWindowEnabled(item) != FALSE;
    return storedEnabled_;
}

void FCControl::SetVisible(bool visible) {
    if (HWND item = ToHWND(GetNativeItem())) {
        ShowWindow(item, visible ? SW_SHOW : SW_HIDE);
        return;
    }
    storedVisible_ = visible;
    visibleSet_ = true;
}

bool FCControl::GetVisible() {
    if (HWND item = ToHWND(GetNativeItem())) return (GetWindowLongW(item, GWL_STYLE) & WS_VISIBLE) != 0;
    return storedVisible_;
}

void FCControl::SetBold() {
    boldWanted_ = true;
    HWND item = ToHWND(GetNativeItem());
    if (!item) return;
    HFONT current = reinterpret_cast<HFONT>(SendMessageW(item, WM_GETFONT, 0, 0));
    if (!current) current = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW font;
    if (!current || GetObjectW(current, sizeof font, &font) != int(sizeof font)) return;
    font.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirectW(&font);
    if (!bold) return;
    SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(bold), TRUE);
    if (boldFont_) DeleteObject(static_cast<HGDIOBJ>(boldFont_));
    boldFont_ = bold;
}

void FCControl::SetKeyboardFocus() {
    if (HWND item = ToHWND(GetNativeItem())) SetFocus(item);
}

void FCControl::SetText(const FCString* text) {
    if (!GetNativeItem()) {
        StoreText(text);
        return;
    }
    FCString copy;
    copy.SetString(text);
    if (!text) copy.Clear();
    if (hostapi::UseUTF16())
        hostapi::FX_SetDlgString_UTF16(GetNativeWindow(), id_, copy.GetUnits() ? copy.GetUnits() : u"",
                                       kFXInterfaceVersion);
    else
        hostapi::FX_SetDlgString(GetNativeWindow(), id_, copy.GetCString(), kFXInterfaceVersion);
}

void FCControl::GetText(FCString* text) {
    if (!text) return;
    if (!GetNativeItem()) {
        text->SetString(&storedText_);
        return;
    }
    if (hostapi::UseUTF16()) {
        std::vector<char16_t> buffer(kMaxTextLength + 1, 0);
        if (!hostapi::FX_GetDlgString_UTF16(GetNativeWindow(), id_, buffer.data(), kMaxTextLength, kFXInterfaceVersion))
            buffer[0] = 0;
        buffer[kMaxTextLength] = 0;
        text->SetUTF16(buffer.data());
    } else {
        std::vector<char> buffer(kMaxTextLength + 1, 0);
        if (!hostapi::FX_GetDlgString(GetNativeWindow(), id_, buffer.data(), kMaxTextLength, kFXInterfaceVersion))
            buffer[0] = 0;
        buffer[kMaxTextLength] = 0;
        text->SetCString(buffer.data());
    }
}

bool FCControl::IsDeferring() const { return window_ && window_->IsDeferredLayout(); }

void FCControl::ResizeBy(float widthDelta, float heightDelta) {
    const float width = GetWidth() + widthDelta;
    const float height = GetHeight() + heightDelta;
    if (IsDeferring()) {
        pendingWidth_ = width;
        pendingHeight_ = height;
        pendingSize_ = true;
        return;
    }
    if (GetNativeItem()) {
        SetNativeRect(0, 0, width, height, false, true);
        return;
    }
    storedWidth_ = width;
    storedHeight_ = height;
    widthSet_ = heightSet_ = true;
}

float FCControl::GetLeft() {
    if (pendingMove_) return pendingLeft_;
    if (!GetNativeItem()) return storedLeft_;
    float left, top, width, height;
    ReadNativeRect(&left, &top, &width, &height);
    return left;
}

float FCControl::GetTop() {
    if (pendingMove_) return pendingTop_;
    if (!GetNativeItem()) return storedTop_;
    float left, top, width, height;
    ReadNativeRect(&left, &top, &width, &height);
    return top;
}

float FCControl::GetWidth() {
    if (pendingSize_) return pendingWidth_;
    if (!GetNativeItem()) return storedWidth_;
    float left, top, width, height;
    ReadNativeRect(&left, &top, &width, &height);
    return width;
}

float FCControl::GetHeight() {
    if (pendingSize_) return pendingHeight_;
    if (!GetNativeItem()) return storedHeight_;
    float left, top, width, height;
    ReadNativeRect(&left, &top, &width, &height);
    return height;
}

void FCControl::MoveTo(float left, float top) {
    if (IsDeferring()) {
        pendingLeft_ = left;
        pendingTop_ = top;
        pendingMove_ = true;
        return;
    }
    if (GetNativeItem()) {
        SetNativeRect(left, top, 0, 0, true, false);
        return;
    }
    storedLeft_ = left;
    storedTop_ = top;
    leftSet_ = topSet_ = true;
}

void FCControl::MoveBy(float dx, float dy) { MoveTo(GetLeft() + dx, GetTop() + dy); }

void FCControl::SetWidth(float width) {
    if (pendingSize_) pendingWidth_ = width;
    if (GetNativeItem()) {
        float left, top, oldWidth, height;
        ReadNativeRect(&left, &top, &oldWidth, &height);
        SetNativeRect(0, 0, width, height, false, true);
        return;
    }
    storedWidth_ = width;
    widthSet_ = true;
}

void FCControl::SetHeight(float height) {
    if (pendingSize_) pendingHeight_ = height;
    if (GetNativeItem()) {
        float left, top, width, oldHeight;
        ReadNativeRect(&left, &top, &width, &oldHeight);
        SetNativeRect(0, 0, width, height, false, true);
        return;
    }
    storedHeight_ = height;
    heightSet_ = true;
}

void FCControl::ClearPending() { pendingMove_ = pendingSize_ = false; }

int FCControl::GetPendingNativeLeft() const { return ToNative(pendingLeft_); }
int FCControl::GetPendingNativeTop() const { return ToNative(pendingTop_); }
int FCControl::GetPendingNativeWidth() const { return ToNative(pendingWidth_); }
int FCControl::GetPendingNativeHeight() const { return ToNative(pendingHeight_); }

void FCControl::CommitPendingToStoredState() {
    if (pendingMove_) {
        storedLeft_ = pendingLeft_;
        storedTop_ = pendingTop_;
        leftSet_ = topSet_ = true;
    }
    if (pendingSize_) {
        storedWidth_ = pendingWidth_;
        storedHeight_ = pendingHeight_;
        widthSet_ = heightSet_ = true;
    }
    ClearPending();
}

int FCControl::ToNative(float value) const {
    const double pixels = scaling_ ? double(value) * ScreenDPI() / 96.0 : double(value);
    return int(std::lround(pixels));
}

float FCControl::FromNative(int value) const {
    return scaling_ ? float(double(value) * 96.0 / ScreenDPI()) : float(value);
}

void FCControl::ReadNativeRect(float* left, float* top, float* width, float* height) {
    *left = *top = *width = *height = 0;
    HWND item = ToHWND(GetNativeItem());
    if (!item) return;
    RECT rect;
    if (!GetWindowRect(item, &rect)) return;
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    MapWindowPoints(nullptr, ToHWND(GetNativeWindow()), corners, 2);
    *left = FromNative(corners[0].x);
    *top = FromNative(corners[0].y);
    *width = FromNative(corners[1].x - corners[0].x);
    *height = FromNative(corners[1].y - corners[0].y);
}

void FCControl::SetNativeRect(float left, float top, float width, float height, bool move, bool size) {
    HWND item = ToHWND(GetNativeItem());
    if (!item || (!move && !size)) return;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!move) flags |= SWP_NOMOVE;
    if (!size) flags |= SWP_NOSIZE;
    SetWindowPos(item, nullptr, ToNative(left), ToNative(top), ToNative(width), ToNative(height), flags);
}
