// tasks_bench: builds large documents in the stand-in host (16 staves of 4/4 measures, each
// measure two layers of eight beamed eighth-note chords of three notes) and times Reorder Notes
// (Descending, Randomize) and Break (Alberti Bass) over the whole document through the handlers'
// Execute, each inside one host edit that is then cancelled. Each task is set against its floor:
// the same cells loaded and saved unchanged through the same framework classes, in the same run.
// Prints entries processed, time per entry, peak memory and the ratio to the floor per task, for
// a document of 400 measures and one of 100, and whether the time per entry grows linearly.
//
//     tasks_bench [--repeat N] [--measures M] [--phase TEXT]
//
// --repeat: each phase runs N times (default 3) and the fastest run counts. --measures: only a
// document of M measures (for profiling), without the comparison of the two sizes. --phase: with
// --measures, only the phases whose names contain TEXT (for profiling one of them).
#include "bench/HeapCounter.h"
#include "bench/PeakMemory.h"
#include "framework/core/FCFontInfo.h"
#include "framework/entries/FCArticulation.h"
#include "framework/entries/FCArticulationDef.h"
#include "framework/entries/FCChord.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/entries/FCNotePitches.h"
#include "framework/host/hostapi.h"
#include "framework/markings/FCCategoryDef.h"
#include "framework/markings/FCExpression.h"
#include "framework/markings/FCSmartShape.h"
#include "framework/markings/FCSmartShapeMeasureMark.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "framework/score/FCCell.h"
#include "plugin/PatternSettings.h"
#include "plugin/PatternTaskWindow.h"
#include "profiles/FCNumberSettingsProfiles.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"
#include "tasks/beamedgroups/FCBeamedGroupsBlockHandler.h"
#include "tasks/chords/FCChordsBlockHandler.h"
#include "tasks/dynamics/FCDynamicsBlockHandler.h"
#include "tasks/performance/FCPerformanceNotationBlockHandler.h"
#include "tasks/sequences/FCSequencesBlockHandler.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kStaves = 16;
constexpr int kChordsPerLayer = 8;
constexpr int kLayers = 2;
// The targets: a task costs at most this many times its floor, and its time per entry on the
// large document is within this fraction of the time on the small one.
constexpr double kMaxRatio = 2.0;
constexpr double kMaxGrowth = 0.25;

struct Phase {
    std::string name;
    int entries = 0;
    double seconds = 0;
    size_t peakHeap = 0;
    size_t peakResident = 0;
    bool ok = true;

    double MicrosecondsPerEntry() const { return entries ? seconds * 1e6 / entries : 0; }
};

double MB(size_t bytes) { return double(bytes) / (1024.0 * 1024.0); }

// A fresh host holding one document: kStaves staves x measures, every measure with two layers of
// eight eighth-note chords of three notes beamed in fours (the second layer with its stems down),
// all of it selected. Returns the number of entries.
int BuildDocument(int measures) {
    simhost::Reset();
    hostapi::SetLookup(simhost::Lookup);
    hostapi::SetHostVersion(simhost::HostVersion());
    simhost::DocumentBuilder builder;
    const std::vector<int> staves = builder.AddStaves(kStaves);
    builder.AddMeasures(measures);
    int entries = 0;
    for (int staff : staves) {
        for (int measure = 1; measure <= measures; ++measure) {
            for (int layer = 0; layer < kLayers; ++layer) {
                std::vector<simhost::StoredEntry> chords(kChordsPerLayer);
                for (int i = 0; i < kChordsPerLayer; ++i) {
                    simhost::StoredEntry& chord = chords[size_t(i)];
                    chord.duration = 512;
                    chord.flags = 0x40000000 | (i % 4 == 0 ? 0x00000800 : 0);
                    chord.stemDown = layer == 1;
                    // Roots that wander, so each group has chords to put in order.
                    const int root = (staff * 5 + measure * 3 + i * 4) % 7 - 7 * layer;
                    for (int note = 0; note < 3; ++note) {
                        simhost::StoredNote stored;
                        stored.displacement = int16_t(root + 2 * note);
                        stored.noteID = int16_t(note + 1);
                        chord.notes.push_back(stored);
                    }
                }
                if (!builder.SetLayer(staff, measure, layer, chords)) return 0;
                entries += kChordsPerLayer;
            }
        }
    }
    if (!builder.Select(1, kStaves, 1, measures) || !builder.Ok()) return 0;
    return entries;
}

// Runs setup and then body once inside a host edit and cancels the edit, so every run starts
// from the same document; only body is timed (a floor measured on the document in the state its
// task leaves it does the task first, untimed). The phase keeps its fastest run and its largest
// peaks.
void MeasureAfter(Phase& phase, const std::function<bool()>& setup, const std::function<bool()>& body, bool first) {
    simhost::Document& document = simhost::CurrentDocument();
    document.StartEdit(u"Benchmark");
    const bool prepared = setup();
    bench::ResetHeapPeak();
    bench::ResetPeakResident();
    const std::clock_t start = std::clock();
    const bool ok = body();
    const std::clock_t stop = std::clock();
    const size_t heap = bench::HeapPeak();
    const size_t resident = bench::PeakResident();
    document.CancelEdit();
    const double seconds = double(stop - start) / CLOCKS_PER_SEC;
    if (first || seconds < phase.seconds) phase.seconds = seconds;
    if (heap > phase.peakHeap) phase.peakHeap = heap;
    if (resident > phase.peakResident) phase.peakResident = resident;
    phase.ok = phase.ok && ok && prepared;
}

void MeasureOnce(Phase& phase, const std::function<bool()>& body, bool first) {
    MeasureAfter(
        phase, [] { return true; }, body, first);
}

// The floors: every cell of the selection (staff by measure), or every layer of every staff
// over all measures, loaded and saved unchanged.
bool LoadAndSaveCells(int measures) {
    bool ok = true;
    for (int staff = 1; staff <= kStaves; ++staff)
        for (int measure = 1; measure <= measures; ++measure) {
            FCNoteEntryCell cell(measure, staff);
            ok = cell.Load() && cell.Save() && ok;
        }
    return ok;
}

bool LoadAndSaveLayers(int measures) {
    bool ok = true;
    for (int staff = 1; staff <= kStaves; ++staff)
        for (int layer = 0; layer < FCNoteEntryCell::MaxLayers(); ++layer) {
            FCNoteEntryLayer entries(layer, staff, 1, measures);
            ok = entries.Load() && entries.Save() && ok;
        }
    return ok;
}

