#include "TestRecords.h"

#include "framework/host/__FCBrowserBase.h"
#include "framework/core/FCIteratorHandler.h"
#include "simhost/Document.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

void PutRecord(uint32_t tag, uint16_t w0, uint16_t w1, uint16_t w2, const void* data, uint32_t size) {
    FXKey key = {{w0, w1, w2, 0}};
    ASSERT_TRUE(hostapi::FX_SaveEData(tag, &key, data, size, __FCBaseData::kDefaultDataVersion));
}

void PutInci(uint16_t cmper, uint16_t inci, int16_t value) {
    uint8_t data[6] = {0};
    std::memcpy(data, &value, 2);
    PutRecord(TestInci::kTag, cmper, inci, 0, data, sizeof data);
}

void PutItem(uint16_t cmper, int32_t value) {
    uint8_t data[8] = {0};
    std::memcpy(data, &value, 4);
    PutRecord(TestItem::kTag, cmper, 0, 0, data, sizeof data);
}

}  // namespace

TEST(Records, ANewRecordIsLoadedOnlyWhenItEmbedsAFixedStructure) {
    TestItem item;
    EXPECT_FALSE(item.IsLoaded());
    EXPECT_FALSE(item.Save());  // a measure-like record cannot be saved before a load
    EXPECT_FALSE(item.SaveNew());
    TestInci inci;
    EXPECT_TRUE(inci.IsLoaded());
    inci.SetValue(7);
    EXPECT_TRUE(inci.SaveNew(5));  // an expression-like record can be created without a load
    EXPECT_EQ(inci.GetItemCmper(), 5);
    EXPECT_EQ(inci.GetItemInci(), 0);
}

TEST(Records, LoadChangeSaveReloadRoundTrip) {
    PutItem(3, 41);
    TestItem item;
    ASSERT_TRUE(item.Load(3));
    EXPECT_EQ(item.Value(), 41);
    EXPECT_EQ(item.GetItemNo(), 3);
    EXPECT_EQ(item.GetDocumentID(), 1);
    item.SetValue(-5);
    ASSERT_TRUE(item.Save());
    TestItem again;
    ASSERT_TRUE(again.Load(3));
    EXPECT_EQ(again.Value(), -5);
    // A failed load makes the object unloaded but keeps the key it was asked for.
    EXPECT_FALSE(again.Load(9));
    EXPECT_FALSE(again.IsLoaded());
    EXPECT_EQ(again.GetItemNo(), 9);
}

TEST(Records, SaveAsAndSaveNewAssignItemNumbers) {
    PutItem(1, 10);
    PutItem(4, 40);
    TestItem item;
    ASSERT_TRUE(item.Load(1));
    ASSERT_TRUE(item.SaveNew());
    EXPECT_EQ(item.GetItemNo(), 5);  // one more than the largest item
    ASSERT_TRUE(item.SaveAs(9));
    TestItem copy;
    ASSERT_TRUE(copy.Load(9));
    EXPECT_EQ(copy.Value(), 10);
}

TEST(Records, WalkingVisitsRecordsInKeyOrder) {
    for (uint16_t n : {7, 2, 5}) PutItem(n, n * 10);
    TestItem item;
    ASSERT_TRUE(item.LoadFirst());  // without item 1 the walk starts at the lowest item
    EXPECT_EQ(item.GetItemNo(), 2);
    PutItem(1, 10);
    ASSERT_TRUE(item.LoadFirst());
    std::vector<int> seen = {item.GetItemNo()};
    while (item.LoadNext()) seen.push_back(item.GetItemNo());
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 5, 7}));
    EXPECT_FALSE(item.LoadPrevious());
}

TEST(Records, LoadingAMissingIncidenceFailsAndItemLoadsStopAtTheGap) {
    PutInci(3, 0, 100);
    PutInci(3, 2, 102);
    TestInci inci;
    EXPECT_FALSE(inci.Load(3, 1));
    EXPECT_FALSE(inci.IsLoaded());
    TestInciCollection all;
    EXPECT_EQ(all.LoadAllForItem(3), 1);
    EXPECT_EQ(all.GetItemAt(0)->Value(), 100);
    EXPECT_EQ(inci.Load(3, 0) ? inci.CalcLastInci() : -2, 0);
}

