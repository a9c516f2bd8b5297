// An owning collection whose elements read and write themselves as XML elements (through
// __FCBase's ReadFromXML and WriteToXML): all elements come from, and go to, the child elements
// of one parent element that have a given name. Owns its elements.
#pragma once

#include "framework/core/__FCCollection.h"

namespace tinyxml2 {
class XMLElement;
}

class __FCCollectionTinyXML : public __FCCollection {
public:
    const char* ClassName() const override { return "__FCCollectionTinyXML"; }

    // slot 9: a new element with its defaults; the caller owns it.
    virtual __FCBase* CreateElement() = 0;

    // Appends one element per child of parent named elementName, in document order; children
    // whose element does not read (ReadFromXML false) are left out. The number appended.
    int ReadAllFromXML(const tinyxml2::XMLElement* parent, const char* elementName);
    // Appends one child named elementName per element, in collection order, with the attribute
    // "CollectionIdx" set to its 1-based position before the element writes itself.
    void WriteAllToXML(tinyxml2::XMLElement* parent, const char* elementName);
};