// Break's floor: every layer loaded with its chords, each chord turned into the four single
// notes of its figure (three entries inserted after it, durations divided, one pitch each) and
// the layer saved: the music Break reads and writes, in the state Break leaves it, without
// choosing the figure's order.
bool LoadAndSaveBrokenLayers(int measures) {
    bool ok = true;
    FCNotePitches pitches;
    for (int staff = 1; staff <= kStaves; ++staff)
        for (int layer = 0; layer < FCNoteEntryCell::MaxLayers(); ++layer) {
            FCNoteEntryLayer entries(layer, staff, 1, measures);
            if (!entries.Load()) continue;
            for (int i = 0; i < entries.GetCount(); ++i) {
                FCNoteEntry* chord = entries.GetItemAt(i);
                if (!chord->IsNote() || chord->GetNoteCount() < 2) continue;
                const int32_t each = chord->GetDuration() / 4;
                chord->CopyPitchesTo(&pitches);
                if (!entries.InsertEntriesAfter(chord, 3, false)) {
                    ok = false;
                    continue;
                }
                FCNoteEntry* target = chord;
                for (int k = 0; k < 4 && target; ++k, target = target->Next()) {
                    target->SetDuration(each);
                    if (k > 0) target->SetEntryFlagBits(FCNoteEntry::kFlagNote, true);
                    target->SetSingleNote(pitches.GetItemAt(k % pitches.GetCount()));
                }
                i += 3;
            }
            ok = entries.Save() && ok;
        }
    return ok;
}

bool ReorderNotes(int style) {
    ThePatternSettings().QZPT_BEAMEDGROUPS_REODER_STYLE = style;
    FCBeamedGroupsBlockHandler handler(FCBeamedGroupsBlockHandler::kReorderNotes, nullptr, nullptr);
    return handler.Execute();
}

bool BreakChords(int style) {
    ThePatternSettings().QZPT_CHORDS_BREAK_STYLE = style;
    FCChordsBlockHandler handler(FCChordsBlockHandler::kBreak, nullptr, nullptr);
    return handler.Execute();
}

// --- Performance Notation: Articulations on the first note of every beat ---

// The floor of Performance Articulations: every layer of every staff loaded and saved, with a
// staccato created on each note that starts a beat (the state the task leaves), the definition
// made once as the task makes it.
bool ArticulateBeatsFloor(int measures) {
    FCFontInfo font;
    FCArticulationDefs definitions;
    definitions.LoadAllHandled(&font);
    FCArticulationDef candidate;
    candidate.ApplyTemplate(FCArticulationDef::kStaccato, &font);
    std::unique_ptr<FCArticulationDef> definition(definitions.FindOrCreateDefinition(&candidate));
    if (!definition) return false;
    bool ok = true;
    for (int staff = 1; staff <= kStaves; ++staff)
        for (int layer = 0; layer < FCNoteEntryCell::MaxLayers(); ++layer) {
            FCNoteEntryLayer entries(layer, staff, 1, measures);
            if (!entries.Load()) {
                ok = false;
                continue;
            }
            for (int i = 0; i < entries.GetCount(); ++i) {
                FCNoteEntry* entry = entries.GetItemAt(i);
                if (entry->GetMeasurePos() % 1024 != 0) continue;
                FCArticulation articulation;
                articulation.ConnectToEntry(entry);
                articulation.SetDefNumber(definition->GetItemNo());
                ok = articulation.SaveNew() && ok;
            }
            ok = entries.Save() && ok;
        }
    return ok;
}

bool PerformanceArticulations() {
    PatternSettings& settings = ThePatternSettings();
    settings.QZPT_PERFORMANCE_ARTIC_PLACEMENTSTYLE = FCPerformanceNotationBlockHandler::kFirstOfBeat;
    settings.QZPT_PERFORMANCE_ARTIC_STYLEDIGIT = 1;
    settings.QZPT_PERFORMANCE_ARTIC_KEEP = false;
    FCPerformanceNotationBlockHandler handler(FCPerformanceNotationBlockHandler::kArticulations, nullptr, nullptr);
    return handler.Execute();
}

// --- Performance Notation: Slurs by beat ---

// The floor of Performance Slurs: every layer of every staff loaded and saved, with a slur made
// over each beat's two eighths (the state the task leaves), shape, marks and all.
bool SlurBeatsFloor(int measures) {
    bool ok = true;
    for (int staff = 1; staff <= kStaves; ++staff)
        for (int layer = 0; layer < FCNoteEntryCell::MaxLayers(); ++layer) {
            FCNoteEntryLayer entries(layer, staff, 1, measures);
            if (!entries.Load()) {
                ok = false;
                continue;
            }
            for (int i = 0; i + 1 < entries.GetCount(); i += 2) {
                FCNoteEntry* first = entries.GetItemAt(i);
                FCNoteEntry* last = entries.GetItemAt(i + 1);
                FCSmartShape slur;
                slur.ApplyEntryAttachedPreset();
                slur.SetCodeBits(2);
                slur.SetShapeType(FCSmartShape::CalcSlurType(true));
                slur.SetStaff(staff);
                slur.GetLeftSegment()->SetMeasure(first->GetMeasure());
                slur.GetRightSegment()->SetMeasure(last->GetMeasure());
                ok = slur.SaveNewEverything(first, last) && ok;
            }
            ok = entries.Save() && ok;
        }
    return ok;
}

bool PerformanceSlurs() {
    PatternSettings& settings = ThePatternSettings();
    settings.QZPT_PERFORMANCE_SLUR_STYLE = FCPerformanceNotationBlockHandler::kByBeat;
    settings.QZPT_PERFORMANCE_SLUR_KEEPEXISTING = false;
    // Chords repeat notes of their neighbours: the pitch rule would cut the beats.
    settings.QZPT_PERFORMANCE_SLUR_IDENTICALPITCH = false;
    FCPerformanceNotationBlockHandler handler(FCPerformanceNotationBlockHandler::kSlurs, nullptr, nullptr);
    return handler.Execute();
}

struct Result {
    int measures = 0;
    std::vector<Phase> tasks;
    std::vector<Phase> floors;  // the floor of each task
};

// --- Articulations and Slurs (Beamed Groups) ---

void PrintPhase(const Phase& phase, const Phase* floor);

bool BeamedGroupsArticulationsOrSlurs(int task) {
    FCBeamedGroupsBlockHandler handler(task, nullptr, nullptr);
    return handler.Execute();
}