TEST(Records, DeletedRecordsStayLoadedUntilReloaded) {
    PutItem(2, 20);
    TestItem item;
    ASSERT_TRUE(item.Load(2));
    ASSERT_TRUE(item.DeleteData());
    EXPECT_TRUE(item.IsLoaded());
    EXPECT_FALSE(item.Reload());
    EXPECT_FALSE(item.IsLoaded());
    EXPECT_FALSE(item.DeleteData());  // nothing left to delete
}

TEST(Records, CloneAndCopyFromCarryKeyTagAndData) {
    PutItem(6, 66);
    TestItem item;
    item.SetCustomTag(0);
    ASSERT_TRUE(item.Load(6));
    std::unique_ptr<__FCBaseData> clone(item.Clone());
    TestItem* copy = static_cast<TestItem*>(clone.get());
    EXPECT_TRUE(copy->IsLoaded());
    EXPECT_EQ(copy->GetItemNo(), 6);
    EXPECT_EQ(copy->Value(), 66);
    EXPECT_EQ(copy->GetDocumentID(), item.GetDocumentID());
    TestItem empty;
    EXPECT_FALSE(empty.CopyFrom(&empty));  // an unloaded source copies no data
}

TEST(Records, LoadIntoASmallerStructureCopiesWhatFitsAndReportsTheRealSize) {
    uint8_t big[20];
    for (int i = 0; i < 20; ++i) big[i] = uint8_t(i + 1);
    PutRecord(TestItem::kTag, 8, 0, 0, big, sizeof big);
    uint8_t buffer[12];
    std::memset(buffer, 0xAA, sizeof buffer);
    FXKey key = {{8, 0, 0, 0}};
    uint32_t size = 8;
    ASSERT_TRUE(hostapi::FX_LoadEData(TestItem::kTag, &key, buffer, &size, 0x12050000));
    EXPECT_EQ(size, 20u);
    EXPECT_EQ(buffer[7], 8);
    EXPECT_EQ(buffer[8], 0xAA);  // nothing written past the caller's size
    size = 0;
    ASSERT_TRUE(hostapi::FX_LoadEData(TestItem::kTag, &key, nullptr, &size, 0x12050000));
    EXPECT_EQ(size, 20u);
    EXPECT_FALSE(hostapi::FX_LoadEData(TestItem::kTag, &key, buffer, nullptr, 0x12050000));
    EXPECT_FALSE(hostapi::FX_LoadEData(FXTag('N', 'O', 'N', 'E'), &key, buffer, &size, 0x12050000));
    EXPECT_FALSE(hostapi::FX_CreateEData(TestItem::kTag, nullptr, buffer, 8, 0x12050000));
}

TEST(Records, VariableSizedRecordsAreFetchedAfreshOnEveryLoad) {
    PutRecord(TestVariable::kTag, 1, 0, 0, "short", 6);
    PutRecord(TestVariable::kTag, 2, 0, 0, "a longer text", 14);
    TestVariable text;
    ASSERT_TRUE(text.Load(1));
    EXPECT_STREQ(text.Text(), "short");
    ASSERT_TRUE(text.LoadNext());
    EXPECT_STREQ(text.Text(), "a longer text");
    EXPECT_EQ(text.GetLoadedSize(), 14);
    std::unique_ptr<__FCBaseData> copy(text.Clone());
    EXPECT_STREQ(static_cast<TestVariable*>(copy.get())->Text(), "a longer text");
}

TEST(Records, CollectionsLoadAllAndSaveAll) {
    TestItemCollection items;
    EXPECT_EQ(items.LoadAll(), 0);
    EXPECT_TRUE(items.SaveAll());  // an empty collection saves
    for (uint16_t n = 1; n <= 4; ++n) PutItem(n, n);
    ASSERT_EQ(items.LoadAll(), 4);
    for (int i = 0; i < 4; ++i) items.GetItemAt(i)->SetValue(100 + i);
    ASSERT_TRUE(items.SaveAll());
    TestItem check;
    ASSERT_TRUE(check.Load(4));
    EXPECT_EQ(check.Value(), 103);
    EXPECT_EQ(items.LoadAll(), 4);  // reloading replaces, never appends
}

