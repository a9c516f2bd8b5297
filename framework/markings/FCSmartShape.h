// Smart shapes: slurs, hairpins and the other shapes that span from a left end to a right end,
// attached either to measure positions or to two entries. FCSmartShape is one shape record
// (keyed by its document-wide shape number); it owns its two segment views and the list of the
// centre shapes loaded with it. The measure marks and entry marks that tell the host where a
// shape lies are in FCSmartShapeMeasureMark.h and FCSmartShapeEntryMark.h; SaveNewEverything
// and DeleteEverything keep the shape, its marks and its centre shapes together.
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCDetail.h"
#include "framework/host/__FCNoInciOther.h"

class FCNoteEntry;
class FCSmartShape;

// One end of a shape: a view of 30 bytes inside the shape's record. Neither the bytes nor the
// shape are owned; the shape creates its two segments and destroys them.
class FCSmartShapeSegment : public __FCBase {
public:
    static constexpr int kSize = 30;
    // Segment flag written by the measure-attached preset on newer hosts.
    static constexpr uint16_t kFlagMeasurePreset = 0x4000;

    FCSmartShapeSegment(uint8_t* data, FCSmartShape* shape, bool left) : data_(data), shape_(shape), left_(left) {}
    FC_CLASS_INFO(FCSmartShapeSegment)

    int GetStaff() const;
    void SetStaff(int staff);
    int GetMeasure() const;
    void SetMeasure(int measure);
    // The position in the measure in EDUs (measure-attached shapes).
    int32_t GetMeasurePos() const;
    void SetMeasurePos(int32_t position);
    // The same field read as an entry number (entry-attached shapes).
    int32_t GetEntryNumber() const;
    // Attaches the segment to the entry (0 for none); an entry gets its smart-shape flag.
    void SetEntry(FCNoteEntry* entry);
    int GetEndpointOffsetY() const;
    void SetEndpointOffsetY(int offset);
    uint16_t GetFlags() const;
    void SetFlags(uint16_t flags);
    bool IsLeft() const { return left_; }
    FCSmartShape* GetShape() const { return shape_; }

private:
    uint8_t* data_;
    FCSmartShape* shape_;
    bool left_;
};

// The piece of a shape in a measure strictly between its end measures (keyed by shape number
// and centre number). Created empty; its content is the host's.
class FCCenterSmartShape : public __FCNoInciDetail {
public:
    static constexpr uint32_t kTag = 0x44034378;
    static constexpr uint32_t kDataSize = 22;

    FCCenterSmartShape();
    FC_CLASS_INFO(FCCenterSmartShape)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCCenterSmartShape; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }
    bool Reload() override;

    int GetShapeNumber() const { return GetKeyWord(0); }
    int GetCenterNumber() const { return GetKeyWord(1); }
    // Creates a new centre record for the shape; the host assigns the centre number (from 1).
    bool SaveNew(int shapeNumber);

private:
    uint8_t data_[kDataSize];
};

// The centre shapes of one shape; owns its elements.
class FCCenterSmartShapes : public __FCCollectionDetail {
public:
    FC_CLASS_INFO(FCCenterSmartShapes)
    __FCBaseData* CreateElement() override { return new FCCenterSmartShape; }
    FCCenterSmartShape* GetItemAt(int i) const { return ItemAs<FCCenterSmartShape>(i); }
};

class FCSmartShape : public __FCNoInciOther {
public:
    static constexpr uint32_t kTag = 0x4F085378;
    static constexpr uint32_t kDataSize = 92;

    // Shape flag bits.
    static constexpr uint32_t kFlagEntryAttached = 0x40000000;
    static constexpr uint32_t kFlag20000000 = 0x20000000;
    static constexpr uint32_t kFlag10000000 = 0x10000000;
    static constexpr uint32_t kFlag8000 = 0x00008000;
    static constexpr uint32_t kFlag0400 = 0x00000400;
    static constexpr uint32_t kFlag0200 = 0x00000200;
    static constexpr uint32_t kFlag0100 = 0x00000100;
    static constexpr uint32_t kFlagCode0020 = 0x00000020;
    static constexpr uint32_t kFlagCode0010 = 0x00000010;
    static constexpr uint32_t kFlag0001 = 0x00000001;
    static constexpr uint32_t kInitialFlags = kFlag0200;

    // Shape types the tasks create or recognise.
    enum Type {
        kTypeSlurDown = 0,
        kTypeSlurUp = 1,
        kTypeDecrescendo = 2,
        kTypeCrescendo = 3,
        kTypeDashedSlurDown = 8,
        kTypeDashedSlurUp = 9,
        kTypeSlurAuto = 15,
        kTypeDashedSlurAuto = 16,
        kTypeDashedCurveDown = 40,
        kTypeDashedCurveUp = 41,
        kTypeDashedCurveAuto = 42
    };
    // From this host version on a dashed curve is type 42, before it type 16.
    static constexpr uint32_t kDashedCurveVersion = 0x19000000;
    // From this host version on the measure-attached preset also flags the segments.
    static constexpr uint32_t kSegmentPresetVersion = hostapi::kCurrentLayoutHostVersion;

    FCSmartShape();
    ~FCSmartShape() override;
    FC_CLASS_INFO(FCSmartShape)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCSmartShape; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }
    bool Reload() override;

    int GetShapeNumber() const { return GetKeyWord(0); }
    int GetShapeType() const;
    void SetShapeType(int type);
    uint32_t GetFlags() const;
    void SetFlags(uint32_t flags);
    bool IsEntryAttached() const { return (GetFlags() & kFlagEntryAttached) != 0; }
    void SetEntryAttached(bool state) { SetFlagBits(kFlagEntryAttached, state); }

    // The segment views, created on first use and owned by the shape.
    FCSmartShapeSegment* GetLeftSegment();
    FCSmartShapeSegment* GetRightSegment();
    // Writes the staff of both segments.
    void SetStaff(int staff);

    // The flags a new hairpin or other measure-attached shape takes (by host version).
    void ApplyMeasureAttachedPreset();
    // The flags a new slur takes.
    void ApplyEntryAttachedPreset();
    // 0, 1 or 2 (the slur tasks pass 2); other values change nothing.
    void SetCodeBits(int code);

    bool IsHairpin() const;
    bool IsSlurFamily() const;
    static bool IsSlurFamilyType(int type);
    // Entry-attached and of a slur type: what the slur tasks treat as a slur.
    bool IsEntryAttachedSlur() const { return IsEntryAttached() && IsSlurFamily(); }
    // The type a new slur of the shape option takes on this host (solid 15; dashed 16 or 42).
    static int CalcSlurType(bool solid);

    // The centre shapes loaded with the shape (by FCSmartShapeMeasureMark::CreateSmartShape).
    FCCenterSmartShapes* GetCenterShapes() { return &centers_; }
    // Reads the centre shapes of this shape from the measure marks of its measures.
    void LoadCenterShapes();

    // Creates the shape with its measure marks (every measure from the left to the right
    // segment's), centre shapes (strictly between), the measures' smart-shape flags and, for
    // the entries given, entry marks. False, with nothing written, when the shape record
    // cannot be created.
    bool SaveNewEverything(FCNoteEntry* left, FCNoteEntry* right);
    // Deletes the loaded shape's measure marks, entry marks, the centre shapes it was loaded
    // with, and the shape record; the result is the record's deletion.
    bool DeleteEverything();

private:
    void SetFlagBits(uint32_t mask, bool state);

    uint8_t data_[kDataSize];
    FCSmartShapeSegment* left_;
    FCSmartShapeSegment* right_;
    FCCenterSmartShapes centers_;
};