// The articulations or slurs the task leaves, per cell: the entry numbers an articulation goes
// on, or the first and last entry number of each slur.
typedef std::vector<std::vector<std::vector<int32_t>>> EntriesPerCell;

EntriesPerCell CollectWrittenEntries(int measures, int task) {
    EntriesPerCell written(kStaves + 1, std::vector<std::vector<int32_t>>(size_t(measures) + 1));
    simhost::Document& document = simhost::CurrentDocument();
    document.StartEdit(u"Benchmark");
    BeamedGroupsArticulationsOrSlurs(task);
    const simhost::EntryStore& entries = document.Entries();
    auto cellOf = [&](int32_t number, simhost::FrameKey* frame) {
        int index = 0;
        return entries.Locate(number, frame, &index) && frame->staff <= kStaves && frame->measure <= measures;
    };
    if (task == FCBeamedGroupsBlockHandler::kArticulations) {
        for (const auto& record : document.Records().Records(FCArticulation::kTag)) {
            const FXKey key = simhost::RecordStore::KeyFromOrder(record.first);
            const int32_t number = int32_t(uint32_t(key.words[0]) | (uint32_t(key.words[1]) << 16));
            simhost::FrameKey frame;
            if (cellOf(number, &frame)) written[size_t(frame.staff)][size_t(frame.measure)].push_back(number);
        }
    } else {
        for (const auto& record : document.Records().Records(FCSmartShape::kTag)) {
            FCSmartShape shape;
            simhost::FrameKey frame;
            if (!shape.Load(simhost::RecordStore::KeyFromOrder(record.first).words[0])) continue;
            const int32_t first = shape.GetLeftSegment()->GetEntryNumber();
            if (!cellOf(first, &frame)) continue;
            written[size_t(frame.staff)][size_t(frame.measure)].push_back(first);
            written[size_t(frame.staff)][size_t(frame.measure)].push_back(shape.GetRightSegment()->GetEntryNumber());
        }
    }
    document.CancelEdit();
    return written;
}

// The floors: every cell loaded and saved, with the same articulation records created on its
// entries (Articulations), or the same slurs with their marks (Slurs).
bool LoadAndSaveCellsWriting(int measures, int task, const EntriesPerCell& written, int definition) {
    bool ok = true;
    for (int staff = 1; staff <= kStaves; ++staff)
        for (int measure = 1; measure <= measures; ++measure) {
            FCNoteEntryCell cell(measure, staff);
            ok = cell.Load() && ok;
            const std::vector<int32_t>& numbers = written[size_t(staff)][size_t(measure)];
            size_t next = 0;
            FCNoteEntry* first = nullptr;
            for (int i = 0; i < cell.GetCount() && next < numbers.size(); ++i) {
                FCNoteEntry* entry = cell.GetItemAt(i);
                if (entry->GetEntryNumber() != numbers[next]) continue;
                ++next;
                if (task == FCBeamedGroupsBlockHandler::kArticulations) {
                    FCArticulation articulation;
                    articulation.ConnectToEntry(entry);
                    articulation.SetDefNumber(definition);
                    ok = articulation.SaveNew() && ok;
                } else if (!first) {
                    first = entry;
                    // A slur on a single entry ends where it starts.
                    if (next < numbers.size() && numbers[next] == numbers[next - 1]) --i;
                } else {
                    FCSmartShape slur;
                    slur.ApplyEntryAttachedPreset();
                    slur.SetCodeBits(2);
                    slur.SetShapeType(FCSmartShape::kTypeSlurAuto);
                    slur.SetStaff(staff);
                    slur.GetLeftSegment()->SetMeasure(measure);
                    slur.GetRightSegment()->SetMeasure(measure);
                    ok = slur.SaveNewEverything(first, entry) && ok;
                    first = nullptr;
                }
            }
            ok = cell.Save() && ok;
        }
    return ok;
}

// Runs the two tasks (staccatos on every note; one slur over every group) and their floors,
// round after round, and adds them to the result.
void RunArticulationAndSlurTasks(int measures, int repeat, const std::string& only, int entries, Result* result) {
    ThePatternSettings().QZPT_BEAMEDGROUPS_ARTIC_PLACEMENT = 0;
    ThePatternSettings().QZPT_BEAMEDGROUPS_SLUR_STYLE = 0;
    const EntriesPerCell articulated = CollectWrittenEntries(measures, FCBeamedGroupsBlockHandler::kArticulations);
    const EntriesPerCell slurred = CollectWrittenEntries(measures, FCBeamedGroupsBlockHandler::kSlurs);
    std::vector<Phase> phases(4);
    const char* names[] = {"floor: cells, articulations", "Articulations: all notes", "floor: cells and slurs",
                           "Slurs: full"};
    for (size_t i = 0; i < phases.size(); ++i) {
        phases[i].name = names[i];
        phases[i].entries = entries;
    }
    std::vector<bool> chosen(phases.size());
    for (size_t i = 0; i < phases.size(); ++i) chosen[i] = phases[i].name.find(only) != std::string::npos;
    const int articulationTask = FCBeamedGroupsBlockHandler::kArticulations;
    const int slurTask = FCBeamedGroupsBlockHandler::kSlurs;
    const std::function<bool()> bodies[] = {
        // The staccato definition the task makes is the first of the document.
        [=, &articulated] { return LoadAndSaveCellsWriting(measures, articulationTask, articulated, 1); },
        [=] { return BeamedGroupsArticulationsOrSlurs(articulationTask); },
        [=, &slurred] { return LoadAndSaveCellsWriting(measures, slurTask, slurred, 0); },
        [=] { return BeamedGroupsArticulationsOrSlurs(slurTask); },
    };
    for (int run = 0; run < repeat; ++run)
        for (size_t i = 0; i < phases.size(); ++i)
            if (chosen[i]) MeasureOnce(phases[i], bodies[i], run == 0);
    for (size_t i = 0; i < phases.size(); ++i)
        if (chosen[i]) PrintPhase(phases[i], i % 2 == 1 && chosen[i - 1] ? &phases[i - 1] : nullptr);
    std::printf("\n");
    result->tasks.push_back(phases[1]);
    result->floors.push_back(phases[0]);
    result->tasks.push_back(phases[3]);
    result->floors.push_back(phases[2]);
}

// --- Merge to Chord and Chord Symbols ---

