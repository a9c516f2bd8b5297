#include "plugin/FCUndoBlock.h"

#include "framework/core/FCString.h"
#include "framework/host/hostapi.h"
#include "plugin/__FCUndoBlockHandler.h"

bool FCUndoBlock::OpenEdit(const FCString* name) {
    FCString title;
    title.SetString(name);
    // A character made of two units is never split in half.
    int length = kMaxEditNameLength;
    if (title.GetLength() > length && title.GetCharacterAt(length - 1) >= 0xD800 &&
        title.GetCharacterAt(length - 1) <= 0xDBFF)
        --length;
    title.TruncateAt(length);
    if (hostapi::UseUTF16()) return hostapi::FX_StartFinaleEdit_UTF16(title.GetUnits(), kFXInterfaceVersion) != 0;
    return hostapi::FX_StartFinaleEdit(title.GetCString(), kFXInterfaceVersion) != 0;
}

bool FCUndoBlock::Run(__FCUndoBlockHandler* handler, const FCString* name) {
    if (!handler || !name) return false;
    handler->undoBlock_ = this;
    // An edit that could be neither taken back nor closed would leave whatever the task wrote
    // in the document without an undo entry: without the host's cancel there is no run.
    if (!hostapi::IsOffered("FX_CancelFinaleEdit") || !OpenEdit(name)) {
        handler->undoBlock_ = nullptr;
        running_ = false;
        return false;
    }
    running_ = true;
    bool changed = false;
    try {
        changed = handler->Execute();
    } catch (...) {
        // A task that fails half way must not leave its half in the document: the edit is
        // taken back below, as for a run that changed nothing.
        changed = false;
    }
    running_ = false;
    bool committed = changed && hostapi::FX_EndFinaleEdit(kFXInterfaceVersion) != 0;
    // A host that cannot commit the edit must not leave it open: the change is taken back and
    // the run counts as unchanged, so the window beeps instead of reporting success.
    if (!committed) hostapi::FX_CancelFinaleEdit(kFXInterfaceVersion);
    handler->undoBlock_ = nullptr;
    return committed;
}
