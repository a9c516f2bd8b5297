// An articulation definition (tag O\x04IX, keyed by its number): which character or shape the
// articulation draws as its main and its flipped symbol, in which fonts, where it is placed and
// what it does to playback. Two layouts follow the host version: 60 bytes from 0x11000000 on,
// 48 bytes before, where characters and font sizes share one word. The structure lives inside
// the object, which counts as loaded from construction (a blank definition of the current layout)
// so that a new definition can be filled and created. FCArticulationDefs owns every definition of
// a document.
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCNoInciOther.h"

class FCFontInfo;

class FCArticulationDef : public __FCNoInciOther {
public:
    static constexpr uint32_t kTag = FXTag('O', '\x04', 'I', 'X');
    static constexpr uint32_t kMaxDataSize = 60;

    // The four kinds of articulation the tasks create and recognise (the popup keys).
    enum Kind { kStaccato = 0, kTenuto = 1, kAccent = 2, kGraveAccent = 3, kKindCount = 4 };

    // The signed 16-bit values of the record. A to C place the main symbol and D the flipped
    // one; I is a further position value. E/F, G/H, J/K and L/M are the pairs of playback values
    // that flags-2 bits 0x0020, 0x0008, 0x0040 and 0x0010 switch on.
    enum Value {
        kValueA,
        kValueB,
        kValueC,
        kValueD,
        kValueE,
        kValueF,
        kValueG,
        kValueH,
        kValueI,
        kValueJ,
        kValueK,
        kValueL,
        kValueM,
        kValueCount
    };

    // Bits of flags word 1. The low four bits hold the position mode (see SetPositionMode).
    static constexpr uint16_t kMainUsesAlternate = 0x2000;
    static constexpr uint16_t kFlippedUsesAlternate = 0x4000;
    static constexpr uint16_t kPositionModeMask = 0x000F;
    static constexpr uint16_t kPositionModeOn = 0x0008;
    // Further bits: the definition-level flag, the two compared with every identity test, the
    // five compared with the B flags, and the one the template sets for every kind.
    static constexpr uint16_t kDefinitionFlag = 0x8000;
    static constexpr uint16_t kFlag1000 = 0x1000;
    static constexpr uint16_t kFlag0200 = 0x0200;
    static constexpr uint16_t kFlag0010 = 0x0010;
    static constexpr uint16_t kFlagsB1 = 0x0010 | 0x0020 | 0x0040 | 0x0080;
    // Bits of flags word 2.
    static constexpr uint16_t kFlag2_0001 = 0x0001;
    static constexpr uint16_t kMainIsShape = 0x0002;
    static constexpr uint16_t kAlternateIsShape = 0x0004;
    static constexpr uint16_t kFlagsB2 = kFlag2_0001;
    // Playback switches of flags word 2, each with its pair of values.
    static constexpr uint16_t kPlayback08 = 0x0008;  // values G, H
    static constexpr uint16_t kPlayback10 = 0x0010;  // values L, M
    static constexpr uint16_t kPlayback20 = 0x0020;  // values E, F
    static constexpr uint16_t kPlayback40 = 0x0040;  // values J, K

    // A field of one layout: its byte offset and width (1: a byte of a shared word, 2: a word).
    struct Field {
        int offset;
        int bytes;
    };
    // Where the fields lie in one layout. The stand-in host and the score text read records
    // through the same description.
    struct Layout {
        uint32_t dataVersion;
        uint32_t size;
        Field mainSlot, mainSize, mainFont, mainEffects;
        Field alternateSlot, alternateSize, alternateFont, alternateEffects;
        int flags1;
        int flags2;
        int values[kValueCount];
    };
    static const Layout& LayoutForHostVersion(uint32_t hostVersion);

