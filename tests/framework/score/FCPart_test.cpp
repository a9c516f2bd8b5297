#include "framework/score/FCPart.h"
#include "framework/score/FCStaffSystem.h"
#include "framework/score/FCSystemStaff.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <vector>

using simhost::DocumentBuilder;

namespace {

int CurrentPart() { return hostapi::FX_GetCurrentPartID(kFXInterfaceVersion); }

std::vector<int> PartIDs(FCParts& parts) {
    std::vector<int> ids;
    for (int i = 0; i < parts.GetCount(); ++i) ids.push_back(parts.GetItemAt(i)->GetID());
    return ids;
}

}  // namespace

TEST(Parts, ADocumentWithoutPartsHoldsTheScoreOnly) {
    DocumentBuilder doc;
    EXPECT_EQ(hostapi::FX_GetNextPartID(0, kFXInterfaceVersion), 0xFFFF);
    FCParts parts;
    ASSERT_EQ(parts.LoadAll(), 1);
    EXPECT_TRUE(parts.GetItemAt(0)->IsScore());
}

TEST(Parts, WalkingVisitsTheScoreThenEveryPart) {
    DocumentBuilder doc;
    doc.AddStaves(3);
    EXPECT_EQ(doc.AddPart({1}), 1);
    EXPECT_EQ(doc.AddPart({2, 3}), 2);
    FCParts parts;
    ASSERT_EQ(parts.LoadAll(), 3);
    EXPECT_EQ(PartIDs(parts), (std::vector<int>{0, 1, 2}));

    // A host that cannot answer the walk does not make it loop.
    simhost::SetWithdrawn("FX_GetNextPartID");
    hostapi::SetLookup(&simhost::Lookup);
    EXPECT_EQ(parts.LoadAll(), 1);
}

TEST(Parts, SwitchingActsOnTheDocumentsPartsAndComesBack) {
    DocumentBuilder doc;
    doc.AddStaves(3);
    doc.AddMeasures(4);
    doc.AddPart({3});
    doc.AddSystem(1, 5, {3}, 1);  // the part's one system
    doc.AddSystem(1, 3, {1, 2, 3});
    doc.AddSystem(3, 5, {1, 2, 3});

    FCPart part(1);
    ASSERT_TRUE(part.SwitchTo());
    EXPECT_EQ(CurrentPart(), 1);
    EXPECT_TRUE(part.IsSwitchPending());
    FCStaffSystems systems;
    EXPECT_EQ(systems.LoadAll(), 1);  // record calls now see the part's layout
    FCSystemStaves list;
    ASSERT_EQ(list.LoadAllForItem(0), 1);
    EXPECT_EQ(list.GetItemAt(0)->GetStaff(), 3);
    FCPart here(FCPart::kCurrentPart);
    EXPECT_EQ(here.GetID(), 1);

    EXPECT_FALSE(part.SwitchTo());  // a second switch keeps the first remembered part
    ASSERT_TRUE(part.SwitchBack());
    EXPECT_EQ(CurrentPart(), 0);
    EXPECT_FALSE(part.SwitchBack());
    EXPECT_EQ(systems.LoadAll(), 2);

    // A part the host does not know is not switched to, and nothing is pending.
    FCPart unknown(7);
    EXPECT_FALSE(unknown.SwitchTo());
    EXPECT_FALSE(unknown.IsSwitchPending());
    EXPECT_EQ(CurrentPart(), 0);
}

TEST(Parts, APartSwitchIsNeverAppliedToAnotherDocument) {
    DocumentBuilder doc;
    doc.AddStaff();
    doc.AddPart({1});
    FCPart part(1);
    const int16_t other = simhost::NewDocument();
    ASSERT_TRUE(simhost::SwitchToDocument(other));
    EXPECT_FALSE(part.SwitchTo());
    ASSERT_TRUE(simhost::SwitchToDocument(1));
    ASSERT_TRUE(part.SwitchTo());
    ASSERT_TRUE(simhost::SwitchToDocument(other));
    EXPECT_FALSE(part.SwitchBack());  // still pending, for the document it belongs to
    ASSERT_TRUE(simhost::SwitchToDocument(1));
    EXPECT_TRUE(part.SwitchBack());
    EXPECT_EQ(CurrentPart(), 0);
}
