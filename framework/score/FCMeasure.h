// A measure record (tag SOMS, keyed by measure number from 1) with its time signature, key,
// barline and flags; FCMeasures is the owning collection of every measure. A measure owns the
// time and key signature objects it caches; they are rebuilt from the record on every load.
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCNoInciOther.h"
#include "framework/score/FCKeySignature.h"
#include "framework/score/FCTimeSignature.h"

#include <memory>

class FCMeasure : public __FCNoInciOther {
public:
    static constexpr uint32_t kTag = FXTag('S', 'O', 'M', 'S');

    // Where the fields lie in one layout of the record. The host version chooses the layout; the
    // stand-in host reads stored records through the same description.
    struct Layout {
        uint32_t dataVersion;
        uint32_t size;
        int keySignature;
        int beats;
        int beatDuration;
        int timeFlags;
        int barline;
        int measureFlags;
    };
    static const Layout& LayoutForHostVersion(uint32_t hostVersion);
    // The layout of a stored record of this size, or null.
    static const Layout* LayoutForSize(uint32_t size);
    static constexpr uint32_t kMaxDataSize = 30;

    // Bits of the time-flags word.
    static constexpr uint16_t kTimeCompositeBeats = 0x0080;
    static constexpr uint16_t kTimeCompositeDuration = 0x0040;
    static constexpr uint16_t kTimeHasSmartShapes = 0x2000;
    // Bits of the barline word.
    static constexpr uint16_t kBarlineStyleMask = 0x00F0;
    static constexpr uint16_t kBarlineHasExpressions = 0x4000;
    // Bits of the measure-flags word.
    static constexpr uint16_t kMeasureHasChords = 0x0008;

    FCMeasure();
    FC_CLASS_INFO(FCMeasure)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCMeasure; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataVersion() override;
    uint32_t GetDataSize() override;
    bool CopyDataFrom(__FCBaseData* other) override;
    // Releases the cached time and key signature, so they are rebuilt from the new record.
    bool Reload() override;
    // Refuses measure 0.
    bool Load(uint16_t measure) override;
    // Writes the cached time and key signature into the record first.
    bool Save() override;

    // The cached time signature (owned by the measure); null when the measure is not loaded.
    FCTimeSignature* GetTimeSignature();
    // The cached key signature (owned by the measure); null when the measure is not loaded.
    FCKeySignature* GetKeySignature();

    // 1-7 for the barline styles the host knows (2 double, 4 solid, 5 final), 0 otherwise.
    int GetBarlineStyle() const;
    void SetBarlineStyle(int style);
    bool GetHasChords() const;
    void SetHasChords(bool state);
    bool GetHasSmartShapes() const;
    void SetHasSmartShapes(bool state);
    bool GetHasExpressions() const;
    void SetHasExpressions(bool state);

private:
    const Layout& CurrentLayout() const;
    uint16_t Word(int offset) const { return fcdata::Read<uint16_t>(data_, offset); }
    void SetWord(int offset, uint16_t value) { fcdata::Write<uint16_t>(data_, offset, value); }
    void SetBits(int offset, uint16_t mask, bool state);
    void ReleaseCaches();

    uint8_t data_[kMaxDataSize];
    std::unique_ptr<FCTimeSignature> timeSignature_;
    std::unique_ptr<FCKeySignature> keySignature_;
};

class FCMeasures : public __FCCollectionNoInciOther {
public:
    FC_CLASS_INFO(FCMeasures)
    __FCBaseData* CreateElement() override { return new FCMeasure; }
    FCMeasure* GetItemAt(int i) const { return ItemAs<FCMeasure>(i); }
};
