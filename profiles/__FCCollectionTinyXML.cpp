#include "profiles/__FCCollectionTinyXML.h"

#include <tinyxml2.h>

#include <memory>

int __FCCollectionTinyXML::ReadAllFromXML(const tinyxml2::XMLElement* parent, const char* elementName) {
    if (!parent || !elementName) return 0;
    int added = 0;
    for (const tinyxml2::XMLElement* child = parent->FirstChildElement(elementName); child;
         child = child->NextSiblingElement(elementName)) {
        std::unique_ptr<__FCBase> element(CreateElement());
        // The element reads through the framework's non-const hook; reading does not change the tree.
        if (!element || !element->ReadFromXML(const_cast<tinyxml2::XMLElement*>(child))) continue;
        Add(element.release());
        ++added;
    }
    return added;
}

void __FCCollectionTinyXML::WriteAllToXML(tinyxml2::XMLElement* parent, const char* elementName) {
    if (!parent || !elementName) return;
    for (int i = 0; i < GetCount(); ++i) {
        __FCBase* element = GetItemAt(i);
        if (!element) continue;
        tinyxml2::XMLElement* child = parent->InsertNewChildElement(elementName);
        child->SetAttribute("CollectionIdx", i + 1);
        element->WriteToXML(child);
    }
}
