// MusicXML files on disk: told apart by content, plain and compressed files read back what was
// written, and every kind of bad archive refused with its own reason and nothing left behind.
#include "simhost/musicxml/MusicXmlContainer.h"
#include "tests/framework/files/TempHostFolder.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kScore =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
    "\"http://www.musicxml.org/dtds/partwise.dtd\">\n"
    "<score-partwise version=\"4.0\"><part-list><score-part id=\"P1\"><part-name>Flöte</part-name>"
    "</score-part></part-list><part id=\"P1\"><measure number=\"1\"/></part></score-partwise>\n";

std::string Container(const std::string& rootfile) {
    return "<?xml version=\"1.0\"?><container><rootfiles><rootfile full-path=\"" + rootfile +
           "\" media-type=\"application/vnd.recordare.musicxml+xml\"/></rootfiles></container>";
}

// A zip archive with these entries, deflated, made with the same library the reader uses.
std::string Zip(const TempHostFolder& folder, const std::vector<std::pair<std::string, std::string>>& entries) {
    const std::string path = folder.File("made.zip").string();
    zipFile archive = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    for (const auto& entry : entries) {
        zip_fileinfo info;
        std::memset(&info, 0, sizeof info);
        zipOpenNewFileInZip(archive, entry.first.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                            Z_DEFAULT_COMPRESSION);
        zipWriteInFileInZip(archive, entry.second.data(), unsigned(entry.second.size()));
        zipCloseFileInZip(archive);
    }
    zipClose(archive, nullptr);
    const std::string bytes = folder.ReadBytes("made.zip");
    std::filesystem::remove(path);
    return bytes;
}

std::vector<std::string> FilesIn(const TempHostFolder& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        names.push_back(entry.path().filename().u8string());
    return names;
}

}  // namespace

TEST(MusicXmlContainer, TellsMusicXmlByContent) {
    struct Case {
        const char* name;
        std::string bytes;
        bool musicXml;
    };
    const Case cases[] = {
        {"partwise with declaration and doctype", kScore, true},
        {"timewise", "<score-timewise version=\"3.1\"/>", true},
        {"comment and instruction first", "\n<!-- a <b> comment -->\n<?pi x?>\n<score-partwise>", true},
        {"doctype with an internal subset", "<!DOCTYPE score-partwise [ <!ENTITY a \">\"> ]><score-partwise>", true},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF<score-partwise>", true},
        {"UTF-16 little endian", std::string("\xFF\xFE<\0s\0c\0o\0r\0e\0-\0p\0a\0r\0t\0w\0i\0s\0e\0>\0", 32), true},
        {"zip", std::string("PK\x03\x04", 4) + "anything", true},
        {"other root", "<?xml version=\"1.0\"?><opus/>", false},
        {"root with a longer name", "<score-partwise-x/>", false},
        {"score text", "qzs 1\nstaff 1\n", false},
        {"unfinished comment", "<!-- <score-partwise>", false},
        {"empty", "", false},
        {"zip end record only", std::string("PK\x05\x06", 4), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.musicXml, simhost::LooksLikeMusicXml(c.bytes));
    }
}

TEST(MusicXmlContainer, PlainAndCompressedFilesReadBackWhatWasWritten) {
    TempHostFolder folder;
    for (const char* name : {"song.musicxml", "song.xml", "song.mxl", "OTHER.MXL", "Lied ä.mxl"}) {
        SCOPED_TRACE(name);
        const std::string path = folder.File(name).u8string();
        simhost::ScoreTextError error;
        ASSERT_TRUE(simhost::WriteMusicXmlFile(path, kScore, &error)) << error.ToString();
        const std::string bytes = folder.ReadBytes(name);
        const bool compressed =
            std::string(name).find(".mxl") != std::string::npos || std::string(name).find(".MXL") != std::string::npos;
        EXPECT_EQ(compressed, bytes != kScore);
        if (compressed) {
            // The media type comes first, stored, so readers find it at a fixed place.
            ASSERT_GT(bytes.size(), 38u + 34u);
            EXPECT_EQ(0, bytes[8] | bytes[9]) << "stored";
            EXPECT_EQ("mimetype", bytes.substr(30, 8));
            EXPECT_EQ("application/vnd.recordare.musicxml", bytes.substr(38, 34));
        }
        std::string xml;
        ASSERT_TRUE(simhost::ReadMusicXmlFile(path, &xml, &error)) << error.ToString();
        EXPECT_EQ(kScore, xml);
        // Written again over itself: replaced whole.
        ASSERT_TRUE(simhost::WriteMusicXmlFile(path, "<score-partwise/>", &error));
        ASSERT_TRUE(simhost::ReadMusicXmlFile(path, &xml, &error));
        EXPECT_EQ("<score-partwise/>", xml);
    }
    EXPECT_EQ(5u, FilesIn(folder).size()) << "no temporary files left";
}

