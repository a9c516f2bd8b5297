// The storage files of tests/data/storage, one kind of damage each: every one loads without a
// crash to the profiles it holds, and the next save keeps what is not this system's: the foreign
// content of a readable file, the whole of an unreadable one (moved aside, byte for byte).
#include "profiles/FCNumberSettingsProfiles.h"
#include "tests/framework/files/TempHostFolder.h"
#include "tests/profiles/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

enum Outcome {
    kKept,        // readable: everything but the list survives the save
    kMovedAside,  // unreadable: moved aside whole, a new file written
    kFresh        // without a byte: a new file written, nothing to keep
};

std::string ReadCorpusFile(const std::string& name) {
    std::ifstream in(std::string(QZ_TEST_DATA_DIR) + "/storage/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(StorageCorpus, EveryDamagedFileLoadsWhatItCanAndSurvivesTheNextSave) {
    const struct {
        const char* file;
        std::vector<std::string> profiles;
        Outcome outcome;
    } rows[] = {
        {"valid.xml", {"Measures|0|4|153|1|1|1|0", "Roman|1|8|145|1|1|0|0"}, kKept},
        {"bom-and-crlf.xml", {"Measures|0|4|153|1|1|1|0", "Roman|1|8|145|1|1|0|0"}, kKept},
        {"empty.xml", {}, kFresh},
        {"whitespace-only.xml", {}, kMovedAside},
        {"not-xml.xml", {}, kMovedAside},
        {"truncated.xml", {}, kMovedAside},
        {"truncated-after-root.xml", {}, kMovedAside},
        {"binary-garbage.xml", {}, kMovedAside},
        {"mismatched-tags.xml", {}, kMovedAside},
        {"deep-nesting.xml", {}, kMovedAside},
        {"duplicate-attribute.xml", {}, kMovedAside},
        {"unclosed-comment.xml", {}, kMovedAside},
        {"no-root.xml", {}, kKept},
        {"no-branch.xml", {}, kKept},
        {"no-list.xml", {}, kKept},
        {"duplicate-roots.xml", {}, kKept},
        {"unknown-elements.xml", {"one|0|0|145|1|1|0|0", "two|0|0|145|1|1|0|0"}, kKept},
        {"missing-names.xml", {"named|0|0|145|1|1|0|0"}, kKept},
        {"wrong-types.xml", {"types|0|4|304|1|9|0|0"}, kKept},
        {"out-of-range.xml", {"range|0|0|17|1000|1|0|0"}, kKept},
        {"entities.xml",
         {"A & B <\xe2\x82\xac\xe2\x82\xac> \"' &unknown;|0|0|145|1|1|0|0",
          "bad &#xFFFFFFFF; &#0; &#xZ; &amp ref|0|0|145|1|1|0|0"},
         kKept},
        {"doctype-entities.xml", {}, kMovedAside},  // the library reads the subset's end as text
        {"text-outside-root.xml", {}, kMovedAside},
        {"processing-instruction.xml", {}, kMovedAside},  // the library reads them only before the root
        {"long-name.xml", {std::string(400000, 'x') + "|0|0|145|1|1|0|0"}, kKept},
        {"invalid-utf8.xml", {}, kMovedAside},  // a rewrite would lose the bytes that are not UTF-8
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        TempHostFolder folder;
        const std::string original = ReadCorpusFile(row.file);
        folder.WriteBytes(FCNumberSettingsProfiles::kStorageFileName, original);

        FCNumberSettingsProfiles profiles;
        profiles.LoadProfiles();
        EXPECT_EQ(storagetest::DescribeAll(profiles), row.profiles);

        FCNumberSettingsProfile* added = new FCNumberSettingsProfile;
        profiles.Add(added);
        ASSERT_TRUE(profiles.SaveProfiles());
        const std::string saved = folder.ReadBytes(FCNumberSettingsProfiles::kStorageFileName);
        tinyxml2::XMLDocument document;
        ASSERT_TRUE(storagetest::Parse(saved, &document));
        const tinyxml2::XMLElement* list = storagetest::ProfileList(&document);
        ASSERT_TRUE(list);
        int count = 0;
        for (const tinyxml2::XMLElement* e = list->FirstChildElement(); e; e = e->NextSiblingElement()) ++count;
        EXPECT_EQ(count, profiles.GetCount());

        const bool aside = folder.Exists(FCNumberSettingsProfiles::kUnreadableFileName);
        EXPECT_EQ(aside, row.outcome == kMovedAside);
        if (row.outcome == kMovedAside) {
            EXPECT_EQ(folder.ReadBytes(FCNumberSettingsProfiles::kUnreadableFileName), original);
        }
        if (row.outcome == kKept) {
            EXPECT_EQ(storagetest::ForeignContent(saved), storagetest::ForeignContent(original));
        }
        if (row.outcome == kMovedAside || row.outcome == kFresh) {
            EXPECT_EQ(storagetest::ForeignContent(saved), "");
        }

        FCNumberSettingsProfiles reloaded;
        reloaded.LoadProfiles();
        EXPECT_EQ(storagetest::DescribeAll(reloaded), storagetest::DescribeAll(profiles));
    }
}
