#include "framework/score/FCMeasure.h"
#include "framework/score/FCPart.h"
#include "framework/score/FCSystemStaff.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using simhost::DocumentBuilder;
using simhost::Meter;

namespace {

std::vector<uint16_t> Words(uint32_t tag, uint16_t item, uint16_t inci) {
    const FXKey key = {{item, inci, 0, 0}};
    const simhost::RecordStore::Bytes* bytes = simhost::CurrentDocument().Records().Find(tag, key);
    std::vector<uint16_t> words;
    if (!bytes) return words;
    words.resize(bytes->size() / 2);
    std::memcpy(words.data(), bytes->data(), words.size() * 2);
    return words;
}

}  // namespace

TEST(DocumentBuilder, BuildsIntoItsOwnDocumentWhicheverIsCurrent) {
    DocumentBuilder first;
    const int16_t second = simhost::NewDocument();
    ASSERT_TRUE(simhost::SwitchToDocument(second));
    DocumentBuilder other;
    ASSERT_TRUE(simhost::SwitchToDocument(1));
    ASSERT_TRUE(hostapi::FX_SetCurrentPartID(0, 0));
    other.AddStaves(2);
    other.AddMeasures(3);
    EXPECT_EQ(simhost::CurrentDocumentID(), 1);  // put back
    EXPECT_EQ(simhost::CurrentDocument().Records().Count(FCMeasure::kTag), 0);
    EXPECT_EQ(simhost::FindDocument(second)->Records().Count(FCMeasure::kTag), 3);
    EXPECT_TRUE(other.Ok());
    EXPECT_EQ(other.DocumentID(), second);
}

// Byte-level: composite meters are packed two top entries and three bottom entries per record,
// and the measure stores the item numbers with its composite flags.
TEST(DocumentBuilderLayout, CompositeMetersArePackedIntoElementRecords) {
    DocumentBuilder doc;
    doc.AddMeasure(Meter::Composite({{3, 2}, {2}}, 512));
    doc.AddMeasure(Meter::CompositePerGroup({{1}, {1}, {1}, {1}}, {1024, 512, 256, 768}));
    ASSERT_TRUE(doc.Ok());
    const uint32_t top = FXTag('o', 't', 'T', 'U'), bottom = FXTag('o', 't', 'T', 'L');
    EXPECT_EQ(Words(top, 1, 0), (std::vector<uint16_t>{3, 0, 1, 2, 0, 0}));
    EXPECT_EQ(Words(top, 1, 1), (std::vector<uint16_t>{2, 0, 1, 0, 0, 0}));
    EXPECT_EQ(Words(top, 2, 1), (std::vector<uint16_t>{1, 0, 1, 1, 0, 1}));
    EXPECT_EQ(Words(bottom, 1, 0), (std::vector<uint16_t>{1024, 1, 512, 1, 256, 1}));
    EXPECT_EQ(Words(bottom, 1, 1), (std::vector<uint16_t>{768, 1, 0, 0, 0, 0}));
    const std::vector<uint16_t> measure1 = Words(FCMeasure::kTag, 1, 0), measure2 = Words(FCMeasure::kTag, 2, 0);
    ASSERT_EQ(measure1.size(), 15u);
    EXPECT_EQ(measure1[4], 1);    // beats: the top's item
    EXPECT_EQ(measure1[5], 512);  // plain beat duration
    EXPECT_EQ(measure1[6], FCMeasure::kTimeCompositeBeats);
    EXPECT_EQ(measure2[4], 2);
    EXPECT_EQ(measure2[5], 1);  // beat duration: the bottom's item
    EXPECT_EQ(measure2[6], FCMeasure::kTimeCompositeBeats | FCMeasure::kTimeCompositeDuration);
    EXPECT_EQ(hostapi::FX_GetMeasureDuration(0, 1, 0), 3584);
    EXPECT_EQ(hostapi::FX_GetMeasureDuration(0, 2, 0), 2560);
}

TEST(DocumentBuilderLayout, TheScoreOrderIsTheSystemZeroStaffList) {
    DocumentBuilder doc;
    doc.AddStaves(3);
    ASSERT_TRUE(doc.SetScoreOrder({3, 1}));
    EXPECT_EQ(Words(FCSystemStaff::kTag, 0, 0)[0], 3);
    EXPECT_EQ(Words(FCSystemStaff::kTag, 0, 1)[0], 1);
    EXPECT_TRUE(Words(FCSystemStaff::kTag, 0, 2).empty());
    EXPECT_EQ(simhost::CurrentDocument().Records().Count(FXTag('S', 'O', 'I', 'S')), 3);  // staff 2 stays
    EXPECT_EQ(Words(FCPart::kTag, 0, 0).size(), 6u);                                      // the score's part record
}
