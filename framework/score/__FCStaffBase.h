// The staff record structure shared by staves, the staff settings in effect and staff-style
// definitions (whose records begin with it). Three layouts follow the host version; the field
// accessors give the address of a field for the layout in use, so one set of operations serves
// every class that carries the structure. Concrete classes own the buffer.
#pragma once

#include "framework/host/__FCNoInciOther.h"

class __FCStaffBase : public __FCNoInciOther {
public:
    // Byte offsets that are the same in every layout.
    static constexpr int kNotationFlagsOffset = 10;
    static constexpr int kIndependenceFlagsOffset = 22;
    static constexpr int kAltNotationOffset = 4;
    static constexpr int kOptionsOffset = 72;
    static constexpr uint16_t kNotationStyle1 = 0x2000;
    static constexpr uint16_t kNotationStyle2 = 0x0200;
    static constexpr uint16_t kIndependentKeySig = 0x8000;
    static constexpr uint16_t kIndependentTimeSig = 0x4000;

    // Staff record sizes of the three layouts and their data versions.
    static constexpr uint32_t kStaffSize = 136;     // host 0x12000000 and later
    static constexpr uint32_t kStaffSize11 = 132;   // host 0x11000000 up to 0x12000000
    static constexpr uint32_t kStaffSizeOld = 114;  // hosts before 0x11000000
    static uint32_t StaffDataVersion(uint32_t hostVersion);
    static uint32_t StaffDataSize(uint32_t hostVersion);

    const char* ClassName() const override { return "__FCStaffBase"; }
    uint32_t GetDataVersion() override { return StaffDataVersion(hostapi::GetHostVersion()); }

    // slots 29-52: the address of each field in the current layout; null when the layout lacks it.
    virtual uint8_t* GetDefaultClefField();
    virtual uint8_t* GetIndependenceFlagsField();
    virtual uint8_t* GetNotationFlagsField();
    virtual uint8_t* GetAltNotationField();
    virtual uint8_t* GetTranspositionField();
    virtual uint8_t* GetStaffLinesField();
    virtual uint8_t* GetLineSpacingField();
    virtual uint8_t* GetTopLineField();
    virtual uint8_t* GetTopBarlineField();
    virtual uint8_t* GetBottomBarlineField();
    virtual uint8_t* GetFullNameField();
    virtual uint8_t* GetAbbreviatedNameField();
    virtual uint8_t* GetKeyTranspositionField();
    virtual uint8_t* GetDisplayFlagsField();
    virtual uint8_t* GetStemFlagsField();
    virtual uint8_t* GetHorizontalOffsetField();
    virtual uint8_t* GetVerticalOffsetField();
    virtual uint8_t* GetOptionsField();
    virtual uint8_t* GetPlaybackChannelField();
    virtual uint8_t* GetInstrumentField();
    virtual uint8_t* GetGroupFlagsField();
    virtual uint8_t* GetNameFontField();
    virtual uint8_t* GetTablatureField();
    virtual uint8_t* GetExtendedFlagsField();

    // 1 when notation flag 0x2000 is set, else 2 when 0x0200 is set, else 0 (standard notation).
    int GetNotationStyle();
    void SetNotationStyle(int style);
    bool HasIndependentKeySig();
    bool HasIndependentTimeSig();
    void SetIndependentKeySig(bool state);
    void SetIndependentTimeSig(bool state);

protected:
    // Capacity of the concrete class's buffer.
    virtual uint32_t BufferSize() = 0;
    uint16_t ReadWord(uint8_t* field);
    void WriteWord(uint8_t* field, uint16_t value);
    void SetFlagBits(uint8_t* field, uint16_t mask, bool state);

private:
    // The address of a field at this offset when it lies inside the staff structure of the layout.
    uint8_t* FieldAt(int offset, int size = 2);
};