bool BeamedGroupsTask(int task) {
    FCBeamedGroupsBlockHandler handler(task, nullptr, nullptr);
    return handler.Execute();
}

// The chord symbols Chord Symbols creates, per cell (staff, measure): their positions.
typedef std::vector<std::vector<std::vector<int32_t>>> ChordPositions;

ChordPositions CountChordSymbols(int measures) {
    ChordPositions positions(kStaves + 1, std::vector<std::vector<int32_t>>(size_t(measures) + 1));
    simhost::Document& document = simhost::CurrentDocument();
    document.StartEdit(u"Benchmark");
    BeamedGroupsTask(FCBeamedGroupsBlockHandler::kChordSymbols);
    for (const auto& record : document.Records().Records(FCChord::kTag)) {
        const FXKey key = simhost::RecordStore::KeyFromOrder(record.first);
        if (key.words[0] <= kStaves && key.words[1] <= measures && record.second.size() >= 24)
            positions[key.words[0]][key.words[1]].push_back(fcdata::Read<int32_t>(record.second.data(), 20));
    }
    document.CancelEdit();
    return positions;
}

// Chord Symbols' floor: every cell loaded and saved, and the same chord records created.
bool LoadAndSaveCellsWithChords(int measures, const ChordPositions& positions) {
    bool ok = true;
    for (int staff = 1; staff <= kStaves; ++staff)
        for (int measure = 1; measure <= measures; ++measure) {
            FCNoteEntryCell cell(measure, staff);
            ok = cell.Load() && cell.Save() && ok;
            FCCell where(measure, staff);
            for (int32_t position : positions[size_t(staff)][size_t(measure)]) {
                FCChord chord;
                chord.ConnectToCell(&where);
                chord.SetPosition(position);
                ok = chord.SaveNew() && ok;
            }
        }
    return ok;
}

// Runs the two tasks and their floors, round after round, and adds them to the result.
void RunChordTasks(int measures, int repeat, const std::string& only, int entries, Result* result) {
    const ChordPositions positions = CountChordSymbols(measures);
    std::vector<Phase> phases(4);
    const char* names[] = {"floor: merged cells", "Merge to Chord", "floor: cells and chords", "Chord Symbols"};
    for (size_t i = 0; i < phases.size(); ++i) {
        phases[i].name = names[i];
        phases[i].entries = entries;
    }
    std::vector<bool> chosen(phases.size());
    for (size_t i = 0; i < phases.size(); ++i) chosen[i] = phases[i].name.find(only) != std::string::npos;
    const std::function<bool()> merge = [] { return BeamedGroupsTask(FCBeamedGroupsBlockHandler::kMergeToChord); };
    const std::function<bool()> nothing = [] { return true; };
    for (int run = 0; run < repeat; ++run) {
        if (chosen[0])
            MeasureAfter(
                phases[0], merge, [=] { return LoadAndSaveCells(measures); }, run == 0);
        if (chosen[1]) MeasureOnce(phases[1], merge, run == 0);
        if (chosen[2])
            MeasureAfter(
                phases[2], nothing, [=, &positions] { return LoadAndSaveCellsWithChords(measures, positions); },
                run == 0);
        if (chosen[3])
            MeasureOnce(
                phases[3], [] { return BeamedGroupsTask(FCBeamedGroupsBlockHandler::kChordSymbols); }, run == 0);
    }
    for (size_t i = 0; i < phases.size(); ++i)
        if (chosen[i]) PrintPhase(phases[i], i % 2 == 1 && chosen[i - 1] ? &phases[i - 1] : nullptr);
    std::printf("\n");
    result->tasks.push_back(phases[1]);
    result->floors.push_back(phases[0]);
    result->tasks.push_back(phases[3]);
    result->floors.push_back(phases[2]);
}

void PrintPhase(const Phase& phase, const Phase* floor) {
    std::printf("  %-28s %8d %10.1f %10.2f %10.1f %10.1f", phase.name.c_str(), phase.entries, phase.seconds * 1e3,
                phase.MicrosecondsPerEntry(), MB(phase.peakHeap), MB(phase.peakResident));
    if (floor)
        std::printf(" %8.2f%s", phase.seconds / floor->seconds,
                    phase.seconds / floor->seconds <= kMaxRatio ? "" : " (over)");
    if (!phase.ok) std::printf("  FAILED: the task changed nothing");
    std::printf("\n");
}

Result Run(int measures, int repeat, const std::string& only) {
    Result result;
    result.measures = measures;
    const int entries = BuildDocument(measures);
    if (!entries) {
        std::fprintf(stderr, "tasks_bench: the document of %d measures could not be built\n", measures);
        std::exit(2);
    }
    ThePatternSettings().ResetToDefaults();
    ThePatternSettings().QZPT_RESPACE_IF_NECESSARY = false;

    // The phases take turns, round after round, so a task and its floor meet the same
    // conditions of the machine.
    std::vector<Phase> phases(9);
    const char* names[] = {
        "floor: cells",        "floor: broken figures",     "Reorder Notes: Descending",  "Reorder Notes: Randomize",
        "Break: Alberti Bass", "floor: beat articulations", "Perf. Articulations: Beats", "floor: beat slurs",
        "Perf. Slurs: By beat"};
    const std::function<bool()> bodies[] = {
        [=] { return LoadAndSaveCells(measures); },
        [=] { return LoadAndSaveBrokenLayers(measures); },
        [] { return ReorderNotes(FCBeamedGroupsBlockHandler::kReorderDescending); },
        [] { return ReorderNotes(FCBeamedGroupsBlockHandler::kReorderRandomize); },
        [] { return BreakChords(FCChordsBlockHandler::kAlbertiBass); },
        [=] { return ArticulateBeatsFloor(measures); },
        [] { return PerformanceArticulations(); },
        [=] { return SlurBeatsFloor(measures); },
        [] { return PerformanceSlurs(); },
    };
    for (size_t i = 0; i < phases.size(); ++i) {
        phases[i].name = names[i];
        phases[i].entries = entries;
    }
    std::vector<bool> chosen(phases.size());
    for (size_t i = 0; i < phases.size(); ++i) chosen[i] = phases[i].name.find(only) != std::string::npos;
    for (int run = 0; run < repeat; ++run)
        for (size_t i = 0; i < phases.size(); ++i)
            if (chosen[i]) MeasureOnce(phases[i], bodies[i], run == 0);
    const Phase& cells = phases[0];
    const Phase& layers = phases[1];
    result.tasks = {phases[2], phases[3], phases[4], phases[6], phases[8]};
    result.floors = {cells, cells, layers, phases[5], phases[7]};
    // The phase of each task's floor.
    const size_t floorPhase[] = {0, 0, 1, 5, 7};

    std::printf("%d staves x %d measures, %d entries\n", kStaves, measures, entries);
    std::printf("  %-28s %8s %10s %10s %10s %10s %8s\n", "phase", "entries", "time ms", "us/entry", "heap MB", "RSS MB",
                "ratio");
    for (size_t i : {0, 1, 5, 7})
        if (chosen[i]) PrintPhase(phases[i], nullptr);
    const size_t taskPhase[] = {2, 3, 4, 6, 8};
    for (size_t i = 0; i < result.tasks.size(); ++i)
        if (chosen[taskPhase[i]]) PrintPhase(result.tasks[i], chosen[floorPhase[i]] ? &result.floors[i] : nullptr);
    std::printf("\n");
    RunArticulationAndSlurTasks(measures, repeat, only, entries, &result);
    RunChordTasks(measures, repeat, only, entries, &result);
    return result;
}

