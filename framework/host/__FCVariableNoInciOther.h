// Records identified by item number alone whose size varies from record to record (texts,
// definitions with a trailing text or shape). The object owns a block allocated on every load,
// sized as the host reports and never smaller than the minimum the class gives, so the fields it
// reads always lie inside the block.
#pragma once

#include "framework/host/__FCNoInciOther.h"

class __FCVariableNoInciOther : public __FCNoInciOther {
public:
    const char* ClassName() const override { return "__FCVariableNoInciOther"; }

    bool RenewDataOnLoad() override { return true; }
    void OnFreeData() override { size_ = capacity_ = 0; }
    // Asks the host for the size of the record under the current key and allocates a block for
    // it; null when there is no such record.
    void* GetDataPointer() override;
    uint32_t GetDataSize() override { return size_; }
    // Copies a loaded object of the same class.
    bool CopyDataFrom(__FCBaseData* other) override;

protected:
    explicit __FCVariableNoInciOther(uint32_t minimumCapacity);

    // Allocates a zeroed block for a record of that size (at least the minimum capacity) and
    // makes it the data.
    uint8_t* Allocate(uint32_t size);
    uint32_t Capacity() const { return capacity_; }

private:
    uint32_t minimumCapacity_;
    uint32_t size_;
    uint32_t capacity_;
};
