#include "framework/host/hostapi.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(HostBinding, FindsTheHostsExportsByNameWithTheDefaultLookup) {
    EXPECT_NE(hostapi::DefaultLookup("FX_LoadEData"), nullptr);
    EXPECT_NE(hostapi::DefaultLookup("FX_GetCurrentEnigmaDocument"), nullptr);
    EXPECT_EQ(hostapi::DefaultLookup("FX_NoSuchFunction"), nullptr);
    EXPECT_EQ(hostapi::DefaultLookup(nullptr), nullptr);
    EXPECT_EQ(hostapi::FX_GetCurrentEnigmaDocument(kFXInterfaceVersion), 1);
}

TEST(HostBinding, EveryFunctionIsOfferedOrExplicitlyNotOfferedInTheBindingsOrder) {
    ASSERT_EQ(simhost::OfferedFunctionCount(), hostapi::FunctionCount());
    for (int i = 0; i < hostapi::FunctionCount(); ++i) {
        EXPECT_STREQ(simhost::OfferedFunctionAt(i).name, hostapi::FunctionName(i)) << i;
        // What the table offers is what the default lookup finds.
        EXPECT_EQ(simhost::OfferedFunctionAt(i).address, hostapi::DefaultLookup(hostapi::FunctionName(i)))
            << hostapi::FunctionName(i);
    }
    EXPECT_EQ(hostapi::FunctionName(-1), nullptr);
    EXPECT_EQ(hostapi::FunctionName(hostapi::FunctionCount()), nullptr);
}

TEST(HostBinding, AWithdrawnFunctionReturnsZeroOnEveryCallAndIsLookedUpOnce) {
    hostapi::SetLookup(&simhost::Lookup);
    simhost::SetWithdrawn("FX_GetCurrentEnigmaDocument");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(hostapi::FX_GetCurrentEnigmaDocument(kFXInterfaceVersion), 0);
    EXPECT_EQ(simhost::LookupCount("FX_GetCurrentEnigmaDocument"), 1);

    // A function that resolves is also looked up once, however often it is called.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(hostapi::FX_FontNameToNum("Arial", kFXInterfaceVersion), 2);
    EXPECT_EQ(simhost::LookupCount("FX_FontNameToNum"), 1);

    // Resetting the lookup forgets resolved addresses: the withdrawal lifted, the call works.
    simhost::SetWithdrawn("FX_GetCurrentEnigmaDocument", false);
    hostapi::SetLookup(&simhost::Lookup);
    EXPECT_EQ(hostapi::FX_GetCurrentEnigmaDocument(kFXInterfaceVersion), 1);
}

TEST(HostBinding, AFailingHostFunctionReportsZero) {
    simhost::SetFailing("FX_FontNameToNum");
    EXPECT_EQ(hostapi::FX_FontNameToNum("Arial", kFXInterfaceVersion), 0);
    simhost::SetFailing("FX_FontNameToNum", false);
    EXPECT_EQ(hostapi::FX_FontNameToNum("Arial", kFXInterfaceVersion), 2);
}

TEST(HostBinding, HostVersionChoosesTheTextVariant) {
    struct Row {
        uint32_t version;
        bool utf16;
    } rows[] = {{0, false}, {0x10FFFFFF, false}, {0x11000000, true}, {0x1B000000, true}, {0xFFFFFFFF, true}};
    for (const Row& row : rows) {
        hostapi::SetHostVersion(row.version);
        EXPECT_EQ(hostapi::GetHostVersion(), row.version);
        EXPECT_EQ(hostapi::UseUTF16(), row.utf16) << std::hex << row.version;
    }
}

TEST(HostBinding, RecordTagsPutTheFirstCodeInTheMostSignificantByte) {
    EXPECT_EQ(FXTag('p', 'f', 'M', 'I'), 0x70664D49u);
    EXPECT_EQ(FXTag('O', '\x08', 'S', 'x'), 0x4F085378u);
}
