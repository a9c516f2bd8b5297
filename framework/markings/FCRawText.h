// A text record of the host (family: other without incidence, keyed by its text number) whose
// tag the owner chooses with SetCustomTag; expression texts use kExpressionTextTag. It holds one
// NUL-terminated string, 8-bit on hosts before 0x11000000 and UTF-16 from then on. The record
// varies in size: the object owns a block allocated on every load or SetText.
#pragma once

#include "framework/core/FCString.h"
#include "framework/host/__FCVariableNoInciOther.h"

class FCRawText : public __FCVariableNoInciOther {
public:
    static constexpr uint32_t kExpressionTextTag = FXTag('t', 'x', 'x', 'p');

    // Starts loaded with an empty text, so a new text can be created with SaveNew.
    FCRawText();
    FC_CLASS_INFO(FCRawText)

    __FCBaseData* CreateObject() override { return new FCRawText; }
    // The custom tag; 0 (no record) when none was set.
    uint32_t GetTag() override { return GetCustomTag(); }
    // The host version itself: the host hands the text over in its own encoding.
    uint32_t GetDataVersion() override { return hostapi::GetHostVersion(); }
    // Without a custom tag there is no record to write: both refuse.
    bool Save() override { return GetCustomTag() != 0 && __FCNoInciOther::Save(); }
    bool SaveNew() override { return GetCustomTag() != 0 && __FCNoInciOther::SaveNew(); }

    // The string; empty when nothing is loaded.
    void GetText(FCString* text);
    // Replaces the string (the record is rebuilt in the host's encoding and counts as loaded).
    void SetText(const FCString* text);
};
