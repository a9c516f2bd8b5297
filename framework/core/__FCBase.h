// The root of every framework class: a class name and numeric id, a caller-owned user value
// that tasks use to mark objects, and hooks to write and read the object as XML.
#pragma once

#include "framework/core/FCClassIDs.h"

#include <cstdint>

namespace tinyxml2 {
class XMLElement;
}

class __FCBase {
public:
    __FCBase() : userData_(0) {}
    __FCBase(const __FCBase&) = default;
    __FCBase& operator=(const __FCBase&) = default;

    // slot 0
    virtual int GetClassID() const { return kClassID_None; }
    // slot 1
    virtual const char* ClassName() const { return "__FCBase"; }
    // slot 2
    virtual ~__FCBase() {}
    // slot 3: true when both objects report the identical class name text.
    virtual bool IsSameClass(const __FCBase* other) const;
    // slot 4: write the object's fields as child elements.
    virtual void WriteToXML(tinyxml2::XMLElement* /*parent*/) {}
    // slot 5: read them back.
    virtual bool ReadFromXML(tinyxml2::XMLElement* /*parent*/) { return false; }

    // A value the framework never interprets.
    void SetUserData(uint32_t value) { userData_ = value; }
    uint32_t GetUserData() const { return userData_; }

private:
    uint32_t userData_;
};

// Declares a concrete class's id and name.
#define FC_CLASS_INFO(name)                                     \
    int GetClassID() const override { return kClassID_##name; } \
    const char* ClassName() const override { return #name; }
