#include "framework/score/FCStaffStyleDef.h"

#include <cstring>

static_assert(FCStaffStyleDef::kStyleSize == 296 && FCStaffStyleDef::kStyleSize11 == 292 &&
                  FCStaffStyleDef::kStyleSizeOld == 144,
              "staff style record layouts");
static_assert(FCStaffStyleDef::kStyleSizeOld >= __FCStaffBase::kStaffSizeOld,
              "a staff style record begins with the staff structure");

uint32_t FCStaffStyleDef::StyleDataSize(uint32_t hostVersion) {
    if (hostVersion >= hostapi::kCurrentLayoutHostVersion) return kStyleSize;
    return hostVersion < hostapi::kUTF16HostVersion ? kStyleSizeOld : kStyleSize11;
}

FCStaffStyleDef::FCStaffStyleDef() { std::memset(data_, 0, sizeof data_); }

int FCStaffStyleDef::GetAltNotationKind() { return ReadWord(GetAltNotationField()) & kAltNotationKindMask; }

void FCStaffStyleDef::SetAltNotationKind(int kind) {
    uint8_t* field = GetAltNotationField();
    WriteWord(field, uint16_t((ReadWord(field) & ~kAltNotationKindMask) | (kind & kAltNotationKindMask)));
}

int FCStaffStyleDef::GetAltNotationLayerField() {
    return (ReadWord(GetAltNotationField()) & kAltNotationLayerMask) >> 4;
}

void FCStaffStyleDef::SetAltNotationLayerField(int layerField) {
    uint8_t* field = GetAltNotationField();
    WriteWord(field,
              uint16_t((ReadWord(field) & ~kAltNotationLayerMask) | ((layerField << 4) & kAltNotationLayerMask)));
}

bool FCStaffStyleDef::GetExpressionsVisibleInLayer1() {
    return (ReadWord(GetAltNotationField()) & kExpressionsVisibleInLayer1) != 0;
}

void FCStaffStyleDef::SetExpressionsVisibleInLayer1(bool state) {
    SetFlagBits(GetAltNotationField(), kExpressionsVisibleInLayer1, state);
}

bool FCStaffStyleDef::GetExpressionsVisibleInOtherLayers() {
    return (ReadWord(GetOptionsField()) & kExpressionsVisibleInOtherLayers) != 0;
}

void FCStaffStyleDef::SetExpressionsVisibleInOtherLayers(bool state) {
    SetFlagBits(GetOptionsField(), kExpressionsVisibleInOtherLayers, state);
}
