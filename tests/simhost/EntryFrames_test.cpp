// The stand-in host's entry frames, called the way the framework calls them: layouts, saving,
// insertion and deletion, refusal of bad frames and arguments, details kept with their entries,
// edits, layers, pitches and metrics.
#include "framework/entries/EntryFrameLayout.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/host/hostapi.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/EntryFrames.h"
#include "simhost/PitchSpelling.h"
#include "simhost/ScoreText.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace simhost;

namespace {

constexpr uint32_t V = kFXInterfaceVersion;
const uint32_t kArticulationTag = FXTag('e', 'd', 'I', 'M');

void Load(const std::string& text) {
    ScoreTextError error;
    ASSERT_TRUE(ReadScoreText(text, &error)) << error.ToString();
}

std::string Score(const std::string& music) { return CanonicalScoreText(music); }

// A frame of the current document, freed at the end of the scope.
struct Frame {
    Frame(int slot, int measure, int layer = 0)
        : data(static_cast<uint8_t*>(hostapi::FX_LoadTGF(0, int16_t(slot), int16_t(measure), int16_t(layer), 1, V))) {}
    ~Frame() {
        if (data) hostapi::FX_FreeTGF(data, V);
    }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    int Count() const { return fcframe::EntryCount(data); }
    uint8_t* Entry(int i) const { return fcframe::EntryAt(data, i); }
    int32_t Read32(int i, int offset) const { return fcdata::Read<int32_t>(Entry(i), offset); }
    void Write32(int i, int offset, int32_t value) { fcdata::Write<int32_t>(Entry(i), offset, value); }
    bool Save() { return hostapi::FX_SaveTGF(data, V) != 0; }

    uint8_t* data;
};

bool HasDetail(uint32_t tag, int32_t entry, uint16_t inci = 0) {
    const FXKey key = {{uint16_t(entry & 0xFFFF), uint16_t(uint32_t(entry) >> 16), inci, 0}};
    return CurrentDocument().Records().Find(tag, key) != nullptr;
}

void AddDetail(uint32_t tag, int32_t entry, uint16_t inci) {
    const uint8_t data[12] = {1, 2, 3};
    const FXKey key = {{uint16_t(entry & 0xFFFF), uint16_t(uint32_t(entry) >> 16), inci, 0}};
    CurrentDocument().Records().Put(tag, key, data, sizeof data);
}

const char* const kTwoMeasures = R"(qzs 1
staff 1
staff 2
measure 1
s1: 4 C4 D4 E4 F4
s2: 1 C3
measure 2
s1: 2 G4 G4
)";

}  // namespace