TEST(Records, SaveAllForItemRenumbersTheIncidencesInCollectionOrder) {
    for (uint16_t i = 0; i < 3; ++i) PutInci(2, i, int16_t(i));
    PutInci(3, 0, 300);
    TestInciCollection incis;
    ASSERT_EQ(incis.LoadAllForItem(2), 3);
    incis.ClearItemAt(0);
    incis.GetItemAt(0)->SetValue(11);
    ASSERT_TRUE(incis.SaveAllForItem(2));
    TestInciCollection check;
    ASSERT_EQ(check.LoadAllForItem(2), 2);
    EXPECT_EQ(check.GetItemAt(0)->Value(), 11);
    EXPECT_EQ(check.GetItemAt(1)->Value(), 2);
    EXPECT_EQ(check.GetItemAt(1)->GetItemInci(), 1);
    TestInciCollection none;
    EXPECT_TRUE(none.SaveAllForItem(2));  // deletes every incidence and succeeds
    EXPECT_EQ(check.LoadAllForItem(2), 0);
    EXPECT_EQ(check.LoadAllForItem(3), 1);  // other items untouched
}

TEST(Records, EntryDetailsConnectCreateAndWalk) {
    uint8_t record[FCNoteEntry::kRecordSize] = {0};
    const int32_t entnum = 70000;  // spans both key words
    std::memcpy(record, &entnum, 4);
    FCNoteEntry entry(record);

    TestDetail detail;
    EXPECT_FALSE(detail.SaveNew());  // no connected entry
    EXPECT_FALSE(detail.LoadFirst());
    EXPECT_EQ(detail.CalcLastInci(), -1);
    detail.ConnectToEntry(&entry);
    EXPECT_EQ(detail.CalcLastInci(), -1);
    for (int16_t v : {5, 6, 7}) {
        detail.SetValue(v);
        ASSERT_TRUE(detail.SaveNew());
    }
    EXPECT_EQ(detail.GetItemEntnum(), entnum);
    EXPECT_EQ(detail.GetItemInci(), 2);
    EXPECT_TRUE(entry.GetEntryFlags() & FCNoteEntry::kFlagArticulations);
    EXPECT_EQ(detail.CalcLastInci(), 2);

    TestDetailCollection details(&entry);
    ASSERT_EQ(details.LoadAll(), 3);
    EXPECT_EQ(details.GetItemAt(2)->Value(), 7);
    EXPECT_EQ(details.GetItemAt(2)->GetConnectedEntry(), &entry);

    // A failed step puts the incidence back.
    ASSERT_TRUE(detail.Load(entnum, 2));
    EXPECT_FALSE(detail.LoadNext());
    EXPECT_EQ(detail.GetItemInci(), 2);

    // Details of an entry without a number load nothing.
    uint8_t blank[FCNoteEntry::kRecordSize] = {0};
    FCNoteEntry unsaved(blank);
    TestDetailCollection none(&unsaved);
    EXPECT_EQ(none.LoadAll(), 0);
}

TEST(Records, EntryDetailCreateTakesTheHighestIncidenceWhenTheHostDoesNotReportIt) {
    uint8_t record[FCNoteEntry::kRecordSize] = {0};
    const int32_t entnum = 12;
    std::memcpy(record, &entnum, 4);
    FCNoteEntry entry(record);
    TestDetail detail;
    detail.ConnectToEntry(&entry);
    ASSERT_TRUE(detail.SaveNew());
    simhost::SetCreateReportsKey(false);
    ASSERT_TRUE(detail.SaveNew());
    EXPECT_EQ(detail.GetItemInci(), 1);
    EXPECT_EQ(detail.GetLoadedSize(), 12);
}

TEST(Records, SaveAllNewCreatesEveryDetailForTheEntry) {
    uint8_t record[FCNoteEntry::kRecordSize] = {0};
    const int32_t entnum = 3;
    std::memcpy(record, &entnum, 4);
    FCNoteEntry entry(record);
    TestDetailCollection details(&entry);
    for (int16_t v : {1, 2}) {
        TestDetail* d = new TestDetail;
        d->SetValue(v);
        details.Add(d);
    }
    details.SaveAllNew();
    TestDetailCollection check(&entry);
    ASSERT_EQ(check.LoadAll(), 2);
    EXPECT_EQ(check.GetItemAt(1)->Value(), 2);
}

