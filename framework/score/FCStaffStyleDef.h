// A staff style definition (tag SOSY, keyed by style number). Its record begins with the staff
// record structure, so the staff accessors serve it; the style's own fields follow.
#pragma once

#include "framework/score/__FCStaffBase.h"

class FCStaffStyleDef : public __FCStaffBase {
public:
    static constexpr uint32_t kTag = FXTag('S', 'O', 'S', 'Y');
    static constexpr uint32_t kStyleSize = 296;
    static constexpr uint32_t kStyleSize11 = 292;
    static constexpr uint32_t kStyleSizeOld = 144;
    static uint32_t StyleDataSize(uint32_t hostVersion);

    // Bits of the alternate-notation word (offset 4) and the option word (offset 72).
    static constexpr uint16_t kAltNotationKindMask = 0x000F;
    static constexpr uint16_t kAltNotationLayerMask = 0x00F0;
    static constexpr uint16_t kExpressionsVisibleInLayer1 = 0x8000;
    static constexpr uint16_t kExpressionsVisibleInOtherLayers = 0x0004;

    FCStaffStyleDef();
    FC_CLASS_INFO(FCStaffStyleDef)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCStaffStyleDef; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return StyleDataSize(hostapi::GetHostVersion()); }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, sizeof data_); }

    // 0 for none.
    int GetAltNotationKind();
    void SetAltNotationKind(int kind);
    // The affected layer less one (0 is layer 1).
    int GetAltNotationLayerField();
    void SetAltNotationLayerField(int field);
    bool GetExpressionsVisibleInLayer1();
    void SetExpressionsVisibleInLayer1(bool state);
    bool GetExpressionsVisibleInOtherLayers();
    void SetExpressionsVisibleInOtherLayers(bool state);

protected:
    uint32_t BufferSize() override { return sizeof data_; }

private:
    uint8_t data_[kStyleSize];
};
