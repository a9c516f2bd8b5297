#include "framework/files/FCTextFileUTF8Stream.h"

#include "framework/files/FCFilePlatform.h"
#include "framework/host/hostapi.h"
#include "tests/framework/files/TempHostFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// What the plug-in last asked FX_GetFinalePath for; the call itself goes on to the stand-in host.
struct FolderRequest {
    int calls = 0;
    int32_t size = 0;
    int16_t folder = 0;
    int16_t utf16 = 0;
};
FolderRequest gRequest;

int32_t FXAPI RecordingGetFinalePath(void* buffer, int32_t size, int16_t folder, int16_t utf16, uint32_t version) {
    ++gRequest.calls;
    gRequest.size = size;
    gRequest.folder = folder;
    gRequest.utf16 = utf16;
    auto host = reinterpret_cast<hostapi::FX_GetFinalePath_fn>(simhost::Lookup("FX_GetFinalePath"));
    return host(buffer, size, folder, utf16, version);
}

void* RecordingLookup(const char* name) {
    if (std::strcmp(name, "FX_GetFinalePath") == 0) return reinterpret_cast<void*>(&RecordingGetFinalePath);
    return simhost::Lookup(name);
}

std::string EightBit(const char16_t* folder) { return reinterpret_cast<const char*>(folder); }

}  // namespace

TEST(FCFileStream, AsksTheHostForItsFolderByHostVersion) {
    struct Case {
        uint32_t version;
        int16_t folder;
        int16_t utf16;
    };
    const Case cases[] = {
        {0x0E000000, 7, 0},  {0x0FFFFFFF, 7, 0},  {0x10000000, 15, 0},
        {0x10FFFFFF, 15, 0}, {0x11000000, 15, 1}, {0x1B000000, 15, 1},
    };
    TempHostFolder folder;
    hostapi::SetLookup(&RecordingLookup);
    for (const Case& c : cases) {
        hostapi::SetHostVersion(c.version);
        gRequest = FolderRequest();
        char16_t hostFolder[FCFileStream::kHostFolderSize];
        ASSERT_TRUE(FCFileStream::GetHostFolder(hostFolder)) << std::hex << c.version;
        EXPECT_EQ(gRequest.calls, 1);
        EXPECT_EQ(gRequest.size, 260);
        EXPECT_EQ(gRequest.folder, c.folder) << std::hex << c.version;
        EXPECT_EQ(gRequest.utf16, c.utf16) << std::hex << c.version;
        if (c.utf16) {
            FCString text;
            text.SetUTF16(hostFolder);
            EXPECT_EQ(text.GetUTF8(), folder.Utf8());
        } else {
            EXPECT_EQ(EightBit(hostFolder), folder.Utf8());
        }
    }
    hostapi::SetLookup(nullptr);
}

TEST(FCFileStream, HostFolderFilesWorkInBothHostEncodings) {
    // An older host reports 8-bit text, a newer one UTF-16; a file written under one is the
    // same file under the other. The folder name is plain ASCII here: 8-bit host text is in the
    // system's code page, which differs between systems.
    TempHostFolder folder;
    const FCString name("both.txt");
    for (uint32_t version : {0x10000000u, 0x1B000000u}) {
        hostapi::SetHostVersion(version);
        char16_t hostFolder[FCFileStream::kHostFolderSize];
        ASSERT_TRUE(FCFileStream::GetHostFolder(hostFolder));
        FCTextFileUTF8Stream stream(hostFolder, &name);
        FCString path;
        ASSERT_TRUE(stream.GetPath(&path));
        EXPECT_EQ(path.GetUTF8(), folder.Utf8() + char(fcfileplatform::FolderSeparator()) + "both.txt");
        ASSERT_TRUE(stream.OpenWrite());
        FCString text;
        text.SetInteger(int(version >> 24));
        EXPECT_TRUE(stream.WriteText(&text));
        EXPECT_TRUE(stream.Close());
        EXPECT_EQ(folder.ReadBytes("both.txt"), std::to_string(version >> 24));
    }
}

TEST(FCFileStream, AFolderNameOutsideASCIIWorksOnAUnicodeHost) {
    TempHostFolder folder(
        "\xC3\x9Cnic\xC3\xB6"
        "de \xE9\x9F\xB3");
    char16_t hostFolder[FCFileStream::kHostFolderSize];
    ASSERT_TRUE(FCFileStream::GetHostFolder(hostFolder));
    const FCString name("u.txt");
    FCTextFileUTF8Stream stream(hostFolder, &name);
    ASSERT_TRUE(stream.OpenWrite());
    FCString text("ok");
    EXPECT_TRUE(stream.WriteText(&text));
    EXPECT_TRUE(stream.Close());
    EXPECT_EQ(folder.ReadBytes("u.txt"), "ok");
}

TEST(FCFileStream, WithoutAHostFolderNothingIsOpened) {
    // The host fails the call, or reports a folder too long for the buffer: no file is opened
    // anywhere, not even in the process's current folder.
    TempHostFolder folder;
    const FCString name("nowhere.txt");
    for (int variant = 0; variant < 2; ++variant) {
        simhost::Reset();
        if (variant == 0)
            simhost::SetFailing("FX_GetFinalePath");
        else
            simhost::SetFolder(folder.Utf8() + "/" + std::string(300, 'x'));
        char16_t hostFolder[FCFileStream::kHostFolderSize];
        EXPECT_FALSE(FCFileStream::GetHostFolder(hostFolder)) << variant;
        EXPECT_EQ(hostFolder[0], 0);
        FCTextFileUTF8Stream stream(hostFolder, &name);
        FCString path;
        EXPECT_FALSE(stream.GetPath(&path));
        EXPECT_FALSE(stream.OpenWrite());
        EXPECT_FALSE(stream.OpenRead());
    }
}