TEST(MusicXmlContainer, ArchivesFromOtherProgramsAreRead) {
    TempHostFolder folder;
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> entries;
        std::string xml;
    };
    const Case cases[] = {
        {"score in a folder, no mimetype",
         {{"META-INF/container.xml", Container("music/score.xml")}, {"music/score.xml", kScore}},
         kScore},
        {"a picture named first",
         {{"META-INF/container.xml",
           "<container><rootfiles><rootfile full-path=\"cover.pdf\" media-type=\"application/"
           "pdf\"/><rootfile full-path=\"s.musicxml\"/></rootfiles></container>"},
          {"cover.pdf", "%PDF"},
          {"s.musicxml", kScore}},
         kScore},
        {"UTF-16 score",
         {{"META-INF/container.xml", Container("s.xml")},
          {"s.xml", std::string("\xFE\xFF\0<\0s\0c\0o\0r\0e\0-\0p\0a\0r\0t\0w\0i\0s\0e\0/\0>", 36)}},
         "<score-partwise/>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.WriteBytes("in.mxl", Zip(folder, c.entries));
        std::string xml;
        simhost::ScoreTextError error;
        ASSERT_TRUE(simhost::ReadMusicXmlFile(folder.File("in.mxl").u8string(), &xml, &error)) << error.ToString();
        EXPECT_EQ(c.xml, xml);
    }
}

TEST(MusicXmlContainer, BadFilesAreRefusedWithTheirReason) {
    TempHostFolder folder;
    const std::string path = folder.File("good.mxl").u8string();
    ASSERT_TRUE(simhost::WriteMusicXmlFile(path, kScore, nullptr));
    const std::string good = folder.ReadBytes("good.mxl");
    // More than the limit of spaces: tiny compressed, too big unpacked.
    const std::string huge(64u * 1024 * 1024 + 1, ' ');
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"not a zip", std::string("PK\x03\x04", 4) + std::string(200, 'x'), "damaged or truncated compressed file"},
        {"truncated zip", good.substr(0, good.size() / 2), "damaged or truncated compressed file"},
        {"zip without container", Zip(folder, {{"score.xml", kScore}}), "without META-INF/container.xml"},
        {"climbing path", Zip(folder, {{"META-INF/container.xml", Container("../score.xml")}, {"score.xml", kScore}}),
         "names the score \"../score.xml\", a path that leads out of the archive"},
        {"climbing inside a folder",
         Zip(folder, {{"META-INF/container.xml", Container("a/../../score.xml")}, {"score.xml", kScore}}),
         "a path that leads out of the archive"},
        {"absolute path", Zip(folder, {{"META-INF/container.xml", Container("/etc/score.xml")}}),
         "a path that leads out of the archive"},
        {"drive path", Zip(folder, {{"META-INF/container.xml", Container("C:\\score.xml")}}),
         "a path that leads out of the archive"},
        {"rootfile not in the archive", Zip(folder, {{"META-INF/container.xml", Container("score.xml")}}),
         "the archive holds no score.xml"},
        {"container without rootfile", Zip(folder, {{"META-INF/container.xml", "<container/>"}}),
         "names no MusicXML score"},
        {"malformed container", Zip(folder, {{"META-INF/container.xml", "<container><rootfiles>"}}),
         "META-INF/container.xml is not well-formed XML (line 1"},
        {"oversized entry", Zip(folder, {{"META-INF/container.xml", Container("s.xml")}, {"s.xml", huge}}),
         "s.xml is 64 MB uncompressed, more than the limit of 64 MB"},
        {"score that is not MusicXML",
         Zip(folder, {{"META-INF/container.xml", Container("s.xml")}, {"s.xml", "<opus/>"}}),
         "not MusicXML: the root element is <opus>"},
        {"plain file that is not MusicXML", "hello", "not MusicXML: no XML root element"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.WriteBytes("bad.mxl", c.bytes);
        std::string xml = "untouched";
        simhost::ScoreTextError error;
        EXPECT_FALSE(simhost::ReadMusicXmlFile(folder.File("bad.mxl").u8string(), &xml, &error));
        EXPECT_EQ("untouched", xml);
        EXPECT_EQ(folder.File("bad.mxl").u8string(), error.source);
        EXPECT_NE(std::string::npos, error.message.find(c.reason)) << error.message;
    }
    // A damaged entry: one byte of the deflated score changed, so it fails its checksum.
    std::string damaged = good;
    // The first time the name appears is in the entry's own header; its data follow the name.
    const size_t at = damaged.find("good.musicxml");
    ASSERT_NE(std::string::npos, at);
    damaged[at + 13 + 20] = char(damaged[at + 13 + 20] ^ 0x55);
    folder.WriteBytes("bad.mxl", damaged);
    std::string xml;
    simhost::ScoreTextError error;
    EXPECT_FALSE(simhost::ReadMusicXmlFile(folder.File("bad.mxl").u8string(), &xml, &error));
    EXPECT_NE(std::string::npos, error.message.find("good.musicxml is damaged or truncated")) << error.message;

    EXPECT_FALSE(simhost::ReadMusicXmlFile(folder.File("missing.xml").u8string(), &xml, &error));
    EXPECT_EQ("the file cannot be opened", error.message);
}

TEST(MusicXmlContainer, AFailedWriteLeavesNothingBehind) {
    TempHostFolder folder;
    std::filesystem::create_directory(folder.File("taken.mxl"));
    for (const std::string& name : {std::string("taken.mxl"), std::string("no/such/folder.musicxml")}) {
        SCOPED_TRACE(name);
        simhost::ScoreTextError error;
        EXPECT_FALSE(simhost::WriteMusicXmlFile(folder.File(name).u8string(), kScore, &error));
        EXPECT_EQ(folder.File(name).u8string(), error.source);
        EXPECT_FALSE(error.message.empty());
    }
    EXPECT_EQ(std::vector<std::string>{"taken.mxl"}, FilesIn(folder));
}
