#include "framework/files/FCTextFileUTF8Stream.h"

#include "framework/files/FCFilePlatform.h"
#include "framework/files/FCSettingsPairs.h"
#include "tests/framework/files/TempHostFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Utf8Lines(FCStrings* lines) {
    std::vector<std::string> texts;
    for (int i = 0; lines && i < lines->GetCount(); ++i) texts.push_back(lines->GetItemAt(i)->GetUTF8());
    return texts;
}

// Every line of the file through a UTF-8 stream on the host folder.
std::vector<std::string> ReadAll(const char* name) {
    char16_t folder[FCFileStream::kHostFolderSize];
    EXPECT_TRUE(FCFileStream::GetHostFolder(folder));
    const FCString fileName(name);
    FCTextFileUTF8Stream stream(folder, &fileName);
    EXPECT_TRUE(stream.OpenRead());
    std::unique_ptr<FCStrings> lines(stream.ReadAllLines());
    EXPECT_NE(lines, nullptr);
    return Utf8Lines(lines.get());
}

// The text with each "\n" turned into what text mode writes on this platform.
std::string OnDisk(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += fcfileplatform::TextLineEnd();
        else
            out += c;
    }
    return out;
}

}  // namespace

TEST(FCTextFileUTF8Stream, ReadsEveryKindOfLineEndAndEncodingIssue) {
    struct Case {
        const char* bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},  // last line without a line feed
        {"\r\n", {""}},
        {"a\n\n\nb\n", {"a", "", "", "b"}},
        {"\xEF\xBB\xBFkey=1\n", {"key=1"}},  // byte-order mark skipped
        {"\xEF\xBB\xBF", {}},
        {"a\n\xEF\xBB\xBF"
         "b\n",
         {"a",
          "\xEF\xBB\xBF"
          "b"}},  // only at the start of the file
        {"caf\xC3\xA9 \xF0\x9F\x8E\xB5\n", {"caf\xC3\xA9 \xF0\x9F\x8E\xB5"}},
        {"a\xFF"
         "b\n",
         {"a\xEF\xBF\xBD"
          "b"}},                                       // invalid byte
        {"a\xC3\n", {"a\xEF\xBF\xBD"}},                // truncated character
        {"\xC0\xAF\n", {"\xEF\xBF\xBD\xEF\xBF\xBD"}},  // overlong form
    };
    for (const Case& c : cases) {
        TempHostFolder folder;
        folder.WriteBytes("lines.txt", c.bytes);
        EXPECT_EQ(ReadAll("lines.txt"), c.lines) << "file bytes: " << c.bytes;
    }
}

TEST(FCTextFileUTF8Stream, ReadsLongLinesInPiecesWithoutSplittingCharacters) {
    TempHostFolder folder;
    // Two ASCII bytes, then two-byte characters: the piece limit (odd) falls inside one of
    // them. Then four-byte characters, a line feed and a short line.
    std::string longLine = "xy";
    for (int i = 0; i < 200000; ++i) longLine += "\xC3\xA9";
    for (int i = 0; i < 60000; ++i) longLine += "\xF0\x9F\x8E\xB5";
    folder.WriteBytes("long.txt", longLine + "\nend");

    const FCString name("long.txt");
    FCString path;
    path.SetUTF8(folder.Utf8().c_str());
    FCTextFileUTF8Stream stream(&path, &name);
    ASSERT_TRUE(stream.OpenRead());
    std::vector<std::string> pieces;
    while (FCString* piece = stream.ReadLine()) {
        pieces.push_back(piece->GetUTF8());
        delete piece;
    }
    ASSERT_EQ(pieces.size(), 4u);
    // No piece is longer than the limit and none holds a replacement character.
    for (const std::string& piece : pieces) {
        EXPECT_LE(piece.size(), FCTextFileStream::kMaxLineBytes);
        EXPECT_EQ(piece.find("\xEF\xBF\xBD"), std::string::npos);
    }
    EXPECT_EQ(pieces[0].size(), FCTextFileStream::kMaxLineBytes - 1);
    EXPECT_EQ(pieces[0] + pieces[1] + pieces[2], longLine + "\n");
    EXPECT_EQ(pieces[3], "end");

    ASSERT_TRUE(stream.OpenRead());
    std::unique_ptr<FCStrings> lines(stream.ReadAllLines());
    EXPECT_EQ(Utf8Lines(lines.get()), (std::vector<std::string>{longLine, "end"}));
}

