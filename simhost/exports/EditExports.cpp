// Host exports: undoable edits of the current document.
#include "simhost/Document.h"
#include "simhost/SimExport.h"
#include "simhost/SimFunctions.h"

SIM_EXPORT int32_t FXAPI FX_StartFinaleEdit(const char* title, uint32_t) {
    SIM_ENTER(FX_StartFinaleEdit, int32_t);
    if (!title) return 0;
    std::u16string units;
    for (const char* c = title; *c; ++c) units += char16_t(static_cast<unsigned char>(*c));
    return simhost::CurrentDocument().StartEdit(units) ? 1 : 0;
}

SIM_EXPORT int32_t FXAPI FX_StartFinaleEdit_UTF16(const char16_t* title, uint32_t) {
    SIM_ENTER(FX_StartFinaleEdit_UTF16, int32_t);
    if (!title) return 0;
    return simhost::CurrentDocument().StartEdit(std::u16string(title)) ? 1 : 0;
}

SIM_EXPORT int32_t FXAPI FX_EndFinaleEdit(uint32_t) {
    SIM_ENTER(FX_EndFinaleEdit, int32_t);
    return simhost::CurrentDocument().EndEdit() ? 1 : 0;
}

SIM_EXPORT int32_t FXAPI FX_CancelFinaleEdit(uint32_t) {
    SIM_ENTER(FX_CancelFinaleEdit, int32_t);
    return simhost::CurrentDocument().CancelEdit() ? 1 : 0;
}