// --- the Dynamics tasks ---

// A hairpin made as the Dynamics tasks make it.
bool AddHairpin(int staff, int type, int startMeasure, int32_t start, int endMeasure, int32_t end) {
    FCSmartShape shape;
    shape.ApplyMeasureAttachedPreset();
    shape.SetShapeType(type);
    shape.SetStaff(staff);
    shape.GetLeftSegment()->SetMeasure(startMeasure);
    shape.GetLeftSegment()->SetMeasurePos(start);
    shape.GetRightSegment()->SetMeasure(endMeasure);
    shape.GetRightSegment()->SetMeasurePos(end);
    shape.GetLeftSegment()->SetEndpointOffsetY(-168);
    shape.GetRightSegment()->SetEndpointOffsetY(-168);
    return shape.SaveNewEverything(nullptr, nullptr);
}

// Dynamics over the document of BuildDocument: on staff 1 a "p" (a dynamic by its category) at the
// start of every measure, a "cresc." (a dynamic by its word) at its middle and a crescendo hairpin
// over its first half; on every other staff one "p" at the second beat and a diminuendo over the
// third. Returns false when a record could not be made.
bool AddDynamics(int measures) {
    FCString text("p");
    FCTextExpressionDef piano;
    piano.SetCategoryNumber(1);
    FCTextExpressionDef crescendo;
    bool ok = piano.SetText(&text) && piano.SaveAs(1);
    text.SetCString("cresc.");
    ok = ok && crescendo.SetText(&text) && crescendo.SaveAs(2);
    for (int measure = 1; ok && measure <= measures; ++measure)
        for (int staff = 1; ok && staff <= kStaves; ++staff) {
            FCExpression expression;
            expression.SetDefinitionNumber(1);
            expression.SetStaff(staff);
            expression.SetMeasurePos(staff == 1 ? 0 : 1024);
            ok = expression.SaveNewUnderMeasure(measure);
            if (ok && staff == 1) {
                expression.SetDefinitionNumber(2);
                expression.SetMeasurePos(2048);
                ok = expression.SaveNewUnderMeasure(measure);
            }
            ok = ok && (staff == 1 ? AddHairpin(staff, 3, measure, 0, measure, 2048)
                                   : AddHairpin(staff, 2, measure, 2048, measure, 3072));
        }
    return ok;
}

// The hairpins of every measure loaded; those of the other staves deleted with everything, those
// of staff 1 copied to every other staff (toStaves) or (no staves) left as they are.
bool ReplaceHairpins(int measures, bool toStaves) {
    bool ok = true;
    for (int measure = 1; measure <= measures; ++measure) {
        FCSmartShapeMeasureMarks marks;
        marks.LoadAllForMeasures(measure, measure);
        for (int i = marks.GetCount() - 1; i >= 0; --i) {
            std::unique_ptr<FCSmartShape> shape(marks.GetItemAt(i)->CreateSmartShape(true));
            if (!shape) continue;
            if (shape->GetLeftSegment()->GetStaff() != 1 || !toStaves) {
                ok = shape->DeleteEverything() && ok;
                continue;
            }
            for (int staff = 2; staff <= kStaves; ++staff) {
                shape->SetStaff(staff);
                ok = shape->SaveNewEverything(nullptr, nullptr) && ok;
            }
        }
    }
    return ok;
}

// Carbon Copy's floor: what it reads (every cell of the destination staves, the expressions and
// hairpins of every measure) loaded, and what it writes made: the destinations' dynamics deleted
// and the source's created on every other staff.
bool CopyDynamicsFloor(int measures) {
    bool ok = ReplaceHairpins(measures, true);
    for (int measure = 1; measure <= measures; ++measure) {
        for (int staff = 2; staff <= kStaves; ++staff) {
            FCNoteEntryCell cell(measure, staff);
            ok = cell.Load() && ok;
        }
        FCExpressions expressions;
        expressions.LoadAllForItem(uint16_t(measure));
        for (int i = expressions.GetCount() - 1; i >= 0; --i)
            if (expressions.GetItemAt(i)->GetStaff() != 1) ok = expressions.GetItemAt(i)->DeleteData() && ok;
        for (int i = 0; i < expressions.GetCount(); ++i) {
            FCExpression* expression = expressions.GetItemAt(i);
            if (expression->GetStaff() != 1) continue;
            for (int staff = 2; staff <= kStaves; ++staff) {
                expression->SetStaff(staff);
                ok = expression->SaveNewUnderMeasure(measure) && ok;
            }
        }
    }
    return ok;
}

// Hairpins' floor: the hairpins of every measure loaded and deleted with everything, the cells at
// the ends of the new hairpins loaded, and two hairpins over the document made on every staff.
bool HairpinsFloor(int measures) {
    bool ok = ReplaceHairpins(measures, false);
    for (int staff = 1; staff <= kStaves; ++staff) {
        for (int measure : {1, measures / 2, measures / 2 + 1, measures}) {
            FCNoteEntryCell cell(measure, staff);
            ok = cell.Load() && ok;
        }
        ok = AddHairpin(staff, 3, 1, 256, measures / 2, 3968) && ok;
        ok = AddHairpin(staff, 2, measures / 2 + 1, 128, measures, 3840) && ok;
    }
    return ok;
}

