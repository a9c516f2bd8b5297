// Helpers for the storage-file tests: a profile as one comparable line, the stored branch of a
// saved file, and the content of a storage file that this system does not own (everything but
// its list of profiles), printed by the XML library so that two files can be compared by content.
#pragma once

#include "profiles/FCNumberSettingsProfiles.h"

#include <tinyxml2.h>

#include <string>
#include <vector>

namespace storagetest {

inline std::string Describe(const FCNumberSettingsProfile* profile) {
    if (!profile) return "<none>";
    return profile->GetName()->GetUTF8() + "|" + std::to_string(profile->GetNumberStyle()) + "|" +
           std::to_string(profile->GetFormatting()) + "|" + std::to_string(profile->GetOptions()) + "|" +
           std::to_string(profile->GetSteps()) + "|" + std::to_string(profile->GetStartAt()) + "|" +
           std::to_string(profile->GetMaxValuePtDiff()) + "|" + std::to_string(profile->GetScorePartAssignment());
}

inline std::vector<std::string> DescribeAll(const FCNumberSettingsProfiles& profiles) {
    std::vector<std::string> lines;
    for (int i = 0; i < profiles.GetCount(); ++i) lines.push_back(Describe(profiles.GetItemAt(i)));
    return lines;
}

// True for a well-formed document without text outside its elements (a file the storage code
// can keep).
inline bool Parse(const std::string& bytes, tinyxml2::XMLDocument* document) {
    if (document->Parse(bytes.data(), bytes.size()) != tinyxml2::XML_SUCCESS) return false;
    for (const tinyxml2::XMLNode* node = document->FirstChild(); node; node = node->NextSibling())
        if (node->ToText()) return false;
    return true;
}

// The list element of the system's branch, or null.
inline tinyxml2::XMLElement* ProfileList(tinyxml2::XMLDocument* document) {
    tinyxml2::XMLElement* root = document->FirstChildElement("QZPluginSettings");
    tinyxml2::XMLElement* branch = root ? root->FirstChildElement("QZPattern") : nullptr;
    return branch ? branch->FirstChildElement("NumberSettingsProfiles") : nullptr;
}

// Everything the file holds except the system's list of profiles, and except the elements a
// save adds when they are missing (an empty branch, a root with nothing but its "Author"), with
// every reference as written.
inline std::string ForeignContent(const std::string& bytes) {
    tinyxml2::XMLDocument document(false, tinyxml2::PRESERVE_WHITESPACE);
    if (!Parse(bytes, &document)) return "<not well-formed>";
    tinyxml2::XMLElement* root = document.FirstChildElement("QZPluginSettings");
    if (root) {
        tinyxml2::XMLElement* branch = root->FirstChildElement("QZPattern");
        if (branch) {
            tinyxml2::XMLElement* list = branch->FirstChildElement("NumberSettingsProfiles");
            if (list) branch->DeleteChild(list);
            if (branch->NoChildren()) root->DeleteChild(branch);
        }
        const tinyxml2::XMLElement* author = root->FirstChildElement("Author");
        const bool onlyAuthor = author && root->FirstChild() == author && root->LastChild() == author &&
                                author->GetText() && std::string(author->GetText()) == "Vornholt";
        if (!root->FirstAttribute() && (root->NoChildren() || onlyAuthor)) document.DeleteChild(root);
    }
    // The byte-order mark is the library's business, not content.
    document.SetBOM(false);
    tinyxml2::XMLPrinter printer;
    document.Print(&printer);
    return printer.CStr();
}

}  // namespace storagetest