TEST(FCTextFileUTF8Stream, WritesUTF8LinesWithThePlatformLineEnd) {
    TempHostFolder folder;
    const FCString name("out.txt");
    FCString path;
    path.SetUTF8(folder.Utf8().c_str());
    FCTextFileUTF8Stream stream(&path, &name);
    ASSERT_TRUE(stream.OpenWrite());

    FCStrings lines;
    lines.AddCString("first");
    FCString* second = new FCString;
    second->SetUTF8("\xC3\xBC\xE9\x9F\xB3");
    lines.Add(second);
    lines.Add(nullptr);  // an absent line is written empty
    EXPECT_TRUE(stream.WriteLines(&lines));

    FCSettingsPairs pairs;
    const FCString key("KEY"), value("a\r\nb\nc"), other("OTHER"), empty;
    pairs.SetValue(&key, &value);
    pairs.SetValue(&other, &empty);
    EXPECT_TRUE(stream.WriteSettingsPairs(&pairs));
    FCString text;
    text.SetUTF8("tail \xE2\x82\xAC");
    EXPECT_TRUE(stream.WriteText(&text));
    EXPECT_TRUE(stream.Close());

    // A line break inside a value must not start a line of its own.
    EXPECT_EQ(folder.ReadBytes("out.txt"),
              OnDisk("first\n\xC3\xBC\xE9\x9F\xB3\n\nKEY=a b c\nOTHER=\ntail \xE2\x82\xAC"));
    EXPECT_EQ(ReadAll("out.txt"), (std::vector<std::string>{"first", "\xC3\xBC\xE9\x9F\xB3", "", "KEY=a b c",
                                                            "OTHER=", "tail \xE2\x82\xAC"}));
}

TEST(FCTextFileStream, ReadsAndWritesEightBitText) {
    TempHostFolder folder;
    folder.WriteBytes("latin.txt", "caf\xE9\rsecond\r\nthird");
    const FCString name("latin.txt");
    FCString path;
    path.SetUTF8(folder.Utf8().c_str());
    FCTextFileStream stream(&path, &name);
    ASSERT_TRUE(stream.OpenRead());
    std::unique_ptr<FCStrings> lines(stream.ReadAllLines());
    ASSERT_NE(lines, nullptr);
    ASSERT_EQ(lines->GetCount(), 3);
    EXPECT_EQ(lines->GetItemAt(0)->GetUTF8(), "caf\xC3\xA9");  // each byte one character; CR ends a line
    EXPECT_EQ(lines->GetItemAt(1)->GetUTF8(), "second");
    EXPECT_EQ(lines->GetItemAt(2)->GetUTF8(), "third");

    ASSERT_TRUE(stream.OpenWrite());
    FCStrings out;
    out.AddCString("na\xEFve");
    EXPECT_TRUE(stream.WriteLines(&out));
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(folder.ReadBytes("latin.txt"), OnDisk("na\xEFve\n"));
}

TEST(FCTextFileUTF8Stream, AFileThatCannotBeOpenedReadsNothingAndTakesNoWrites) {
    TempHostFolder folder;
    const FCString name("missing.txt");
    FCString path;
    path.SetUTF8(folder.Utf8().c_str());
    FCTextFileUTF8Stream stream(&path, &name);
    EXPECT_FALSE(stream.OpenRead());
    EXPECT_EQ(stream.ReadLine(), nullptr);
    EXPECT_EQ(stream.ReadAllLines(), nullptr);
    FCString text("x");
    EXPECT_FALSE(stream.WriteText(&text));
    EXPECT_FALSE(stream.Close());

    // A folder that does not exist cannot take a new file.
    FCString absent;
    absent.SetUTF8((folder.Utf8() + "/absent").c_str());
    FCTextFileUTF8Stream nowhere(&absent, &name);
    EXPECT_FALSE(nowhere.OpenWrite());
    EXPECT_FALSE(folder.Exists("absent"));
}

TEST(FCFileStream, PathIsFolderSeparatorAndName) {
    const std::string sep(1, char(fcfileplatform::FolderSeparator()));
    struct Case {
        std::string folder;
        std::string expected;  // empty: no path
    };
    const Case cases[] = {
        {"dir", "dir" + sep + "name.txt"},
        {"dir" + sep, "dir" + sep + "name.txt"},
        {"d\xC3\xAFr", "d\xC3\xAFr" + sep + "name.txt"},
        {"", ""},  // neither a folder nor a host folder
    };
    const FCString name("name.txt");
    for (const Case& c : cases) {
        FCString folder;
        folder.SetUTF8(c.folder.c_str());
        FCTextFileUTF8Stream stream(&folder, &name);
        FCString path;
        EXPECT_EQ(stream.GetPath(&path), !c.expected.empty()) << c.folder;
        EXPECT_EQ(path.GetUTF8(), c.expected) << c.folder;
    }
}