bool Hairpins(int type, int padding) {
    PatternSettings& settings = ThePatternSettings();
    settings.QZPT_DYNAMICS_HAIRPINS_TYPE = type;
    settings.QZPT_DYNAMICS_HAIRPINS_PADDING = padding;
    settings.QZPT_DYNAMICS_HAIRPINS_MUSIC = true;
    settings.QZPT_DYNAMICS_HAIRPINS_SHRINK = true;
    FCDynamicsBlockHandler handler(FCDynamicsBlockHandler::kHairpins, nullptr, nullptr);
    return handler.Execute();
}

bool CarbonCopy(int source) {
    PatternSettings& settings = ThePatternSettings();
    settings.QZPT_DYNAMICS_CARBONCOPY_SOURCE = source;
    settings.QZPT_DYNAMICS_CARBONCOPY_MUSIC = true;
    settings.QZPT_DYNAMICS_CARBONCOPY_SHRINKSMARTSHAPES = true;
    settings.QZPT_DYNAMICS_CARBONCOPY_LAYERASSIGN = true;
    FCDynamicsBlockHandler handler(FCDynamicsBlockHandler::kCarbonCopy, nullptr, nullptr);
    return handler.Execute();
}

Result RunDynamics(int measures, int repeat, const std::string& only) {
    Result result;
    result.measures = measures;
    const int entries = BuildDocument(measures);
    if (!entries || !AddDynamics(measures)) {
        std::fprintf(stderr, "tasks_bench: the document of %d measures with dynamics could not be built\n", measures);
        std::exit(2);
    }
    ThePatternSettings().ResetToDefaults();

    std::vector<Phase> phases(4);
    const char* names[] = {"floor: copied dynamics", "Carbon Copy: most dynamics", "floor: replaced hairpins",
                           "Hairpins: < >, 16th"};
    const std::function<bool()> bodies[] = {
        [=] { return CopyDynamicsFloor(measures); },
        [] { return CarbonCopy(0); },
        [=] { return HairpinsFloor(measures); },
        [] { return Hairpins(2, 3); },
    };
    std::vector<bool> chosen(phases.size());
    for (size_t i = 0; i < phases.size(); ++i) {
        phases[i].name = names[i];
        phases[i].entries = entries;
        chosen[i] = phases[i].name.find(only) != std::string::npos;
    }
    for (int run = 0; run < repeat; ++run)
        for (size_t i = 0; i < phases.size(); ++i)
            if (chosen[i]) MeasureOnce(phases[i], bodies[i], run == 0);
    result.tasks = {phases[1], phases[3]};
    result.floors = {phases[0], phases[2]};

    std::printf("%d staves x %d measures with dynamics, %d entries\n", kStaves, measures, entries);
    for (size_t i = 0; i < phases.size(); i += 2) {
        if (chosen[i]) PrintPhase(phases[i], nullptr);
        if (chosen[i + 1]) PrintPhase(phases[i + 1], chosen[i] ? &phases[i] : nullptr);
    }
    std::printf("\n");
    return result;
}

// A fresh host holding kStaves staves x measures of two half notes, the second tied to the first
// of the next measure, all of it selected. Returns the number of entries.
int BuildSwellDocument(int measures) {
    simhost::Reset();
    hostapi::SetLookup(simhost::Lookup);
    hostapi::SetHostVersion(simhost::HostVersion());
    simhost::DocumentBuilder builder;
    const std::vector<int> staves = builder.AddStaves(kStaves);
    builder.AddMeasures(measures);
    int entries = 0;
    for (int staff : staves)
        for (int measure = 1; measure <= measures; ++measure) {
            std::vector<simhost::StoredEntry> halves(2);
            for (size_t i = 0; i < halves.size(); ++i) {
                halves[i].duration = 2048;
                halves[i].flags = 0x40000000;
                simhost::StoredNote note;
                note.displacement = int16_t(staff % 7);
                note.noteID = 1;
                // The second half is tied on, except at the end of the document.
                if (i == 1 && measure < measures) note.flags = 0x40000000;
                halves[i].notes.push_back(note);
            }
            if (!builder.SetLayer(staff, measure, 0, halves)) return 0;
            entries += 2;
        }
    if (!builder.Select(1, kStaves, 1, measures) || !builder.Ok()) return 0;
    return entries;
}

// Hairpin Swells' floor: every layer of every staff loaded, and for every tie chain the hairpins
// of its measures read and its two hairpins made.
bool SwellsFloor(int measures) {
    bool ok = true;
    for (int staff = 1; staff <= kStaves; ++staff) {
        for (int layer = 0; layer < FCNoteEntryCell::MaxLayers(); ++layer) {
            FCNoteEntryLayer entries(layer, staff, 1, measures);
            ok = entries.Load() && ok;
        }
        for (int measure = 1; measure < measures; ++measure) {
            FCSmartShapeMeasureMarks marks;
            marks.LoadAllForMeasures(measure, measure + 1);
            ok = AddHairpin(staff, 3, measure, 2048, measure + 1, 0) && ok;
            ok = AddHairpin(staff, 2, measure + 1, 0, measure + 1, 2048) && ok;
        }
    }
    return ok;
}

bool HairpinSwells() {
    PatternSettings& settings = ThePatternSettings();
    settings.QZPT_DYNAMICS_SWELLS_SCOPE = 2;
    settings.QZPT_DYNAMICS_SWELLS_DURATION = 3;
    settings.QZPT_DYNAMICS_SWELLS_PADDING = 5;
    settings.QZPT_DYNAMICS_SWELLS_FOCALPOINT = 50;
    FCDynamicsBlockHandler handler(FCDynamicsBlockHandler::kHairpinSwells, nullptr, nullptr);
    return handler.Execute();
}

Result RunSwells(int measures, int repeat, const std::string& only) {
    Result result;
    result.measures = measures;
    const int entries = BuildSwellDocument(measures);
    if (!entries) {
        std::fprintf(stderr, "tasks_bench: the document of %d measures of tied notes could not be built\n", measures);
        std::exit(2);
    }
    ThePatternSettings().ResetToDefaults();
    std::vector<Phase> phases(2);
    const char* names[] = {"floor: swell hairpins", "Hairpin Swells: whole notes"};
    const std::function<bool()> bodies[] = {[=] { return SwellsFloor(measures); }, [] { return HairpinSwells(); }};
    std::vector<bool> chosen(phases.size());
    for (size_t i = 0; i < phases.size(); ++i) {
        phases[i].name = names[i];
        phases[i].entries = entries;
        chosen[i] = phases[i].name.find(only) != std::string::npos;
    }
    for (int run = 0; run < repeat; ++run)
        for (size_t i = 0; i < phases.size(); ++i)
            if (chosen[i]) MeasureOnce(phases[i], bodies[i], run == 0);
    result.tasks = {phases[1]};
    result.floors = {phases[0]};
    std::printf("%d staves x %d measures of tied half notes, %d entries\n", kStaves, measures, entries);
    if (chosen[0]) PrintPhase(phases[0], nullptr);
    if (chosen[1]) PrintPhase(phases[1], chosen[0] ? &phases[0] : nullptr);
    std::printf("\n");
    return result;
}

