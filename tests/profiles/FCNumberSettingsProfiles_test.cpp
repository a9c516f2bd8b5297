#include "profiles/FCNumberSettingsProfiles.h"
#include "tests/framework/files/TempHostFolder.h"
#include "tests/profiles/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using storagetest::Describe;
using storagetest::DescribeAll;

namespace {

const char* const kFile = FCNumberSettingsProfiles::kStorageFileName;

FCNumberSettingsProfile* AddProfile(FCNumberSettingsProfiles& profiles, const char* utf8Name) {
    FCNumberSettingsProfile* profile = new FCNumberSettingsProfile;
    FCString name;
    name.SetUTF8(utf8Name);
    profile->SetName(&name);
    profiles.Add(profile);
    return profile;
}

std::string Wrap(const std::string& profiles) {
    return "<QZPluginSettings><QZPattern><NumberSettingsProfiles>" + profiles +
           "</NumberSettingsProfiles></QZPattern></QZPluginSettings>";
}

}  // namespace

// A first save creates the whole document: the root with "Author" first, the branch, the list
// and one element per profile with its attributes in the file's order.
TEST(ProfileStorage, AFirstSaveWritesTheDocumentShape) {
    TempHostFolder folder;
    FCNumberSettingsProfiles profiles;
    AddProfile(profiles, "Default Profile");
    FCNumberSettingsProfile* second = AddProfile(profiles, "Bars");
    second->SetNumberStyle(1);
    second->SetFormatting(8);
    second->SetOptions(0x102);
    ASSERT_TRUE(profiles.SaveProfiles());
    EXPECT_FALSE(folder.Exists(FCNumberSettingsProfiles::kTemporaryFileName));

    tinyxml2::XMLDocument document;
    ASSERT_TRUE(storagetest::Parse(folder.ReadBytes(kFile), &document));
    const tinyxml2::XMLElement* root = document.FirstChildElement();
    ASSERT_TRUE(root);
    EXPECT_STREQ(root->Name(), "QZPluginSettings");
    EXPECT_EQ(root->NextSiblingElement(), nullptr);
    const tinyxml2::XMLElement* author = root->FirstChildElement();
    ASSERT_TRUE(author);
    EXPECT_STREQ(author->Name(), "Author");
    EXPECT_STREQ(author->GetText(), "Vornholt");
    const tinyxml2::XMLElement* branch = author->NextSiblingElement();
    ASSERT_TRUE(branch);
    EXPECT_STREQ(branch->Name(), "QZPattern");
    const tinyxml2::XMLElement* list = branch->FirstChildElement();
    ASSERT_TRUE(list);
    EXPECT_STREQ(list->Name(), "NumberSettingsProfiles");

    const std::vector<std::string> expected = {"CollectionIdx=2",
                                               "Name=Bars",
                                               "NumberStyle=1",
                                               "Formatting=8",
                                               "Steps=1",
                                               "StartAt=1",
                                               "MaxValuePtDiff=0",
                                               "ScorePartAssignment=0",
                                               "AlwaysEndOfRegion=0",
                                               "AlwaysStartOfSystem=1",
                                               "AlwaysEndOfSystem=0",
                                               "RestartDoubleBarline=0",
                                               "RestartFinalBarline=0",
                                               "RestartSolidBarline=0",
                                               "RestartRehearsalMark=0",
                                               "MaxItalics=0",
                                               "MaxOnFirst=1"};
    const tinyxml2::XMLElement* element = list->FirstChildElement("NumberSettingsProfile");
    ASSERT_TRUE(element);
    EXPECT_STREQ(element->Attribute("CollectionIdx"), "1");
    element = element->NextSiblingElement();
    ASSERT_TRUE(element);
    EXPECT_STREQ(element->Name(), "NumberSettingsProfile");
    std::vector<std::string> attributes;
    for (const tinyxml2::XMLAttribute* a = element->FirstAttribute(); a; a = a->Next())
        attributes.push_back(std::string(a->Name()) + "=" + a->Value());
    EXPECT_EQ(attributes, expected);
    EXPECT_EQ(element->NextSiblingElement(), nullptr);
}

