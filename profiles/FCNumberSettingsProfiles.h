// The number profiles of the task window, and their storage file "qzpluginstorage.xml" in the
// host's folder. The file is shared with other plug-ins: its root "QZPluginSettings" holds one
// branch per plug-in, and this system rewrites only its own branch, "QZPattern", keeping every
// other node of the file as it was. Owns its profiles.
#pragma once

#include "profiles/FCNumberSettingsProfile.h"
#include "profiles/__FCCollectionTinyXML.h"

class FCNumberSettingsProfiles : public __FCCollectionTinyXML {
public:
    static constexpr const char* kStorageFileName = "qzpluginstorage.xml";
    // A save writes here first, then moves the file over the storage file in one step.
    static constexpr const char* kTemporaryFileName = "qzpluginstorage.xml.tmp";
    // Where a save moves a storage file it could not read, instead of writing over it.
    static constexpr const char* kUnreadableFileName = "qzpluginstorage.xml.bak";

    FC_CLASS_INFO(FCNumberSettingsProfiles)

    // slot 9: a new profile with its defaults.
    __FCBase* CreateElement() override { return new FCNumberSettingsProfile; }
    FCNumberSettingsProfile* GetItemAt(int i) const { return ItemAs<FCNumberSettingsProfile>(i); }
    // Appends a copy of every profile of other (the same fields as CopyFrom).
    void AddCopiesOf(const FCNumberSettingsProfiles* other);

    // Replaces the contents with the profiles of the storage file: none when the host gives no
    // folder, or the file is missing, not well-formed (text outside the elements counts as not
    // well-formed) or has no branch of this system. Profiles without a name are left out. The
    // number loaded.
    int LoadProfiles();
    // Writes the profiles into this system's branch of the storage file, keeping everything else
    // the file holds. The previous file stays as it was until the new one is completely written.
    // References and white space in other content are written back as they were read.
    // A file that exists but cannot be read faithfully (bytes that are not UTF-8, NUL characters)
    // or parsed (an empty file aside) is not written over: it is moved aside to
    // kUnreadableFileName, or that name with .1, .2, ... when earlier copies hold it, and a new
    // file holds the root, "Author" and the profiles. A storage file that is a symbolic link is
    // written through the link. False when the host gives no folder or the file could not be
    // written or moved aside.
    bool SaveProfiles();
};