TEST(Records, CellDetailsCreateStepAndLoadPerCell) {
    FCCell cell(4, 2);  // measure 4, staff 2
    TestCellDetail detail;
    EXPECT_FALSE(detail.SaveNew());
    EXPECT_FALSE(detail.LoadFirst());
    detail.ConnectToCell(&cell);
    for (int16_t v : {10, 11, 12}) {
        detail.SetValue(v);
        ASSERT_TRUE(detail.SaveNew());
    }
    EXPECT_EQ(detail.created, 3);
    EXPECT_EQ(detail.GetStaff(), 2);
    EXPECT_EQ(detail.GetMeasure(), 4);
    ASSERT_TRUE(detail.LoadLast());
    EXPECT_EQ(detail.GetItemInci(), 2);
    EXPECT_EQ(detail.Value(), 12);
    ASSERT_TRUE(detail.LoadPrevious());
    EXPECT_EQ(detail.Value(), 11);
    ASSERT_TRUE(detail.LoadFirst());
    EXPECT_FALSE(detail.LoadPrevious());  // at incidence 0, without asking the host
    EXPECT_EQ(detail.GetItemInci(), 0);

    TestCellDetailCollection inCell;
    ASSERT_EQ(inCell.LoadAllInCell(&cell), 3);
    EXPECT_EQ(inCell.GetItemAt(1)->Value(), 11);
}

TEST(Records, CellDetailLoadAllOrdersByMeasureThenStaff) {
    // Staves 1 and 2, measures 1 and 2 (raw staff and measure records are enough here).
    uint8_t blank[30] = {0};
    for (uint16_t n : {1, 2}) {
        PutRecord(FXTag('S', 'O', 'I', 'S'), n, 0, 0, blank, 30);
        PutRecord(FXTag('S', 'O', 'M', 'S'), n, 0, 0, blank, 30);
    }
    struct Cell {
        int measure, staff;
        int16_t value;
    } cells[] = {{2, 1, 21}, {1, 2, 12}, {2, 2, 22}, {1, 1, 11}};
    for (const Cell& c : cells) {
        FCCell cell(c.measure, c.staff);
        TestCellDetail d;
        d.ConnectToCell(&cell);
        d.SetValue(c.value);
        ASSERT_TRUE(d.SaveNew());
    }
    TestCellDetailCollection all;
    ASSERT_EQ(all.LoadAll(), 4);
    std::vector<int> order;
    for (int i = 0; i < all.GetCount(); ++i) order.push_back(all.GetItemAt(i)->Value());
    EXPECT_EQ(order, (std::vector<int>{11, 12, 21, 22}));
}

namespace {

struct CountingHandler : FCIteratorHandler {
    int stopAfter = 1000;
    int matchValue = -1;
    int visits = 0, postLoops = 0, successes = 0;
    bool preCheck = true;
    bool PreCheck() override { return preCheck; }
    bool Iterate(__FCBase* element) override {
        ++visits;
        (void)element;
        return visits < stopAfter;
    }
    bool IsMatch(__FCBase* element) override { return static_cast<TestItem*>(element)->Value() == matchValue; }
    void PostLoop() override { ++postLoops; }
    void PostLoopSuccess() override { ++successes; }
};

struct TestItemBrowser : __FCBrowserNoInciOther {
    __FCBaseData* CreateElement() override { return new TestItem; }
};

}  // namespace

TEST(Records, BrowsersVisitWithoutKeepingAndFindFirstHandsBackTheMatch) {
    for (uint16_t n = 1; n <= 5; ++n) PutItem(n, n * 10);
    TestItemBrowser browser;
    CountingHandler all;
    EXPECT_EQ(browser.ForEach(&all), 5);
    EXPECT_EQ(all.postLoops, 1);
    EXPECT_EQ(all.successes, 1);

    CountingHandler stop;
    stop.stopAfter = 3;
    EXPECT_EQ(browser.ForEach(&stop), 2);  // the call that returned false is not counted

    CountingHandler refused;
    refused.preCheck = false;
    EXPECT_EQ(browser.ForEach(&refused), 0);
    EXPECT_EQ(refused.postLoops, 0);

    CountingHandler find;
    find.matchValue = 40;
    std::unique_ptr<__FCBase> found(browser.FindFirst(&find));
    ASSERT_TRUE(found);
    EXPECT_EQ(static_cast<TestItem*>(found.get())->GetItemNo(), 4);
    EXPECT_EQ(find.postLoops, 0);
    EXPECT_EQ(find.successes, 1);

    CountingHandler missing;
    missing.matchValue = 999;
    EXPECT_EQ(browser.FindFirst(&missing), nullptr);
    EXPECT_EQ(missing.postLoops, 1);
}

