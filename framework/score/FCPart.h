// One part of the document (tag otpD, item number = part identifier; 0 is the score) and the
// means to make it the host's current part for a while. FCParts owns the parts in the host's
// order. A pending switch lives in the FCPart object: SwitchBack must be called on the same
// object before it is destroyed.
#pragma once

#include "framework/core/__FCCollection.h"
#include "framework/host/__FCNoInciOther.h"

class FCPart : public __FCNoInciOther {
public:
    static constexpr uint32_t kTag = FXTag('o', 't', 'p', 'D');
    static constexpr uint32_t kDataSize = 12;
    static constexpr int kCurrentPart = -1;
    static constexpr int16_t kNoSwitch = -2;

    // -1 stands for the host's current part. Remembers the current document.
    explicit FCPart(int identifier = kCurrentPart);
    FC_CLASS_INFO(FCPart)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCPart(id_); }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override;

    int GetID() const { return id_; }
    bool IsScore() const { return id_ == 0; }
    // Loads the part's own record.
    bool LoadRecord() { return Load(uint16_t(id_)); }
    // Makes this part current; false when the document changed since construction, a switch is
    // already pending, or the host did not make the part current.
    bool SwitchTo();
    // Makes the part that was current before SwitchTo current again.
    bool SwitchBack();
    bool IsSwitchPending() const { return previous_ != kNoSwitch; }

private:
    bool IsOwnDocumentCurrent() const;

    uint8_t data_[kDataSize];
    int16_t id_;
    int16_t documentID_;
    int16_t previous_;
};

class FCParts : public __FCCollection {
public:
    FC_CLASS_INFO(FCParts)
    // Every part the host enumerates, starting with the score; the new count.
    int LoadAll();
    FCPart* GetItemAt(int i) const { return ItemAs<FCPart>(i); }
};
