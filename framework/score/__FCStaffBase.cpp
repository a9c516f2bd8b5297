#include "framework/score/__FCStaffBase.h"

static_assert(__FCStaffBase::kStaffSize == 136 && __FCStaffBase::kStaffSize11 == 132 &&
                  __FCStaffBase::kStaffSizeOld == 114,
              "staff record layouts");

uint32_t __FCStaffBase::StaffDataVersion(uint32_t hostVersion) {
    if (hostVersion >= hostapi::kCurrentLayoutHostVersion) return hostapi::kCurrentLayoutHostVersion;
    return hostVersion < hostapi::kUTF16HostVersion ? 0x0F000000 : hostapi::kUTF16HostVersion;
}

uint32_t __FCStaffBase::StaffDataSize(uint32_t hostVersion) {
    if (hostVersion >= hostapi::kCurrentLayoutHostVersion) return kStaffSize;
    return hostVersion < hostapi::kUTF16HostVersion ? kStaffSizeOld : kStaffSize11;
}

uint8_t* __FCStaffBase::FieldAt(int offset, int size) {
    // The field must lie inside the staff structure of the layout in use, which staff styles
    // share at the start of theirs.
    if (uint32_t(offset + size) > StaffDataSize(hostapi::GetHostVersion())) return nullptr;
    return static_cast<uint8_t*>(GetDataPointer()) + offset;
}

uint8_t* __FCStaffBase::GetDefaultClefField() { return FieldAt(0); }
uint8_t* __FCStaffBase::GetIndependenceFlagsField() { return FieldAt(kIndependenceFlagsOffset); }
uint8_t* __FCStaffBase::GetNotationFlagsField() { return FieldAt(kNotationFlagsOffset); }
uint8_t* __FCStaffBase::GetAltNotationField() { return FieldAt(kAltNotationOffset); }
uint8_t* __FCStaffBase::GetTranspositionField() { return FieldAt(2); }
uint8_t* __FCStaffBase::GetStaffLinesField() { return FieldAt(6); }
uint8_t* __FCStaffBase::GetLineSpacingField() { return FieldAt(8); }
uint8_t* __FCStaffBase::GetTopLineField() { return FieldAt(12); }
uint8_t* __FCStaffBase::GetTopBarlineField() { return FieldAt(14); }
uint8_t* __FCStaffBase::GetBottomBarlineField() { return FieldAt(16); }
uint8_t* __FCStaffBase::GetFullNameField() { return FieldAt(18); }
uint8_t* __FCStaffBase::GetAbbreviatedNameField() { return FieldAt(20); }
uint8_t* __FCStaffBase::GetKeyTranspositionField() { return FieldAt(24); }
uint8_t* __FCStaffBase::GetDisplayFlagsField() { return FieldAt(26); }
uint8_t* __FCStaffBase::GetStemFlagsField() { return FieldAt(28); }
uint8_t* __FCStaffBase::GetHorizontalOffsetField() { return FieldAt(30); }
uint8_t* __FCStaffBase::GetVerticalOffsetField() { return FieldAt(32); }
uint8_t* __FCStaffBase::GetOptionsField() { return FieldAt(kOptionsOffset); }
uint8_t* __FCStaffBase::GetPlaybackChannelField() { return FieldAt(74); }
uint8_t* __FCStaffBase::GetInstrumentField() { return FieldAt(76); }
uint8_t* __FCStaffBase::GetGroupFlagsField() { return FieldAt(78); }
// Fields that only the newer layouts have.
uint8_t* __FCStaffBase::GetNameFontField() { return FieldAt(114, 6); }
uint8_t* __FCStaffBase::GetTablatureField() { return FieldAt(120); }
uint8_t* __FCStaffBase::GetExtendedFlagsField() { return FieldAt(132); }

uint16_t __FCStaffBase::ReadWord(uint8_t* field) { return field ? fcdata::Read<uint16_t>(field, 0) : 0; }

void __FCStaffBase::WriteWord(uint8_t* field, uint16_t value) {
    if (field) fcdata::Write<uint16_t>(field, 0, value);
}

void __FCStaffBase::SetFlagBits(uint8_t* field, uint16_t mask, bool state) {
    const uint16_t word = ReadWord(field);
    WriteWord(field, state ? uint16_t(word | mask) : uint16_t(word & ~mask));
}

int __FCStaffBase::GetNotationStyle() {
    const uint16_t flags = ReadWord(GetNotationFlagsField());
    if (flags & kNotationStyle1) return 1;
    if (flags & kNotationStyle2) return 2;
    return 0;
}

void __FCStaffBase::SetNotationStyle(int style) {
    uint8_t* field = GetNotationFlagsField();
    SetFlagBits(field, kNotationStyle1, style == 1);
    SetFlagBits(field, kNotationStyle2, style == 2);
}

bool __FCStaffBase::HasIndependentKeySig() { return (ReadWord(GetIndependenceFlagsField()) & kIndependentKeySig) != 0; }

bool __FCStaffBase::HasIndependentTimeSig() {
    return (ReadWord(GetIndependenceFlagsField()) & kIndependentTimeSig) != 0;
}

void __FCStaffBase::SetIndependentKeySig(bool state) {
    SetFlagBits(GetIndependenceFlagsField(), kIndependentKeySig, state);
}

void __FCStaffBase::SetIndependentTimeSig(bool state) {
    SetFlagBits(GetIndependenceFlagsField(), kIndependentTimeSig, state);
}
