// A shape expression definition (keyed by its number; tag O\x03DO unless a custom tag is set):
// an expression drawn as a shape. The system reads only its category. The record varies in size,
// so the object owns a block allocated on every load; a new definition starts loaded with an
// empty (zeroed) structure of the smallest size that holds the category word.
#pragma once

#include "framework/host/__FCVariableNoInciOther.h"

class FCShapeExpressionDef : public __FCVariableNoInciOther {
public:
    static constexpr uint32_t kTag = FXTag('O', '\x03', 'D', 'O');
    // The smallest structure that holds every field this class reads.
    static constexpr uint32_t kMinimumSize = 28;

    FCShapeExpressionDef();
    FC_CLASS_INFO(FCShapeExpressionDef)

    __FCBaseData* CreateObject() override { return new FCShapeExpressionDef; }
    uint32_t GetTag() override { return GetCustomTag() ? GetCustomTag() : kTag; }
    uint32_t GetDataVersion() override {
        return hostapi::GetHostVersion() >= hostapi::kUTF16HostVersion ? hostapi::kUTF16HostVersion : 0x0F000000;
    }
    // A record shorter than the structure is saved at the structure's size, so the fields set
    // reach the host.
    bool Save() override;

    // Bits 0-13 of the word at offset 26.
    int GetCategoryNumber() const;
    // Changes bits 0-13 only.
    void SetCategoryNumber(int number);
};