// Names with XML's special characters, line ends and characters outside ASCII, and every field,
// come back as saved;
// the positions written are renumbered whatever the file held, and reading keeps document order.
TEST(ProfileStorage, ProfilesRoundTripAndPositionsAreRenumbered) {
    TempHostFolder folder;
    folder.WriteBytes(kFile, Wrap("<NumberSettingsProfile CollectionIdx=\"9\" Name=\"second in file\"/>"
                                  "<NumberSettingsProfile CollectionIdx=\"1\" Name=\"first in file\"/>"));
    FCNumberSettingsProfiles profiles;
    ASSERT_EQ(profiles.LoadProfiles(), 2);
    EXPECT_EQ(profiles.GetItemAt(0)->GetName()->GetUTF8(), "second in file");
    FCNumberSettingsProfile* odd =
        AddProfile(profiles, "A & <B> \"C\" 'D' &amp; \xc3\xbc\xe2\x82\xac \xf0\x9d\x84\x9e\ttab\nline\r\nend ");
    odd->SetNumberStyle(3);
    odd->SetFormatting(13);
    odd->SetOptions(0x1FF);
    odd->SetSteps(1000);
    odd->SetStartAt(7);
    odd->SetMaxValuePtDiff(3);
    odd->SetScorePartAssignment(2);
    ASSERT_TRUE(profiles.SaveProfiles());

    FCNumberSettingsProfiles loaded;
    ASSERT_EQ(loaded.LoadProfiles(), 3);
    EXPECT_EQ(DescribeAll(loaded), DescribeAll(profiles));
    tinyxml2::XMLDocument document;
    ASSERT_TRUE(storagetest::Parse(folder.ReadBytes(kFile), &document));
    int position = 1;
    for (const tinyxml2::XMLElement* e = storagetest::ProfileList(&document)->FirstChildElement(); e;
         e = e->NextSiblingElement())
        EXPECT_EQ(e->IntAttribute("CollectionIdx"), position++);
}

// Saving rewrites only the list of this system's branch: other plug-ins' branches, other
// children of the branch, comments, the declaration and nodes outside the root stay as they were.
TEST(ProfileStorage, EverythingTheSystemDoesNotOwnSurvivesASave) {
    TempHostFolder folder;
    const std::string original =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!-- shared by several plug-ins -->\n"
        "<QZPluginSettings version=\"3\">\n"
        "  <Author>Someone Else</Author>\n"
        "  <QZOther mode=\"a&amp;b\"><Entry key=\"x\">text &lt;kept&gt;   with  blanks</Entry><![CDATA[raw "
        "<data>]]></QZOther>\n"
        "  <QZPattern><Notes>mine, but not profiles</Notes><NumberSettingsProfiles>"
        "<NumberSettingsProfile Name=\"old\"/></NumberSettingsProfiles></QZPattern>\n"
        "  <QZThird/>\n"
        "</QZPluginSettings>\n"
        "<Trailer>after the root</Trailer>\n";
    folder.WriteBytes(kFile, original);
    FCNumberSettingsProfiles profiles;
    ASSERT_EQ(profiles.LoadProfiles(), 1);
    AddProfile(profiles, "new");
    ASSERT_TRUE(profiles.SaveProfiles());

    const std::string saved = folder.ReadBytes(kFile);
    EXPECT_EQ(storagetest::ForeignContent(saved), storagetest::ForeignContent(original));
    EXPECT_NE(saved.find("<Author>Someone Else</Author>"), std::string::npos);
    EXPECT_EQ(saved.find("Vornholt"), std::string::npos);  // the root existed: no second author
    FCNumberSettingsProfiles loaded;
    ASSERT_EQ(loaded.LoadProfiles(), 2);
    EXPECT_EQ(loaded.GetItemAt(1)->GetName()->GetUTF8(), "new");
}

