// Small record classes of the test suite's own, one per family, for exercising the record
// protocol against the stand-in host's store.
#pragma once

#include "framework/entries/FCNoteEntry.h"
#include "framework/host/__FCCellDetail.h"
#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCEntryDetail.h"
#include "framework/host/__FCInciOther.h"
#include "framework/host/__FCNoInciOther.h"
#include "framework/host/__FCVariableNoInciOther.h"
#include "framework/host/__FCPrefsBase.h"
#include "framework/score/FCCell.h"

#include <cstring>

// Loaded only after a load (like a measure): 8 bytes.
class TestItem : public __FCNoInciOther {
public:
    static constexpr uint32_t kTag = FXTag('T', 'I', 'T', 'M');
    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new TestItem; }
    uint32_t GetTag() override { return GetCustomTag() ? GetCustomTag() : kTag; }
    uint32_t GetDataSize() override { return sizeof data_; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, sizeof data_); }
    int32_t Value() const { return fcdata::Read<int32_t>(data_, 0); }
    void SetValue(int32_t v) { fcdata::Write<int32_t>(data_, 0, v); }

private:
    uint8_t data_[8] = {0};
};

// Fixed structure: loaded from construction (like an expression): 6 bytes.
class TestInci : public __FCInciOther {
public:
    static constexpr uint32_t kTag = FXTag('T', 'I', 'N', 'C');
    TestInci() { SetFixedData(data_, sizeof data_); }
    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new TestInci; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return sizeof data_; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, sizeof data_); }
    int16_t Value() const { return fcdata::Read<int16_t>(data_, 0); }
    void SetValue(int16_t v) { fcdata::Write<int16_t>(data_, 0, v); }

private:
    uint8_t data_[6] = {0};
};

class TestInciCollection : public __FCCollectionInciOther {
public:
    __FCBaseData* CreateElement() override { return new TestInci; }
    TestInci* GetItemAt(int i) const { return ItemAs<TestInci>(i); }
};

class TestItemCollection : public __FCCollectionNoInciOther {
public:
    __FCBaseData* CreateElement() override { return new TestItem; }
    TestItem* GetItemAt(int i) const { return ItemAs<TestItem>(i); }
};

// An entry detail with a fixed 12-byte structure that flags its entry (like an articulation).
class TestDetail : public __FCEntryDetail {
public:
    static constexpr uint32_t kTag = FXTag('e', 'd', 'T', 'D');
    TestDetail() { SetFixedData(data_, sizeof data_); }
    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new TestDetail; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return sizeof data_; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, sizeof data_); }
    void SetEntryFlag(FCNoteEntry* entry, bool state) override {
        if (entry) entry->SetEntryFlagBits(FCNoteEntry::kFlagArticulations, state);
    }
    int16_t Value() const { return fcdata::Read<int16_t>(data_, 0); }
    void SetValue(int16_t v) { fcdata::Write<int16_t>(data_, 0, v); }

private:
    uint8_t data_[12] = {0};
};

class TestDetailCollection : public __FCCollectionEntryDetail {
public:
    explicit TestDetailCollection(FCNoteEntry* entry) : __FCCollectionEntryDetail(entry) {}
    __FCBaseData* CreateElement() override { return new TestDetail; }
    TestDetail* GetItemAt(int i) const { return ItemAs<TestDetail>(i); }
};

// A cell detail (like a chord symbol) that counts its creations.
class TestCellDetail : public __FCCellDetail {
public:
    static constexpr uint32_t kTag = FXTag('S', 'D', 'T', 'C');
    TestCellDetail() { SetFixedData(data_, sizeof data_); }
    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new TestCellDetail; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return sizeof data_; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, sizeof data_); }
    void OnCreated() override { ++created; }
    int16_t Value() const { return fcdata::Read<int16_t>(data_, 0); }
    void SetValue(int16_t v) { fcdata::Write<int16_t>(data_, 0, v); }
    int created = 0;

private:
    uint8_t data_[4] = {0};
};

class TestCellDetailCollection : public __FCCollectionCellDetail {
public:
    __FCBaseData* CreateElement() override { return new TestCellDetail; }
    TestCellDetail* GetItemAt(int i) const { return ItemAs<TestCellDetail>(i); }
};

// Variable size, allocated on each load (like a raw text).
class TestVariable : public __FCVariableNoInciOther {
public:
    static constexpr uint32_t kTag = FXTag('T', 'V', 'A', 'R');
    TestVariable() : __FCVariableNoInciOther(1) {}
    __FCBaseData* CreateObject() override { return new TestVariable; }
    uint32_t GetTag() override { return kTag; }
    const char* Text() const { return static_cast<const char*>(Data()); }
};

// A preference class over an emulated tag (pfMI) and one the host keeps whole.
class TestMiscPrefs : public __FCPrefsBase {
public:
    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new TestMiscPrefs; }
    uint32_t GetTag() override { return FXTag('p', 'f', 'M', 'I'); }
    uint32_t GetDataSize() override { return sizeof data_; }
    uint16_t Flags() const { return fcdata::Read<uint16_t>(data_, 18); }
    void SetFlags(uint16_t v) { fcdata::Write<uint16_t>(data_, 18, v); }
    uint16_t Word(int offset) const { return fcdata::Read<uint16_t>(data_, offset); }
    uint32_t Long(int offset) const { return fcdata::Read<uint32_t>(data_, offset); }

private:
    uint8_t data_[102] = {0};
};

class TestPlainPrefs : public __FCPrefsBase {
public:
    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new TestPlainPrefs; }
    uint32_t GetTag() override { return FXTag('p', 'f', 'Z', 'Z'); }
    uint32_t GetDataSize() override { return sizeof data_; }
    int16_t Value() const { return fcdata::Read<int16_t>(data_, 0); }
    void SetValue(int16_t v) { fcdata::Write<int16_t>(data_, 0, v); }

private:
    uint8_t data_[4] = {0};
};