TEST(Records, EmulatedPreferencesAreAssembledFromOtherRecords) {
    // Word 1 of ot41 at the document-wide item, incidence 0, is the flags field at offset 18.
    uint8_t other[12] = {0};
    const uint16_t flags = 0x0009;
    std::memcpy(other + 2, &flags, 2);
    PutRecord(FXTag('o', 't', '4', '1'), 0xFFFE, 0, 0, other, 12);
    TestMiscPrefs prefs;
    ASSERT_TRUE(prefs.Load(1));
    EXPECT_EQ(prefs.GetLoadedSize(), 102);
    EXPECT_EQ(prefs.Flags(), 0x0009);
    prefs.SetFlags(0x0001);
    ASSERT_TRUE(prefs.Save());
    FXKey key = {{0xFFFE, 0, 0, 0}};
    uint32_t size = 12;
    ASSERT_TRUE(hostapi::FX_LoadEData(FXTag('o', 't', '4', '1'), &key, other, &size, 0x12050000));
    uint16_t stored;
    std::memcpy(&stored, other + 2, 2);
    EXPECT_EQ(stored, 0x0001);
    // Only the changed record was written: no other record of the table came into being.
    EXPECT_EQ(simhost::CurrentDocument().Records().Count(FXTag('o', 't', '4', '0')), 0);
    EXPECT_TRUE(prefs.Reload());
    EXPECT_EQ(prefs.Flags(), 0x0001);
}

TEST(Records, EmulatedFieldsNewerThanTheHostAreSkipped) {
    // The last three fields of pfMI are 32-bit values that only newer hosts have.
    const uint16_t words[6] = {0x1111, 0x2222, 0x3333, 0x4444, 0x5555, 0x6666};
    for (uint16_t inci = 0; inci < 10; ++inci) PutRecord(FXTag('o', 't', '4', '0'), 0xFFFE, inci, 0, words, 12);
    TestMiscPrefs recent;
    ASSERT_TRUE(recent.Load(1));
    EXPECT_NE(recent.Long(98), 0u);
    hostapi::SetHostVersion(0x11000000);
    TestMiscPrefs older;
    ASSERT_TRUE(older.Load(1));
    EXPECT_EQ(older.Long(98), 0u);
    EXPECT_EQ(older.Word(0), recent.Word(0));
}

TEST(Records, PlainPreferencesLoadAndSaveAsOneStructure) {
    TestPlainPrefs prefs;
    EXPECT_FALSE(prefs.Reload());  // not loaded yet
    EXPECT_FALSE(prefs.Load(1));
    uint8_t data[4] = {9, 0, 0, 0};
    PutRecord(FXTag('p', 'f', 'Z', 'Z'), 1, 0, 0, data, 4);
    ASSERT_TRUE(prefs.LoadFirst());
    EXPECT_EQ(prefs.Value(), 9);
    prefs.SetValue(3);
    ASSERT_TRUE(prefs.Save());
    ASSERT_TRUE(prefs.Reload());
    EXPECT_EQ(prefs.Value(), 3);
}

TEST(Records, AStoredRecordLargerThanTheStructureNeverMakesSaveReadPastIt) {
    uint8_t big[40];
    for (int i = 0; i < 40; ++i) big[i] = uint8_t(i);
    PutRecord(TestItem::kTag, 2, 0, 0, big, sizeof big);
    TestItem item;
    ASSERT_TRUE(item.Load(2));
    EXPECT_EQ(item.GetLoadedSize(), 8);
    ASSERT_TRUE(item.Save());

    // Nor does a copy of a larger record of the same tag: the copy keeps what its structure holds.
    PutRecord(TestVariable::kTag, 3, 0, 0, big, sizeof big);
    TestVariable variable;
    ASSERT_TRUE(variable.Load(3));
    ASSERT_EQ(variable.GetLoadedSize(), 40);
    TestItem copy;
    ASSERT_TRUE(copy.CopyDataFrom(&variable));
    EXPECT_EQ(copy.GetLoadedSize(), 8);
    EXPECT_EQ(copy.Value(), fcdata::Read<int32_t>(big, 0));
}