// Adds the other run's tasks and floors to the result of the same size.
void Append(Result& into, const Result& from) {
    into.tasks.insert(into.tasks.end(), from.tasks.begin(), from.tasks.end());
    into.floors.insert(into.floors.end(), from.floors.begin(), from.floors.end());
}

// --- Two-state Pattern ---

// A fresh host holding kStaves staves x measures of empty 4/4 measures, every staff starting with
// the two reference eighths (the second a rest when asked), all of it selected.
bool BuildSequenceDocument(int measures, bool restOff) {
    simhost::Reset();
    hostapi::SetLookup(simhost::Lookup);
    hostapi::SetHostVersion(simhost::HostVersion());
    simhost::DocumentBuilder builder;
    const std::vector<int> staves = builder.AddStaves(kStaves);
    builder.AddMeasures(measures);
    for (int staff : staves) {
        std::vector<simhost::StoredEntry> references(2);
        for (int i = 0; i < 2; ++i) {
            references[size_t(i)].duration = 512;
            references[size_t(i)].flags = i == 1 && restOff ? 0 : 0x40000000;
            if (i == 1 && restOff) continue;
            simhost::StoredNote note;
            note.displacement = int16_t(i * 2);
            note.noteID = 1;
            references[size_t(i)].notes.push_back(note);
        }
        if (!builder.SetLayer(staff, 1, 0, references)) return false;
    }
    return builder.Select(1, kStaves, 1, measures) && builder.Ok();
}

// Groups of 3, 4 and 4 repeated as often as the measures hold; the number of entries written
// per staff through *entries.
std::string SequenceCounts(int measures, int* entries) {
    const int repeats = measures * 8 / 11;
    std::string counts;
    for (int i = 0; i < repeats; ++i) counts += "3 4 4 ";
    *entries = repeats * 11;
    return counts;
}

bool TwoStatePattern(int rests) {
    ThePatternSettings().QZPT_SEQUENCES_TWOSTATES_REST = rests;
    FCSequencesBlockHandler handler(FCSequencesBlockHandler::kTwoStatePattern, nullptr, nullptr);
    return handler.Execute();
}

// The floor of Two-state Pattern: the layers it writes, loaded and saved in the state it leaves
// them. The task runs untimed inside the edit first.
void MeasureSequenceFloor(Phase& phase, int measures, int rests, bool first) {
    simhost::Document& document = simhost::CurrentDocument();
    document.StartEdit(u"Benchmark");
    const bool wrote = TwoStatePattern(rests);
    bench::ResetHeapPeak();
    bench::ResetPeakResident();
    const std::clock_t start = std::clock();
    const bool ok = LoadAndSaveLayers(measures);
    const std::clock_t stop = std::clock();
    document.CancelEdit();
    const double seconds = double(stop - start) / CLOCKS_PER_SEC;
    if (first || seconds < phase.seconds) phase.seconds = seconds;
    phase.peakHeap = std::max(phase.peakHeap, bench::HeapPeak());
    phase.peakResident = std::max(phase.peakResident, bench::PeakResident());
    phase.ok = phase.ok && ok && wrote;
}

// Two-state Pattern against its floor; with a rest option the 'OFF' state is a rest, so there are
// rests to group.
Result RunSequences(int measures, int repeat, int rests) {
    Result result;
    result.measures = measures;
    if (!BuildSequenceDocument(measures, rests != 0)) {
        std::fprintf(stderr, "tasks_bench: the sequence document of %d measures could not be built\n", measures);
        std::exit(2);
    }
    int perStaff = 0;
    ThePatternSettings().ResetToDefaults();
    ThePatternSettings().QZPT_RESPACE_IF_NECESSARY = false;
    ThePatternSettings().QZPT_SEQUENCES_TWOSTATES_NUMBERSTRING.SetUTF8(SequenceCounts(measures, &perStaff).c_str());

    Phase task, floor;
    task.name = rests == 0 ? "Two-state Pattern: 3 4 4" : "Two-state: rests to groups";
    floor.name = rests == 0 ? "floor: sequence layers" : "floor: grouped layers";
    task.entries = floor.entries = perStaff * kStaves;
    for (int run = 0; run < repeat; ++run) {
        MeasureSequenceFloor(floor, measures, rests, run == 0);
        MeasureOnce(
            task, [rests] { return TwoStatePattern(rests); }, run == 0);
    }
    std::printf("%d staves x %d measures, %d entries written\n", kStaves, measures, task.entries);
    std::printf("  %-28s %8s %10s %10s %10s %10s %8s\n", "phase", "entries", "time ms", "us/entry", "heap MB", "RSS MB",
                "ratio");
    PrintPhase(floor, nullptr);
    PrintPhase(task, &floor);
    std::printf("\n");
    result.tasks = {task};
    result.floors = {floor};
    return result;
}

// --- Numbered Measures ---

// What the numbering handler needs of a task window: the categories and the profiles.
class NumberingWindow : public PatternTaskWindow {
public:
    FCUI* GetTaskUI() override { return nullptr; }
    FCControl* GetTaskControl(int) override { return nullptr; }
    FCCategoryDefs* GetTaskCategories() override { return &categories; }
    FCNumberSettingsProfiles* GetTaskProfiles() override { return &profiles; }
    void ShowProfileEditor(int) override {}

    FCCategoryDefs categories;
    FCNumberSettingsProfiles profiles;
};

constexpr int kNumberCategory = 3;

// The category the numbers take their font from, in the document, and the window's lists.
bool PrepareNumbering(NumberingWindow* window) {
    FCCategoryDef category;
    FCString name("Technique Text");
    category.SetName(&name);
    FCFontInfo font;
    font.SetSize(12);
    category.SetTextFontInfo(&font);
    category.SetHorizontalAlignment(3);
    if (!category.SaveAs(kNumberCategory)) return false;
    window->categories.LoadAll();
    window->profiles.ClearAll();
    window->profiles.Add(new FCNumberSettingsProfile);
    return window->categories.GetCount() == 1;
}