// Reading: "Name" is required; each missing value takes its default; ints read like C's decimal
// conversion; a flag is on only when it reads as 1; values out of range take the default (steps
// and start at are kept within the editor's range).
TEST(ProfileStorage, AttributesAreReadWithDefaultsAndRanges) {
    const struct {
        const char* attributes;
        const char* expected;  // name|style|formatting|options|steps|start|difference|assignment
    } rows[] = {
        {"Name=\"only\"", "only|0|0|145|1|1|0|0"},
        {"Name=\"\"", "|0|0|145|1|1|0|0"},
        {"Name=\"words\" MaxItalics=\"true\" AlwaysEndOfRegion=\"yes\" RestartFinalBarline=\"0\"",
         "words|0|0|0|1|1|0|0"},
        {"Name=\"ones\" MaxItalics=\" 1\" MaxOnFirst=\"1.9\" AlwaysStartOfSystem=\"01\" AlwaysEndOfSystem=\"2\"",
         "ones|0|0|403|1|1|0|0"},
        {"Name=\"ints\" NumberStyle=\"  3xyz\" Formatting=\"+13\" Steps=\"12abc\" StartAt=\"4\" MaxValuePtDiff=\"3\" "
         "ScorePartAssignment=\"3\"",
         "ints|3|13|145|12|4|3|3"},
        {"Name=\"range\" NumberStyle=\"4\" Formatting=\"14\" Steps=\"0\" StartAt=\"5000\" MaxValuePtDiff=\"-1\" "
         "ScorePartAssignment=\"99999999999\"",
         "range|0|0|145|1|1000|0|0"},
        {"Name=\"text\" NumberStyle=\"abc\" Formatting=\"\" Steps=\"-7\" StartAt=\"-2147483649\"",
         "text|0|0|145|1|1|0|0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.attributes);
        TempHostFolder folder;
        folder.WriteBytes(kFile, Wrap(std::string("<NumberSettingsProfile ") + row.attributes + "/>"));
        FCNumberSettingsProfiles profiles;
        ASSERT_EQ(profiles.LoadProfiles(), 1);
        EXPECT_EQ(Describe(profiles.GetItemAt(0)), row.expected);
    }
}

TEST(ProfileStorage, WithoutAHostFolderNothingIsReadOrWritten) {
    TempHostFolder folder;
    folder.WriteBytes(kFile, Wrap("<NumberSettingsProfile Name=\"a\"/>"));
    simhost::SetFailing("FX_GetFinalePath");
    FCNumberSettingsProfiles profiles;
    AddProfile(profiles, "b");
    EXPECT_EQ(profiles.LoadProfiles(), 0);
    AddProfile(profiles, "b");
    EXPECT_FALSE(profiles.SaveProfiles());
    EXPECT_EQ(folder.ReadBytes(kFile), Wrap("<NumberSettingsProfile Name=\"a\"/>"));
}

// A save that cannot write its new file leaves the previous file as it was; a temporary file
// left by an interrupted save is simply replaced.
TEST(ProfileStorage, AFailedSaveLeavesThePreviousFileIntact) {
    TempHostFolder folder;
    const std::string previous = Wrap("<NumberSettingsProfile Name=\"precious\"/>");
    folder.WriteBytes(kFile, previous);
    std::filesystem::create_directory(folder.File(FCNumberSettingsProfiles::kTemporaryFileName));
    FCNumberSettingsProfiles profiles;
    AddProfile(profiles, "new");
    EXPECT_FALSE(profiles.SaveProfiles());
    EXPECT_EQ(folder.ReadBytes(kFile), previous);
    EXPECT_FALSE(folder.Exists(FCNumberSettingsProfiles::kUnreadableFileName));

    std::filesystem::remove(folder.File(FCNumberSettingsProfiles::kTemporaryFileName));
    folder.WriteBytes(FCNumberSettingsProfiles::kTemporaryFileName, "<half a file from an interrupted save");
    ASSERT_TRUE(profiles.SaveProfiles());
    EXPECT_FALSE(folder.Exists(FCNumberSettingsProfiles::kTemporaryFileName));
    FCNumberSettingsProfiles loaded;
    ASSERT_EQ(loaded.LoadProfiles(), 1);
    EXPECT_EQ(loaded.GetItemAt(0)->GetName()->GetUTF8(), "new");
}

// A file that is there but cannot be parsed is moved aside, byte for byte, before the new file
// takes its place; only a file without a byte has nothing to keep.
TEST(ProfileStorage, AnUnreadableFileIsKeptAsideInsteadOfWrittenOver) {
    const struct {
        std::string content;
        bool keptAside;
    } rows[] = {
        {"QZPT_TASK=1403\n", true},
        {"<QZPluginSettings><QZOther>important</QZOther><QZPattern", true},
        {"", false},
        {" \n\t\n", true},
        {std::string("\0<QZPluginSettings/>", 20), true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.content);
        TempHostFolder folder;
        folder.WriteBytes(kFile, row.content);
        FCNumberSettingsProfiles profiles;
        EXPECT_EQ(profiles.LoadProfiles(), 0);
        AddProfile(profiles, "Default Profile");
        ASSERT_TRUE(profiles.SaveProfiles());
        EXPECT_EQ(folder.Exists(FCNumberSettingsProfiles::kUnreadableFileName), row.keptAside);
        if (row.keptAside) {
            EXPECT_EQ(folder.ReadBytes(FCNumberSettingsProfiles::kUnreadableFileName), row.content);
        }
        FCNumberSettingsProfiles loaded;
        EXPECT_EQ(loaded.LoadProfiles(), 1);
    }
}

TEST(ProfileStorage, ThousandsOfProfilesLoadAndSave) {
    TempHostFolder folder;
    std::string list;
    for (int i = 0; i < 5000; ++i)
        list += "<NumberSettingsProfile Name=\"P" + std::to_string(i) + "\" Steps=\"" + std::to_string(i % 1000 + 1) +
                "\"/>\n";
    folder.WriteBytes(kFile, Wrap(list));
    FCNumberSettingsProfiles profiles;
    ASSERT_EQ(profiles.LoadProfiles(), 5000);
    EXPECT_EQ(Describe(profiles.GetItemAt(4999)), "P4999|0|0|145|1000|1|0|0");
    ASSERT_TRUE(profiles.SaveProfiles());
    FCNumberSettingsProfiles loaded;
    ASSERT_EQ(loaded.LoadProfiles(), 5000);
    EXPECT_EQ(DescribeAll(loaded), DescribeAll(profiles));
}

// The file lives in whatever folder the host names, in the host's encoding: a folder outside
// ASCII on a UTF-16 host, and an 8-bit host.
TEST(ProfileStorage, TheHostsFolderInEitherEncoding) {
    const struct {
        uint32_t hostVersion;
        const char* subfolder;
    } rows[] = {{0x1B000000, "Noten \xc3\xbc \xe2\x82\xac"}, {0x10800000, "plain"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.hostVersion);
        simhost::Reset();
        hostapi::SetHostVersion(row.hostVersion);
        TempHostFolder folder(row.subfolder);
        FCNumberSettingsProfiles profiles;
        AddProfile(profiles, "here");
        ASSERT_TRUE(profiles.SaveProfiles());
        EXPECT_TRUE(folder.Exists(kFile));
        FCNumberSettingsProfiles loaded;
        ASSERT_EQ(loaded.LoadProfiles(), 1);
        EXPECT_EQ(loaded.GetItemAt(0)->GetName()->GetUTF8(), "here");
    }
}

TEST(NumberSettingsProfiles, CopiesAreIndependentOfTheirSource) {
    FCNumberSettingsProfiles source;
    AddProfile(source, "one")->SetFontSize(12);
    AddProfile(source, "two");
    FCNumberSettingsProfiles copy;
    copy.AddCopiesOf(&source);
    ASSERT_EQ(copy.GetCount(), 2);
    EXPECT_EQ(copy.GetItemAt(0)->GetFontSize(), 12);
    source.GetItemAt(1)->SetSteps(5);
    EXPECT_EQ(copy.GetItemAt(1)->GetSteps(), 1);
    EXPECT_EQ(DescribeAll(copy)[0], Describe(source.GetItemAt(0)));
}

// A file whose bytes the text cannot hold (not UTF-8, a NUL inside a well-formed document) is
// never rewritten with those bytes replaced or cut: it goes aside whole, and earlier copies put
// aside stay as they are (.bak, then .bak.1, .bak.2, ...).
TEST(ProfileStorage, AFileThatCannotBeReadFaithfullyGoesAsideWithoutOverwritingEarlierCopies) {
    const std::string bak = FCNumberSettingsProfiles::kUnreadableFileName;
    const std::string withLatin1 = Wrap("<NumberSettingsProfile Name=\"caf\xE9\"/>");
    const std::string withNul = Wrap(std::string("<QZOther>a\0b</QZOther>", 22));
    TempHostFolder folder;
    const std::string contents[] = {withLatin1, withNul, "\xFF\xFE<QZPluginSettings/>"};
    const std::string names[] = {bak, bak + ".1", bak + ".2"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        folder.WriteBytes(kFile, contents[i]);
        FCNumberSettingsProfiles profiles;
        EXPECT_EQ(profiles.LoadProfiles(), 0);
        AddProfile(profiles, "mine");
        ASSERT_TRUE(profiles.SaveProfiles());
        for (int kept = 0; kept <= i; ++kept) EXPECT_EQ(folder.ReadBytes(names[kept]), contents[kept]);
        FCNumberSettingsProfiles loaded;
        EXPECT_EQ(loaded.LoadProfiles(), 1);
    }
}

#if !defined(_WIN32)
// Other programs may keep the storage file elsewhere and link to it: the save replaces the file
// the link points to and leaves the link in place.
TEST(ProfileStorage, ASymbolicLinkIsWrittenThrough) {
    TempHostFolder folder("host");
    const std::filesystem::path shared = folder.Path().parent_path() / "shared.xml";
    std::ofstream(shared, std::ios::binary) << Wrap("<NumberSettingsProfile Name=\"old\"/>");
    std::filesystem::create_symlink(shared, folder.File(kFile));
    FCNumberSettingsProfiles profiles;
    ASSERT_EQ(profiles.LoadProfiles(), 1);
    AddProfile(profiles, "new");
    ASSERT_TRUE(profiles.SaveProfiles());
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File(kFile)));
    FCNumberSettingsProfiles loaded;
    EXPECT_EQ(loaded.LoadProfiles(), 2);
    std::ifstream in(shared, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(written.find("Name=\"new\""), std::string::npos);
}
#endif
