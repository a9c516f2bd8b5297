// The entry points the host calls before any invocation: the menu records, the flag word, the
// version handshake and a terminate that finds nothing to save.
#include "plugin/PluginExports.h"

#include "plugin/PatternPlugin.h"
#include "tests/framework/files/TempHostFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace pluginexports;

namespace {

constexpr unsigned char kUntouched = 0xAB;

std::string Text8(const std::vector<unsigned char>& record, int offset) {
    return std::string(reinterpret_cast<const char*>(record.data() + offset));
}

std::u16string TextUTF16(const std::vector<unsigned char>& record, int offset) {
    std::u16string text;
    for (int i = 0;; ++i) {
        char16_t unit;
        std::memcpy(&unit, record.data() + offset + 2 * i, sizeof unit);
        if (!unit) return text;
        text += unit;
    }
}

int16_t Word(const std::vector<unsigned char>& record, int offset) {
    int16_t value;
    std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

}  // namespace

TEST(PluginExports, EnumerateFillsTheMenuRecordForIndexZeroOnly) {
    struct Case {
        int16_t index;
        int32_t result;
    };
    for (const Case& c : {Case{-3, 1}, Case{0, 1}, Case{1, 0}, Case{2, 0}, Case{32767, 0}}) {
        SCOPED_TRACE(c.index);
        std::vector<unsigned char> record(kMenuRecordSize + 4, kUntouched);
        EXPECT_EQ(c.result, FinaleExtensionEnumerate(nullptr, c.index, record.data()));
        if (c.result == 0) {
            EXPECT_EQ(std::vector<unsigned char>(kMenuRecordSize + 4, kUntouched), record) << "nothing written";
            continue;
        }
        EXPECT_EQ("QZ Pattern...", Text8(record, kMenuItemOffset));
        EXPECT_EQ("Tasks for pattern creation and manipulation.", Text8(record, kMenuDescriptionOffset));
        EXPECT_EQ("Pattern", Text8(record, kMenuGroupOffset));
        EXPECT_EQ(0, Word(record, kMenuValue1Offset));
        EXPECT_EQ(0, Word(record, kMenuValue2Offset));
        // The bytes after each text's terminator, and after the record, keep what they held.
        EXPECT_EQ(kUntouched, record[kMenuItemOffset + 14]);
        EXPECT_EQ(kUntouched, record[kMenuGroupOffset + 8]);
        EXPECT_EQ(kUntouched, record[kMenuRecordSize]);
    }
}

TEST(PluginExports, EnumerateUTF16FillsTheWideRecordForIndexZeroOnly) {
    for (int16_t index : {int16_t(-1), int16_t(0), int16_t(1), int16_t(5)}) {
        SCOPED_TRACE(index);
        std::vector<unsigned char> record(kMenuRecordSizeUTF16 + 4, kUntouched);
        const int16_t result = FinaleExtensionEnumerate_UTF16(nullptr, index, record.data());
        if (index != 0) {
            EXPECT_EQ(0, result);
            EXPECT_EQ(std::vector<unsigned char>(kMenuRecordSizeUTF16 + 4, kUntouched), record);
            continue;
        }
        EXPECT_EQ(1, result);
        EXPECT_EQ(u"QZ Pattern...", TextUTF16(record, kMenuItemOffsetUTF16));
        EXPECT_EQ(u"Tasks for pattern creation and manipulation.", TextUTF16(record, kMenuDescriptionOffsetUTF16));
        EXPECT_EQ(u"Pattern", TextUTF16(record, kMenuGroupOffsetUTF16));
        EXPECT_EQ(0, Word(record, kMenuValue1OffsetUTF16));
        EXPECT_EQ(0, Word(record, kMenuValue2OffsetUTF16));
        EXPECT_EQ(kUntouched, record[kMenuItemOffsetUTF16 + 2 * 14]);
        EXPECT_EQ(kUntouched, record[kMenuRecordSizeUTF16]);
    }
}

TEST(PluginExports, InitSetsBitZeroAndKeepsTheOthers) {
    struct Case {
        uint32_t before;
        uint32_t after;
    };
    for (const Case& c : {Case{0x10, 0x11}, Case{0, 1}, Case{1, 1}, Case{0xFFFFFFFE, 0xFFFFFFFF}}) {
        uint32_t flags = c.before;
        EXPECT_EQ(1, FinaleExtensionInit(nullptr, &flags));
        EXPECT_EQ(c.after, flags);
    }
    EXPECT_EQ(1, FinaleExtensionInit(nullptr, nullptr));
    EXPECT_EQ(1, FinaleExtensionGetMenuStatus(nullptr));
}

TEST(PluginExports, VersionKeepsTheHostsVersionForTheBinding) {
    for (uint32_t version : {0x10000000u, 0x11000000u, 0x1B000000u}) {
        EXPECT_EQ(0x0F000000u, FinaleExtensionVersion(version));
        EXPECT_EQ(version, hostapi::GetHostVersion());
        EXPECT_EQ(version >= 0x11000000u, hostapi::UseUTF16());
    }
}

TEST(PluginExports, TerminateWithoutAnInvocationWritesNothing) {
    TempHostFolder folder;
    folder.WriteBytes("qzpluginprefs.txt", "QZPT_TASK=1101\n");
    FinaleExtensionTerminate(nullptr);
    EXPECT_EQ("QZPT_TASK=1101\n", folder.ReadBytes("qzpluginprefs.txt"));
    EXPECT_FALSE(folder.Exists("qzpluginstorage.xml"));
    EXPECT_EQ(nullptr, patternplugin::GetWindow());
    EXPECT_EQ(nullptr, patternplugin::GetUI());
}