TEST(EntryFrames, FrameHeaderEntriesAndNotesLieAtTheirOffsets) {
    Load(R"(qzs 1
staff 3
staff 5
measure 1 key=G
s5 L2: 8 [<C4~ E4 G4:7> r_ 4. gF#5!mark 2 B3
)");
    Frame frame(2, 1, 1);
    ASSERT_NE(frame.data, nullptr);
    EXPECT_EQ(fcframe::FrameWord(frame.data, fcframe::kStaffList), 0);
    EXPECT_EQ(fcframe::FrameWord(frame.data, fcframe::kSlot), 2);
    EXPECT_EQ(fcframe::FrameWord(frame.data, fcframe::kMeasure), 1);
    EXPECT_EQ(fcframe::FrameWord(frame.data, fcframe::kLayer), 1);
    EXPECT_EQ(fcframe::FrameWord(frame.data, fcframe::kLocked), 0);
    ASSERT_EQ(frame.Count(), 4);
    EXPECT_EQ(fcframe::TupletCount(frame.data), 0);

    struct Row {
        int32_t number, duration, position, actual;
        uint32_t flags;
        int notes;
    } rows[] = {{1, 512, 0, 512, 0x40000800, 3},
                {2, 512, 512, 512, 0x00000000, 0},
                {3, 1536, 1024, 0, 0xC0800000, 1},
                {4, 2048, 1024, 2048, 0x40000000, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(frame.Read32(i, fcframe::kEntryNumber), rows[i].number) << i;
        EXPECT_EQ(frame.Read32(i, fcframe::kDuration), rows[i].duration) << i;
        EXPECT_EQ(frame.Read32(i, fcframe::kPosition), rows[i].position) << i;
        EXPECT_EQ(frame.Read32(i, fcframe::kActualDuration), rows[i].actual) << i;
        EXPECT_EQ(uint32_t(frame.Read32(i, fcframe::kFlags)), rows[i].flags) << i;
        EXPECT_EQ(fcdata::Read<int16_t>(frame.Entry(i), fcframe::kNoteCount), rows[i].notes) << i;
    }
    // Notes of the chord, relative to G (displacement 0 is G4): C4 -4, E4 -2, G4 0.
    const uint8_t* notes = frame.Entry(0) + fcframe::kNotes;
    const int16_t expected[3][3] = {{-4, 0, 1}, {-2, 0, 2}, {0, 0, 7}};
    for (int n = 0; n < 3; ++n) {
        const uint8_t* note = notes + n * fcframe::kNoteSize;
        EXPECT_EQ(fcdata::Read<int16_t>(note, fcframe::kDisplacement), expected[n][0]);
        EXPECT_EQ(fcdata::Read<int16_t>(note, fcframe::kRaiseLower), expected[n][1]);
        EXPECT_EQ(fcdata::Read<int16_t>(note, fcframe::kNoteID), expected[n][2]);
        EXPECT_EQ(fcdata::Read<uint32_t>(note, fcframe::kNoteFlags), n == 0 ? FCNote::kFlagTieStart : 0u);
    }
    // F#5 in G needs no alteration; B3 is displacement -5.
    EXPECT_EQ(fcdata::Read<int16_t>(frame.Entry(2) + fcframe::kNotes, fcframe::kDisplacement), 6);
    EXPECT_EQ(fcdata::Read<int16_t>(frame.Entry(3) + fcframe::kNotes, fcframe::kDisplacement), -5);

    Frame empty(1, 1);
    ASSERT_NE(empty.data, nullptr);
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(fcframe::Entries(empty.data), nullptr);
}

TEST(EntryFrames, FramesOfCellsThatDoNotExistAreRefused) {
    Load(kTwoMeasures);
    struct Row {
        int staffList, slot, measure, layer;
    } rows[] = {{0, 0, 1, 0}, {0, 3, 1, 0}, {0, 1, 0, 0}, {0, 1, 3, 0}, {0, 1, 1, -1}, {0, 1, 1, 4}, {7, 1, 1, 0}};
    for (const Row& row : rows)
        EXPECT_EQ(hostapi::FX_LoadTGF(int16_t(row.staffList), int16_t(row.slot), int16_t(row.measure),
                                      int16_t(row.layer), 1, V),
                  nullptr)
            << row.staffList << "/" << row.slot << "/" << row.measure << "/" << row.layer;
    EXPECT_EQ(LiveFrameCount(), 0);
}

TEST(EntryFrames, TupletsScaleActualDurationsAndListTheirSpans) {
    Load(R"(qzs 1
staff 1
measure 1
s1: 4 C4 {3:2 8 D4 gE4 F4 G4} {5x16:1x4 16 A4 B4 C5 D5 E5} 4 r
)");
    Frame frame(1, 1);
    ASSERT_EQ(frame.Count(), 11);
    const int32_t positions[] = {0, 1024, 1365, 1365, 1706, 2048, 2252, 2457, 2662, 2867, 3072};
    const int32_t actual[] = {1024, 341, 0, 341, 342, 204, 205, 205, 205, 205, 1024};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(frame.Read32(i, fcframe::kPosition), positions[i]) << i;
        EXPECT_EQ(frame.Read32(i, fcframe::kActualDuration), actual[i]) << i;
    }
    ASSERT_EQ(fcframe::TupletCount(frame.data), 2);
    const int spans[2][2] = {{1, 4}, {5, 9}};
    for (int t = 0; t < 2; ++t) {
        EXPECT_EQ(fcdata::Read<int16_t>(fcframe::TupletAt(frame.data, t), fcframe::kSpanFirst), spans[t][0]);
        EXPECT_EQ(fcdata::Read<int16_t>(fcframe::TupletAt(frame.data, t), fcframe::kSpanLast), spans[t][1]);
    }

    // Without the tuplet-start flag the record does not count (a merged chord keeps its record).
    frame.Write32(1, fcframe::kFlags, frame.Read32(1, fcframe::kFlags) & ~int32_t(FCNoteEntry::kFlagTupletStart));
    ASSERT_TRUE(frame.Save());
    Frame again(1, 1);
    EXPECT_EQ(fcframe::TupletCount(again.data), 1);
    EXPECT_EQ(again.Read32(2, fcframe::kPosition), 1536);
}

TEST(EntryFrames, SavingDeletesZeroDurationsNumbersNewEntriesAndKeepsDetailsWithTheirEntries) {
    Load(kTwoMeasures);
    for (int32_t entry = 1; entry <= 4; ++entry) AddDetail(kArticulationTag, entry, 0);
    AddDetail(kArticulationTag, 3, 1);
    {
        Frame frame(1, 1);
        ASSERT_TRUE(hostapi::FX_InsertEXENTRY(frame.data, 1, 2, V));
        ASSERT_EQ(frame.Count(), 6);
        // The blank records: entry number 0, duration 0 (a rest).
        EXPECT_EQ(frame.Read32(1, fcframe::kEntryNumber), 0);
        EXPECT_EQ(frame.Read32(2, fcframe::kDuration), 0);
        frame.Write32(1, fcframe::kDuration, 512);  // keeps one of the two blanks
        frame.Write32(3, fcframe::kDuration, 512);  // D4 shortened
        frame.Write32(4, fcframe::kDuration, 0);    // E4 deleted
        ASSERT_TRUE(frame.Save());
    }
    EXPECT_EQ(WriteScoreText(), Score(R"(qzs 1
staff 1
staff 2
measure 1
s1: 4 C4 8 r@8 D4@2 4 F4@4
s2: 1 C3
measure 2
s1: 2 G4 G4
raw edIM 1 0 0 0 = 010203000000000000000000
raw edIM 2 0 0 0 = 010203000000000000000000
raw edIM 4 0 0 0 = 010203000000000000000000
)"));
    EXPECT_TRUE(HasDetail(kArticulationTag, 2));
    EXPECT_TRUE(HasDetail(kArticulationTag, 4));
    EXPECT_FALSE(HasDetail(kArticulationTag, 3));  // every incidence of the deleted entry
    EXPECT_FALSE(HasDetail(kArticulationTag, 3, 1));

    // Deleting through the frame removes the details too; the blanks never had any.
    {
        Frame frame(1, 1);
        ASSERT_TRUE(hostapi::FX_DeleteEXENTRY(frame.data, 0, 1, V));
        ASSERT_TRUE(frame.Save());
    }
    EXPECT_FALSE(HasDetail(kArticulationTag, 1));
    EXPECT_TRUE(HasDetail(kArticulationTag, 2));
}

TEST(EntryFrames, BadFramesAndArgumentsAreRefusedWithoutChangingAnything) {
    Load(kTwoMeasures);
    const DocumentState before = CurrentDocument().State();
    Frame frame(1, 1);
    uint8_t stranger[fcframe::kHeaderSize] = {0};
    for (void* unknown : {static_cast<void*>(nullptr), static_cast<void*>(stranger)}) {
        EXPECT_EQ(hostapi::FX_InsertEXENTRY(unknown, 0, 1, V), 0);
        EXPECT_EQ(hostapi::FX_DeleteEXENTRY(unknown, 0, 1, V), 0);
    }
    struct Row {
        int index, count;
        bool done;
    };
    // The frame holds four entries.
    const Row inserts[] = {{-1, 1, false}, {5, 1, false},      {0, 0, false},
                           {0, -2, false}, {0, 0x7FFF, false}, {4, 1, true}};
    for (const Row& row : inserts)
        EXPECT_EQ(hostapi::FX_InsertEXENTRY(frame.data, int16_t(row.index), int16_t(row.count), V) != 0, row.done)
            << "insert " << row.index << " " << row.count;
    // Now five.
    const Row deletions[] = {{-1, 1, false}, {5, 1, false}, {4, 2, false}, {0, 0, false}, {0, -1, false}, {4, 1, true}};
    for (const Row& row : deletions)
        EXPECT_EQ(hostapi::FX_DeleteEXENTRY(frame.data, int16_t(row.index), int16_t(row.count), V) != 0, row.done)
            << "delete " << row.index << " " << row.count;
    EXPECT_EQ(frame.Count(), 4);
    EXPECT_EQ(hostapi::FX_SaveTGF(nullptr, V), 0);
    EXPECT_EQ(hostapi::FX_SaveTGF(stranger, V), 0);
    EXPECT_EQ(hostapi::FX_FreeTGF(stranger, V), 0);

    // Records the host refuses to store; the whole save is refused.
    struct Bad {
        const char* what;
        int offset;
        int32_t value;
        bool sixteen;
    } bad[] = {{"note count 13", fcframe::kNoteCount, 13, true},
               {"note count -1", fcframe::kNoteCount, -1, true},
               {"negative duration", fcframe::kDuration, -512, false},
               {"oversized duration", fcframe::kDuration, EntryStore::kMaxDuration + 1, false},
               {"number never issued", fcframe::kEntryNumber, 99, false},
               {"negative number", fcframe::kEntryNumber, -3, false},
               {"number twice", fcframe::kEntryNumber, 2, false},
               {"number of another frame", fcframe::kEntryNumber, 5, false}};
    for (const Bad& row : bad) {
        uint8_t saved[fcframe::kEntrySize];
        std::memcpy(saved, frame.Entry(0), sizeof saved);
        if (row.sixteen)
            fcdata::Write<int16_t>(frame.Entry(0), row.offset, int16_t(row.value));
        else
            frame.Write32(0, row.offset, row.value);
        EXPECT_FALSE(frame.Save()) << row.what;
        std::memcpy(frame.Entry(0), saved, sizeof saved);
    }

    // A header whose arrays were changed by the caller no longer names a frame of the host.
    const int16_t count = fcdata::Read<int16_t>(frame.data, fcframe::kEntryCount);
    fcdata::Write<int16_t>(frame.data, fcframe::kEntryCount, int16_t(count + 10));
    EXPECT_FALSE(frame.Save());
    EXPECT_EQ(hostapi::FX_InsertEXENTRY(frame.data, 0, 1, V), 0);
    fcdata::Write<int16_t>(frame.data, fcframe::kEntryCount, count);
    EXPECT_EQ(CurrentDocument().State(), before) << CurrentDocument().Dump();

    // Freed twice: the second is refused.
    void* other = hostapi::FX_LoadTGF(0, 2, 1, 0, 1, V);
    EXPECT_EQ(hostapi::FX_FreeTGF(other, V), 1);
    EXPECT_EQ(hostapi::FX_FreeTGF(other, V), 0);
}

TEST(EntryFrames, LockedFramesAreNeverSavedNorEdited) {
    Load(R"(qzs 1
staff 1
measure 1
s1 locked: 2 C4 D4
)");
    const DocumentState before = CurrentDocument().State();
    Frame frame(1, 1);
    EXPECT_EQ(fcframe::FrameWord(frame.data, fcframe::kLocked), 1);
    EXPECT_EQ(hostapi::FX_DeleteEXENTRY(frame.data, 0, 1, V), 0);
    EXPECT_EQ(hostapi::FX_InsertEXENTRY(frame.data, 0, 1, V), 0);
    frame.Write32(0, fcframe::kDuration, 1024);
    EXPECT_FALSE(frame.Save());
    EXPECT_EQ(CurrentDocument().State(), before);
}

TEST(EntryFrames, AnEntryNumberDeletedEarlierInTheEditCanComeBack) {
    // A cell loaded twice: the second copy deletes an entry, the first writes it back.
    Load(kTwoMeasures);
    Frame first(1, 1);
    {
        Frame second(1, 1);
        second.Write32(1, fcframe::kDuration, 0);
        ASSERT_TRUE(second.Save());
    }
    ASSERT_TRUE(first.Save());
    EXPECT_EQ(WriteScoreText(), Score(kTwoMeasures));
}

TEST(EntryFrames, CancelledEditsRestoreFramesAndEntryNumbers) {
    Load(kTwoMeasures);
    AddDetail(kArticulationTag, 2, 0);
    const DocumentState before = CurrentDocument().State();
    ASSERT_TRUE(hostapi::FX_StartFinaleEdit("Edit", V));
    {
        Frame frame(1, 1);
        ASSERT_TRUE(hostapi::FX_InsertEXENTRY(frame.data, 0, 3, V));
        for (int i = 0; i < 3; ++i) frame.Write32(i, fcframe::kDuration, 256);
        frame.Write32(4, fcframe::kDuration, 0);
        ASSERT_TRUE(frame.Save());
    }
    EXPECT_EQ(CurrentDocument().Entries().NextNumber(), 11);
    EXPECT_FALSE(HasDetail(kArticulationTag, 2));
    ASSERT_TRUE(hostapi::FX_CancelFinaleEdit(V));
    EXPECT_EQ(CurrentDocument().State(), before) << CurrentDocument().Dump();
    EXPECT_TRUE(HasDetail(kArticulationTag, 2));

    // After the cancel the numbers handed out are the same as before the edit.
    Frame frame(1, 1);
    ASSERT_TRUE(hostapi::FX_InsertEXENTRY(frame.data, 4, 1, V));
    frame.Write32(4, fcframe::kDuration, 1024);
    ASSERT_TRUE(frame.Save());
    Frame reloaded(1, 1);
    EXPECT_EQ(reloaded.Read32(4, fcframe::kEntryNumber), 8);
}

TEST(EntryFrames, LayersAndShownLayers) {
    EXPECT_EQ(hostapi::FX_GetMaxLayers(V), 4);
    CurrentDocument().SetLayerShown(2, false);
    const int shown[] = {1, 1, 0, 1, 0, 0};
    const int16_t layers[] = {0, 1, 2, 3, 4, -1};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(hostapi::FX_GetShowLayer(layers[i], V), shown[i]) << layers[i];
    // Edits leave the view alone.
    ASSERT_TRUE(hostapi::FX_StartFinaleEdit("Edit", V));
    ASSERT_TRUE(hostapi::FX_CancelFinaleEdit(V));
    EXPECT_EQ(hostapi::FX_GetShowLayer(2, V), 0);
}

TEST(EntryFrames, MidiKeysFollowDisplacementAlterationAndKey) {
    struct Row {
        int16_t displacement, raise;
        const char* key;
        int midi;
    } rows[] = {{0, 0, "C", 60},  {7, 0, "C", 72},   {-1, 0, "C", 59},  {2, 1, "C", 65},
                {0, -1, "C", 59}, {0, 0, "G", 67},   {-1, 0, "G", 66},  {-1, -1, "G", 65},
                {0, 0, "F", 65},  {3, 0, "F", 70},   {0, 0, "Am", 60},  {0, 0, "C#", 61},
                {0, 0, "Cb", 59}, {-2, 0, "Bb", 67}, {-100, 0, "C", 0}, {100, 0, "C", 127}};
    for (const Row& row : rows) {
        uint16_t key = 0;
        ASSERT_TRUE(ParseKeyName(row.key, &key)) << row.key;
        uint8_t note[fcframe::kNoteSize] = {0};
        fcdata::Write<int16_t>(note, fcframe::kDisplacement, row.displacement);
        fcdata::Write<int16_t>(note, fcframe::kRaiseLower, row.raise);
        EXPECT_EQ(hostapi::FX_NoteToMidi(note, int16_t(key), V), row.midi)
            << row.displacement << " " << row.raise << " in " << row.key;
    }
    // An unknown key value reads as C major.
    uint8_t note[fcframe::kNoteSize] = {0};
    EXPECT_EQ(hostapi::FX_NoteToMidi(note, 9, V), 60);
    EXPECT_EQ(hostapi::FX_NoteToMidi(nullptr, 0, V), 0);
}

TEST(EntryFrames, MetricsGiveTheStemDirectionOfPlacedEntries) {
    Load(R"(qzs 1
staff 1
staff 2
measure 1
s1: 4 C4 D4_ r E4
)");
    uint8_t block[fcframe::kMetricsSize];
    struct Row {
        int staff, measure;
        int32_t entry;
        int filled;
        uint32_t stem;
    } rows[] = {{1, 1, 1, 1, 1}, {1, 1, 2, 1, 0}, {1, 1, 3, 1, 0}, {2, 1, 1, 0, 0}, {1, 2, 1, 0, 0}, {1, 1, 9, 0, 0}};
    for (const Row& row : rows) {
        std::memset(block, 0xEE, sizeof block);
        for (int version = 0; version < 2; ++version) {
            const int16_t filled = version ? hostapi::FX_GetEntryMetrics2009a(int16_t(row.staff), int16_t(row.measure),
                                                                              row.entry, block, 0, 1, V)
                                           : hostapi::FX_GetEntryMetrics2014(int16_t(row.staff), int16_t(row.measure),
                                                                             row.entry, block, 0, 1, V);
            EXPECT_EQ(filled, row.filled) << row.entry;
            if (filled) {
                EXPECT_EQ(fcdata::Read<uint32_t>(block, fcframe::kMetricsStemWord), row.stem) << row.entry;
            }
        }
    }
    EXPECT_EQ(hostapi::FX_GetEntryMetrics2014(1, 1, 1, nullptr, 0, 1, V), 0);
    EXPECT_EQ(hostapi::FX_FreeEntryMetrics(block, V), 1);
}

TEST(EntryFrames, SavedStemDirectionsStayWithTheirEntries) {
    Load(R"(qzs 1
staff 1
measure 1
s1: 4 C4 D4_ E4 F4
)");
    {
        Frame frame(1, 1);
        ASSERT_TRUE(hostapi::FX_DeleteEXENTRY(frame.data, 0, 1, V));
        ASSERT_TRUE(frame.Save());
    }
    EXPECT_EQ(WriteScoreText(), Score(R"(qzs 1
staff 1
measure 1
s1: 4 D4_@2 E4 F4
)"));
}

TEST(EntryFrames, TheBuilderRefusesLayersTheHostCouldNotHold) {
    Load(kTwoMeasures);
    DocumentBuilder builder;
    StoredEntry note;
    note.duration = 1024;
    note.flags = FCNoteEntry::kFlagNote;
    note.notes.resize(1);
    StoredEntry crowded = note;
    crowded.notes.resize(13);
    StoredEntry silent = note;
    silent.duration = 0;
    StoredEntry taken = note;
    taken.number = 5;  // staff 2's entry
    struct Row {
        const char* what;
        int staff, measure, layer;
        std::vector<StoredEntry> entries;
    } rows[] = {{"no staff 3", 3, 1, 0, {note}},   {"no measure 3", 1, 3, 0, {note}},
                {"no layer 5", 1, 1, 4, {note}},   {"13 notes", 1, 1, 0, {crowded}},
                {"duration 0", 1, 1, 0, {silent}}, {"a number in use elsewhere", 1, 1, 0, {taken}}};
    const DocumentState before = CurrentDocument().State();
    for (const Row& row : rows)
        EXPECT_FALSE(builder.SetLayer(row.staff, row.measure, row.layer, row.entries)) << row.what;
    EXPECT_TRUE(CurrentDocument().State() == before);
    EXPECT_FALSE(builder.SetNextEntryNumber(7));  // entry 7 exists
    EXPECT_FALSE(builder.AddTuplet(99, TupletRatio{3, 512, 2, 512}));

    // Replacing a layer keeps the numbers it is given and removes the details of the others.
    AddDetail(kArticulationTag, 1, 0);
    AddDetail(kArticulationTag, 2, 0);
    StoredEntry kept = note;
    kept.number = 2;
    std::vector<int32_t> numbers;
    ASSERT_TRUE(builder.SetLayer(1, 1, 0, {note, kept}, &numbers));
    EXPECT_EQ(numbers, (std::vector<int32_t>{8, 2}));
    EXPECT_FALSE(HasDetail(kArticulationTag, 1));
    EXPECT_TRUE(HasDetail(kArticulationTag, 2));
}
