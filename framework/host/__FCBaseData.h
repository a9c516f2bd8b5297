// The base of every host record class: one record's structure in memory together with the key it
// was loaded from, and the one protocol by which every kind of record is loaded, walked, saved,
// created and deleted. The object owns its data when it allocated it (owns-data flag).
#pragma once

#include "framework/core/__FCBase.h"
#include "framework/host/hostapi.h"

#include <cstdint>
#include <cstring>

class __FCBaseData : public __FCBase {
public:
    __FCBaseData();
    ~__FCBaseData() override;
    __FCBaseData(const __FCBaseData&) = delete;
    __FCBaseData& operator=(const __FCBaseData&) = delete;

    static constexpr uint32_t kDefaultDataVersion = 0x12050000;

    const char* ClassName() const override { return "__FCBaseData"; }

    // slot 6: where to load the structure.
    virtual void* GetDataPointer() = 0;
    // slot 7: called when the data is released.
    virtual void OnFreeData() {}
    // slot 8: true when the data must be released and fetched afresh on every load.
    virtual bool RenewDataOnLoad() { return false; }
    // slot 9: highest existing incidence for the record's current item, -1 when none.
    virtual int CalcLastInci() { return -1; }
    // slot 10: a new, empty object of the same class; the caller owns it.
    virtual __FCBaseData* CreateObject() = 0;
    // slot 11
    virtual uint32_t GetTag() = 0;
    // slot 12
    virtual uint32_t GetDataVersion() { return kDefaultDataVersion; }
    // slot 13: size in bytes to ask the host for.
    virtual uint32_t GetDataSize() = 0;
    // slot 14
    virtual int32_t GetLoadedSize() { return loadedSize_; }
    // slot 15: copy the structure of another loaded object of the same class.
    virtual bool CopyDataFrom(__FCBaseData* other);
    // slot 16: write the structure back under the current key; false when not loaded.
    virtual bool Save();
    // slot 17: load the structure for the current key.
    virtual bool Reload();
    // slot 18: delete the record with the current key; the object stays loaded.
    virtual bool DeleteData();
    // slot 19: delete the record and the records that belong to it.
    virtual bool DeepDeleteData() { return DeleteData(); }
    // slots 20-23
    virtual bool LoadFirst() = 0;
    virtual bool LoadLast() { return false; }
    virtual bool LoadNext();
    virtual bool LoadPrevious() { return false; }

    bool IsLoaded() const { return loadedSize_ > 0; }
    void SetCustomTag(uint32_t tag) { customTag_ = tag; }
    uint32_t GetCustomTag() const { return customTag_; }
    int16_t GetDocumentID() const { return documentID_; }
    // Releases the data (freed when owned) and makes the object unloaded.
    void FreeData();
    // Copies key, custom tag and document identifier, then the structure.
    bool CopyFrom(__FCBaseData* other);
    // A new object of the same class holding a copy of this one; the caller owns it.
    __FCBaseData* Clone();

    const FXKey& GetKey() const { return key_; }
    uint16_t GetKeyWord(int i) const { return i >= 0 && i < 4 ? key_.words[i] : 0; }

protected:
    void SetKeyWord(int i, uint16_t value) {
        if (i >= 0 && i < 4) key_.words[i] = value;
    }
    void SetKeyBlock(const FXKey& key) { key_ = key; }
    // Moves key word `word` by delta (+1 or -1) and reloads; on failure the word is put back.
    // Refuses to step below 0 or past 0xFFFF without asking the host.
    bool StepKeyWordAndReload(int word, int delta);
    FXKey& Key() { return key_; }
    // For classes that embed one fixed-size structure: the object counts as loaded from the start.
    void SetFixedData(void* data, int32_t size);
    // SetFixedData on the embedded structure cleared first, as every such class starts out.
    template <size_t N>
    void UseClearedData(uint8_t (&data)[N], int32_t size) {
        std::memset(data, 0, N);
        SetFixedData(data, size);
    }
    // The data currently held (null when none).
    void* Data() const { return data_; }
    void SetLoadedSize(int32_t size) { loadedSize_ = size; }
    // CopyDataFrom for classes that keep their structure inside the object: copies the source's
    // bytes (at most capacity) into own and takes the source's loaded size.
    bool CopyDataInto(__FCBaseData* other, void* own, uint32_t capacity);
    // Allocates an owned, zeroed block of this size as the data (the old data is released).
    void* AllocateOwnedData(uint32_t size);
    void SetDocumentIDFromHost();

private:
    uint32_t customTag_;
    int16_t documentID_;
    void* data_;
    bool ownsData_;
    int32_t loadedSize_;
    FXKey key_;
};

// Typed read and write of host-layout fields at byte offsets.
namespace fcdata {

template <typename T>
inline T Read(const void* data, int offset) {
    T value;
    std::memcpy(&value, static_cast<const uint8_t*>(data) + offset, sizeof(T));
    return value;
}

template <typename T>
inline void Write(void* data, int offset, T value) {
    std::memcpy(static_cast<uint8_t*>(data) + offset, &value, sizeof(T));
}

}  // namespace fcdata