// The floor: one definition per measure number and an expression of it in every cell, made
// through the classes the task uses.
bool CreateNumberExpressions(int measures) {
    FCCategoryDef category;
    if (!category.Load(kNumberCategory)) return false;
    FCFontInfo font;
    category.GetTextFontInfo(&font);
    FCString prefix;
    font.GetFontCommand(&prefix, "^fontTxt");
    FCTextExpressionDefs definitions;
    for (int measure = 1; measure <= measures; ++measure) {
        FCTextExpressionDef* definition = new FCTextExpressionDef;
        definitions.Add(definition);
        FCString text;
        text.SetString(&prefix);
        text.AppendInteger(measure);
        FCString description("QZ Pattern: Number");
        definition->SetDescription(&description);
        if (!definition->AssignToCategory(&category) || !definition->SetText(&text) || !definition->SaveNew())
            return false;
    }
    bool ok = true;
    for (int staff = 1; staff <= kStaves; ++staff)
        for (int measure = 1; measure <= measures; ++measure) {
            FCExpression expression;
            const FCCell cell(measure, staff);
            ok = expression.SetTextDefinition(definitions.GetItemAt(measure - 1)) &&
                 expression.SaveNewIntoCell(&cell) && ok;
        }
    return ok;
}

bool NumberMeasures(NumberingWindow* window) {
    FCSequencesBlockHandler handler(FCSequencesBlockHandler::kNumberedMeasures, nullptr, window);
    return handler.Execute();
}

Result RunNumbering(int measures, int repeat, const std::string& only) {
    Result result;
    result.measures = measures;
    NumberingWindow window;
    if (!BuildDocument(measures) || !PrepareNumbering(&window)) {
        std::fprintf(stderr, "tasks_bench: the numbering document of %d measures could not be built\n", measures);
        std::exit(2);
    }
    ThePatternSettings().ResetToDefaults();
    std::vector<Phase> phases(2);
    const char* names[] = {"floor: number expressions", "Numbered Measures"};
    const std::function<bool()> bodies[] = {[=] { return CreateNumberExpressions(measures); },
                                            [&window] { return NumberMeasures(&window); }};
    std::vector<bool> chosen(phases.size());
    for (size_t i = 0; i < phases.size(); ++i) {
        phases[i].name = names[i];
        phases[i].entries = kStaves * measures;
        chosen[i] = phases[i].name.find(only) != std::string::npos;
    }
    for (int run = 0; run < repeat; ++run)
        for (size_t i = 0; i < phases.size(); ++i)
            if (chosen[i]) MeasureOnce(phases[i], bodies[i], run == 0);
    result.tasks = {phases[1]};
    result.floors = {phases[0]};
    std::printf("%d staves x %d measures, %d numbers\n", kStaves, measures, kStaves * measures);
    std::printf("  %-28s %8s %10s %10s %10s %10s %8s\n", "phase", "numbers", "time ms", "us/number", "heap MB",
                "RSS MB", "ratio");
    if (chosen[0]) PrintPhase(phases[0], nullptr);
    if (chosen[1]) PrintPhase(phases[1], chosen[0] ? &phases[0] : nullptr);
    std::printf("\n");
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    int repeat = 3;
    int only = 0;
    std::string phase;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            repeat = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--measures") == 0 && i + 1 < argc) {
            only = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--phase") == 0 && i + 1 < argc) {
            phase = argv[++i];
        } else {
            std::fprintf(stderr, "usage: tasks_bench [--repeat N] [--measures M [--phase TEXT]]\n");
            return 2;
        }
    }
    if (repeat < 1) repeat = 1;
    hostapi::SetHostModuleName(nullptr);

    std::printf(
        "QZ Pattern task benchmark: heap = peak bytes held through operator new, RSS = peak resident size;\n"
        "ratio = the task's time over its floor (the same cells loaded and saved unchanged).\n"
        "Times are processor time of this program, the fastest of %d runs.\n\n",
        repeat);
    if (only > 0) {
        Result result = Run(only, repeat, phase);
        Append(result, RunDynamics(only, repeat, phase));
        Append(result, RunSwells(only, repeat, phase));
        Append(result, RunNumbering(only, repeat, phase));
        for (const Phase& task : result.tasks)
            if (!task.ok) return 1;
        if (phase.empty() || std::string("Two-state").find(phase) != std::string::npos)
            for (int rests : {0, 2})
                if (!RunSequences(only, repeat, rests).tasks.front().ok) return 1;
        return 0;
    }
    if (!phase.empty()) {
        std::fprintf(stderr, "tasks_bench: --phase needs --measures\n");
        return 2;
    }
    Result small = Run(100, repeat, phase);
    Append(small, RunDynamics(100, repeat, phase));
    Append(small, RunSwells(100, repeat, phase));
    Result large = Run(400, repeat, phase);
    Append(large, RunDynamics(400, repeat, phase));
    Append(large, RunSwells(400, repeat, phase));
    for (int rests : {0, 2})
        for (Result* result : {&small, &large}) {
            const Result sequences = RunSequences(result->measures, repeat, rests);
            result->tasks.push_back(sequences.tasks.front());
            result->floors.push_back(sequences.floors.front());
        }
    Append(small, RunNumbering(100, repeat, phase));
    Append(large, RunNumbering(400, repeat, phase));

    bool met = true;
    std::printf("targets: ratio at most %.1f; time per entry at %d measures within %.0f%% of %d measures\n", kMaxRatio,
                large.measures, kMaxGrowth * 100, small.measures);
    for (size_t i = 0; i < large.tasks.size(); ++i) {
        const Phase& a = small.tasks[i];
        const Phase& b = large.tasks[i];
        const double growth = b.MicrosecondsPerEntry() / a.MicrosecondsPerEntry() - 1.0;
        const double ratio = std::max(a.seconds / small.floors[i].seconds, b.seconds / large.floors[i].seconds);
        const bool ok = a.ok && b.ok && ratio <= kMaxRatio && growth <= kMaxGrowth;
        met = met && ok;
        std::printf("  %-28s highest ratio %.2f, per-entry growth %+.0f%%: %s\n", b.name.c_str(), ratio, growth * 100,
                    ok ? "met" : "MISSED");
    }
    return met ? 0 : 1;
}
