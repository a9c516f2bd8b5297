#include "profiles/FCNumberSettingsProfiles.h"

#include "framework/files/FCTextFileUTF8Stream.h"

#include <tinyxml2.h>

#include <memory>
#include <string>

namespace {

const char* const kRootName = "QZPluginSettings";
const char* const kAuthorName = "Author";
const char* const kAuthorText = "Vornholt";
const char* const kBranchName = "QZPattern";
const char* const kListName = "NumberSettingsProfiles";
const char* const kProfileName = "NumberSettingsProfile";

// The file's text as UTF-8. False when the file cannot be opened. lines: how many lines the file
// gave. faithful: whether the text is the file's bytes exactly (valid UTF-8 without NUL
// characters); text that is not would lose bytes if it were written back.
bool ReadFileText(const char16_t* folder, const char* fileName, std::string* text, int* lines, bool* faithful) {
    const FCString name(fileName);
    FCTextFileUTF8Stream stream(folder, &name);
    text->clear();
    *lines = 0;
    *faithful = true;
    if (!stream.OpenRead()) return false;
    for (;;) {
        std::unique_ptr<FCString> line(stream.ReadLine());
        if (!line) break;
        ++*lines;
        *text += line->GetUTF8();
    }
    *faithful = stream.ReadFaithfully();
    stream.Close();
    return true;
}

// The first of name, name.1, name.2, ... that no file holds yet, so an earlier copy kept aside
// is never written over; false when all are taken.
bool FreeAsideName(const char16_t* folder, const char* name, FCString* free) {
    for (int n = 0; n < 1000; ++n) {
        free->SetCString(name);
        if (n > 0) {
            free->AppendCString(".");
            free->AppendInteger(n);
        }
        FCTextFileStream probe(folder, free);
        if (!probe.OpenRead()) return true;
        probe.Close();
    }
    return false;
}

// The document the storage file holds. References are kept as written and white space as it is,
// so that a save gives other plug-ins' content back as it was (the XML library would change
// references it does not know); the profiles resolve their own. False when the text is not a
// document the library can keep: not well-formed, or with text outside the elements, which the
// library would not write back as it was read.
bool Parse(const std::string& text, tinyxml2::XMLDocument* document) {
    if (document->Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) return false;
    for (const tinyxml2::XMLNode* node = document->FirstChild(); node; node = node->NextSibling())
        if (node->ToText()) return false;
    return true;
}

// Documents that keep references as written and white space as it is (see Parse).
constexpr bool kProcessEntities = false;

tinyxml2::XMLElement* FindOrAppend(tinyxml2::XMLElement* parent, const char* name) {
    tinyxml2::XMLElement* child = parent->FirstChildElement(name);
    return child ? child : parent->InsertNewChildElement(name);
}

}  // namespace

void FCNumberSettingsProfiles::AddCopiesOf(const FCNumberSettingsProfiles* other) {
    if (!other || other == this) return;
    for (int i = 0; i < other->GetCount(); ++i) {
        const FCNumberSettingsProfile* source = other->GetItemAt(i);
        if (!source) continue;
        FCNumberSettingsProfile* copy = new FCNumberSettingsProfile;
        copy->CopyFrom(source);
        Add(copy);
    }
}

int FCNumberSettingsProfiles::LoadProfiles() {
    ClearAll();
    char16_t folder[FCFileStream::kHostFolderSize];
    if (!FCFileStream::GetHostFolder(folder)) return 0;
    std::string text;
    int lines = 0;
    bool faithful = true;
    if (!ReadFileText(folder, kStorageFileName, &text, &lines, &faithful) || !faithful) return 0;
    tinyxml2::XMLDocument document(kProcessEntities, tinyxml2::PRESERVE_WHITESPACE);
    if (!Parse(text, &document)) return 0;
    const tinyxml2::XMLElement* root = document.FirstChildElement(kRootName);
    const tinyxml2::XMLElement* branch = root ? root->FirstChildElement(kBranchName) : nullptr;
    const tinyxml2::XMLElement* list = branch ? branch->FirstChildElement(kListName) : nullptr;
    if (!list) return 0;
    return ReadAllFromXML(list, kProfileName);
}

bool FCNumberSettingsProfiles::SaveProfiles() {
    char16_t folder[FCFileStream::kHostFolderSize];
    if (!FCFileStream::GetHostFolder(folder)) return false;

    tinyxml2::XMLDocument document(kProcessEntities, tinyxml2::PRESERVE_WHITESPACE);
    std::string text;
    int lines = 0;
    bool faithful = true;
    const bool opened = ReadFileText(folder, kStorageFileName, &text, &lines, &faithful);
    const bool parsed = opened && faithful && Parse(text, &document);
    // A file that holds something this system cannot read may still matter to the user or to
    // another plug-in: it is kept under another name rather than written over. Only a file
    // without a single byte has nothing to keep. (When the file could not be opened it is most
    // likely missing; moving it aside then simply fails.)
    const bool unreadable = !parsed && (!opened || lines > 0);
    if (!parsed) document.Clear();

    tinyxml2::XMLElement* root = document.FirstChildElement(kRootName);
    const bool rootCreated = root == nullptr;
    if (rootCreated) {
        root = document.NewElement(kRootName);
        root->InsertNewChildElement(kAuthorName)->SetText(kAuthorText);
    }
    tinyxml2::XMLElement* list = FindOrAppend(FindOrAppend(root, kBranchName), kListName);
    list->DeleteChildren();
    WriteAllToXML(list, kProfileName);
    if (rootCreated) document.InsertEndChild(root);

    tinyxml2::XMLPrinter printer(nullptr, false);
    document.Print(&printer);
    FCString content;
    content.SetUTF8(printer.CStr());

    // Writing the storage file itself would empty it before the new content is safely stored.
    const FCString storageName(kStorageFileName);
    const FCString temporaryName(kTemporaryFileName);
    FCTextFileUTF8Stream temporary(folder, &temporaryName);
    if (!temporary.OpenWrite()) return false;
    const bool written = temporary.WriteText(&content);
    if (!temporary.Close() || !written) {
        temporary.RemoveFile();
        return false;
    }
    if (unreadable) {
        FCString asideName;
        FCTextFileUTF8Stream previous(folder, &storageName);
        const bool movedAside =
            FreeAsideName(folder, kUnreadableFileName, &asideName) && previous.RenameOver(&asideName);
        // A file that was there but cannot be kept aside is not written over either. (One that
        // could not be opened is most likely missing: there is nothing to move.)
        if (opened && !movedAside) {
            temporary.RemoveFile();
            return false;
        }
    }
    if (!temporary.RenameOver(&storageName)) {
        temporary.RemoveFile();
        return false;
    }
    return true;
}
