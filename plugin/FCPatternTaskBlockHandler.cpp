#include "plugin/FCPatternTaskBlockHandler.h"

#include "framework/score/FCMusicRegion.h"
#include "framework/score/FCPart.h"
#include "framework/ui/FCCtrlCheckbox.h"
#include "framework/ui/FCCtrlEdit.h"
#include "framework/ui/FCCtrlPopup.h"
#include "framework/ui/FCUI.h"
#include "plugin/FCTaskControlInfo.h"

#include <cmath>

static_assert(FCPatternTaskBlockHandler::kBelow == FCTaskControlInfo::kBelowPrevious &&
                  FCPatternTaskBlockHandler::kBeside == FCTaskControlInfo::kCentredOnPrevious,
              "the handlers' vertical rules are the layout's");

FCPatternTaskBlockHandler::FCPatternTaskBlockHandler(int taskID, FCUI* ui, PatternTaskWindow* window)
    : window_(window),
      static1_(nullptr),
      static2_(nullptr),
      static3_(nullptr),
      static4_(nullptr),
      static5_(nullptr),
      popup1_(nullptr),
      popup2_(nullptr),
      popup3_(nullptr),
      edit1_(nullptr),
      edit2_(nullptr),
      edit3_(nullptr),
      button_(nullptr),
      check1_(nullptr),
      check2_(nullptr),
      check3_(nullptr),
      dataList_(nullptr),
      taskID_(taskID),
      ui_(ui) {}

void FCPatternTaskBlockHandler::FillPopup(FCCtrlPopup* popup, int count, const TaskPopupItem* items, int currentKey) {
    if (!popup) return;
    popup->Clear();
    if (!items || count <= 0) return;
    int selected = 0;
    for (int i = count - 1; i >= 0; --i)
        if (items[i].key == currentKey) selected = i;
    for (int i = 0; i < count; ++i) popup->AddItemCString(items[i].text);
    popup->SetSelectedItem(selected);
}

int FCPatternTaskBlockHandler::GetPopupKey(FCCtrlPopup* popup, int count, const TaskPopupItem* items) {
    if (!items || count <= 0) return -1;
    const int selected = popup ? popup->GetSelectedItem() : -1;
    if (selected < 0 || selected >= count) return items[0].key;
    return items[selected].key;
}

void FCPatternTaskBlockHandler::RespaceSelection(bool allParts) {
    FCParts parts;
    if (allParts)
        parts.LoadAll();
    else
        parts.Add(new FCPart(FCPart::kCurrentPart));

    // Without a selection there are no measures to respace and nothing to give back.
    FCMusicRegion selection;
    if (!selection.SetCurrentSelection() || selection.IsEmpty()) return;

    for (int i = 0; i < parts.GetCount(); ++i) {
        FCPart* part = parts.GetItemAt(i);
        // Respacing is meant for that part: a part that cannot be shown is left alone.
        if (allParts && !part->SwitchTo()) continue;
        FCMusicRegion measures;
        measures.SetFullDocument();
        measures.SetStartMeasure(selection.GetStartMeasure());
        measures.SetEndMeasure(selection.GetEndMeasure());
        measures.SetAsSelection();
        if (ui_) ui_->ExecuteCommand(FCUI::kCommandRespace);
        if (allParts) part->SwitchBack();
    }
    selection.SetAsSelection();
}

void FCPatternTaskBlockHandler::AddRow(FCTaskControlInfos* infos, FCControl* control, int horizontalStart, int width,
                                       int verticalRule) {
    if (infos && control) infos->AddInfo(control, horizontalStart, width, verticalRule);
}

void FCPatternTaskBlockHandler::SetLabel(FCControl* control, const char* text) {
    if (!control) return;
    FCString label(text);
    control->SetText(&label);
}

void FCPatternTaskBlockHandler::SetChecked(FCCtrlCheckbox* check, bool checked) {
    if (check) check->SetCheck(checked ? 1 : 0);
}

bool FCPatternTaskBlockHandler::IsChecked(FCCtrlCheckbox* check) { return check && check->GetCheck() != 0; }

void FCPatternTaskBlockHandler::SetEnabled(FCControl* control, bool enabled) {
    if (control) control->SetEnable(enabled);
}

void FCPatternTaskBlockHandler::SetShown(FCControl* control, bool visible) {
    if (control) control->SetVisible(visible);
}

void FCPatternTaskBlockHandler::SetInteger(FCCtrlEdit* edit, int value) {
    if (edit) edit->SetInteger(value);
}

int FCPatternTaskBlockHandler::GetClampedInteger(FCCtrlEdit* edit, int lower, int upper) {
    return edit ? edit->GetRangeInteger(lower, upper) : lower;
}

int FCPatternTaskBlockHandler::GetInteger(FCCtrlEdit* edit) { return edit ? edit->GetInteger() : 0; }

void FCPatternTaskBlockHandler::SetMeasurement(FCCtrlEdit* edit, int internalUnits) {
    if (edit) edit->SetMeasurement(internalUnits);
}

int FCPatternTaskBlockHandler::GetMeasurement(FCCtrlEdit* edit) {
    if (!edit) return 0;
    const double value = edit->GetRangeMeasurement(kMinMeasurement, kMaxMeasurement);
    // A field the host could not read as a number stands for no offset.
    if (std::isnan(value)) return 0;
    return int(value);
}