    FCArticulationDef();
    FC_CLASS_INFO(FCArticulationDef)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCArticulationDef; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataVersion() override { return CurrentLayout().dataVersion; }
    uint32_t GetDataSize() override { return CurrentLayout().size; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, sizeof data_); }
    // Clears the structure first, so a short record never shows the previous record's bytes.
    bool Reload() override;

    // --- the two character slots ---
    // The slot's value: a character, or a shape number when the slot holds a shape.
    int GetMainSlot() const;
    int GetAlternateSlot() const;
    bool IsMainShape() const { return (GetFlags2() & kMainIsShape) != 0; }
    bool IsAlternateShape() const { return (GetFlags2() & kAlternateIsShape) != 0; }
    // The character of the slot; 0 when it holds a shape.
    int GetMainCharacter() const { return IsMainShape() ? 0 : GetMainSlot(); }
    int GetAlternateCharacter() const { return IsAlternateShape() ? 0 : GetAlternateSlot(); }
    // A character in the slot (the slot no longer holds a shape).
    void SetMainCharacter(int character);
    void SetAlternateCharacter(int character);
    // A shape in the slot.
    void SetMainShape(int shape);
    void SetAlternateShape(int shape);

    // --- the symbols drawn, through the selector flags ---
    // The alternate character when flag 0x2000 is set, else the main character.
    int GetMainSymbolChar() const;
    // The alternate character when flag 0x4000 is set, else the main character.
    int GetFlippedSymbolChar() const;
    // Writes the character into the slot the selector flag chooses.
    void SetMainSymbolChar(int character);
    void SetFlippedSymbolChar(int character);
    // The slot chosen for the main symbol or the one chosen for the flipped symbol holds a shape.
    bool UsesShape() const;

    // --- fonts (number, size and effects per slot) ---
    int GetMainFontNumber() const;
    void SetMainFontNumber(int number);
    int GetMainFontSize() const;
    void SetMainFontSize(int size);
    int GetMainFontEffects() const;
    void SetMainFontEffects(int effects);
    int GetAlternateFontNumber() const;
    void SetAlternateFontNumber(int number);
    int GetAlternateFontSize() const;
    void SetAlternateFontSize(int size);
    int GetAlternateFontEffects() const;
    void SetAlternateFontEffects(int effects);

    // --- flags, position mode and values ---
    uint16_t GetFlags1() const;
    void SetFlags1(uint16_t flags);
    uint16_t GetFlags2() const;
    void SetFlags2(uint16_t flags);
    void SetFlags1Bits(uint16_t mask, bool state);
    void SetFlags2Bits(uint16_t mask, bool state);
    // 0 when bit 0x8 is clear, else 1-5 by the stored code (12, 8, 9, 11, 10); -1 for a code
    // that names no mode.
    int GetPositionMode() const;
    // Modes 1-5 store 0x8 plus their code in the low four bits; mode 0 clears bit 0x8. Other
    // values change nothing.
    void SetPositionMode(int mode);
    // 0 for a value out of range.
    int GetValue(Value value) const;
    void SetValue(Value value, int number);

    // --- the tasks' kinds ---
    // The definition counts as the kind: its main slot holds no shape and its main character
    // (the slot itself, not the derived symbol) is one of the kind's characters.
    bool CountsAsKind(int kind) const;
    bool CountsAsAnyKind() const;
    // The characters the tasks handle: 45, 46, 62, 94, 138, 172, 248, 249.
    static bool IsHandledCharacter(int character);
    // Applies the template of a new definition of the kind to this (blank) definition: fonts
    // from the articulation font (number by the host's number for its name), then the common
    // and the kind's fields. False, with nothing changed, for a kind out of range.
    bool ApplyTemplate(int kind, const FCFontInfo* font);
    // Compares the symbol, fonts and selectors (always), and the playback, positions, B flags
    // and position mode when asked. True for the same object.
    bool IsIdenticalTo(const FCArticulationDef* other, bool comparePlayback, bool comparePositions, bool compareFlagsB,
                       bool comparePositionMode) const;

private:
    const Layout& CurrentLayout() const { return LayoutForHostVersion(hostapi::GetHostVersion()); }
    int ReadField(const Field& field) const;
    void WriteField(const Field& field, int value);
    int Word(int offset) const;
    void SetWord(int offset, int value);

    uint8_t data_[kMaxDataSize];
};

class FCArticulationDefs : public __FCCollectionNoInciOther {
public:
    FC_CLASS_INFO(FCArticulationDefs)
    __FCBaseData* CreateElement() override { return new FCArticulationDef; }
    FCArticulationDef* GetItemAt(int i) const { return ItemAs<FCArticulationDef>(i); }

    // Loads the articulation font (font preference 27) into font (when given) and every
    // definition, then keeps only those the tasks handle: no shape, and a main symbol character
    // among the handled ones. The new count.
    int LoadAllHandled(FCFontInfo* font);
    // A definition matching the candidate: first one identical with the B flags and the position
    // mode compared, then one with the position mode alone. When none matches, a copy of the
    // candidate is created in the document (the host assigns its number) and kept in the list.
    // The caller owns the copy it receives; null without a candidate. When the creation fails the
    // copy is still returned, but nothing is kept and its number is no definition's.
    FCArticulationDef* FindOrCreateDefinition(FCArticulationDef* candidate);
};
