// host_bench: the stand-in host at scale. Builds documents of 16 staves x 100, 400 and 2000
// measures (one layer of eight beamed eighth-note chords of three notes per measure) and of
// 100, 1,000 and 10,000 staves of four measures, then times writing them as score text, reading
// that text back (what opening a score costs) and printing them (the text without bookkeeping).
// Prints the time per measure (or per staff) of each size and how much it grows from the
// smallest size to the largest; exits non-zero when growth or the time to open 16 x 2000
// measures misses its target, after printing every figure.
//
//     host_bench [--repeat N]
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/ScoreText.h"
#include "simhost/SimHost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double kMaxGrowth = 0.25;
// Opening the largest score of 16 staves must take less than this.
constexpr double kMaxOpenSeconds = 2.0;

double Seconds(const std::function<bool()>& body, int repeat, bool* ok) {
    double best = 0;
    for (int round = 0; round < repeat; ++round) {
        const auto start = std::chrono::steady_clock::now();
        *ok = body() && *ok;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (round == 0 || seconds < best) best = seconds;
    }
    return best;
}

bool Build(int staves, int measures) {
    simhost::Reset();
    simhost::DocumentBuilder builder;
    const std::vector<int> numbers = builder.AddStaves(staves);
    builder.AddMeasures(measures);
    for (int staff : numbers)
        for (int measure = 1; measure <= measures; ++measure) {
            std::vector<simhost::StoredEntry> chords(8);
            for (int i = 0; i < 8; ++i) {
                simhost::StoredEntry& chord = chords[size_t(i)];
                chord.duration = 512;
                chord.flags = 0x40000000 | (i % 4 == 0 ? 0x00000800 : 0);
                for (int note = 0; note < 3; ++note) {
                    simhost::StoredNote stored;
                    stored.displacement = int16_t((staff + measure + i) % 7 + 2 * note);
                    stored.noteID = int16_t(note + 1);
                    chord.notes.push_back(stored);
                }
            }
            if (!builder.SetLayer(staff, measure, 0, chords)) return false;
        }
    return builder.Ok();
}

struct Row {
    int staves = 0;
    int measures = 0;
    int units = 0;  // measures or staves, whichever the row grows in
    double build = 0, write = 0, open = 0, print = 0;
    bool ok = true;
};

Row Measure(int staves, int measures, int units, int repeat) {
    Row row;
    row.staves = staves;
    row.measures = measures;
    row.units = units;
    row.build = Seconds([&] { return Build(staves, measures); }, 1, &row.ok);
    std::string text;
    row.write = Seconds(
        [&] {
            text = simhost::WriteScoreText();
            return !text.empty();
        },
        repeat, &row.ok);
    row.open = Seconds([&] { return simhost::ReadScoreText(text); }, repeat, &row.ok);
    simhost::ScoreTextOptions printing;
    printing.bookkeeping = false;
    row.print = Seconds([&] { return !simhost::WriteScoreText(printing).empty(); }, repeat, &row.ok);
    return row;
}

double PerUnit(double seconds, int units) { return seconds * 1e6 / units; }

void PrintRow(const Row& row, const char* unit) {
    std::printf(
        "%6d staves x %5d measures  build %8.3f s  write %8.3f s (%7.1f us/%s)  open %8.3f s (%7.1f us/%s)"
        "  print %8.3f s (%7.1f us/%s)%s\n",
        row.staves, row.measures, row.build, row.write, PerUnit(row.write, row.units), unit, row.open,
        PerUnit(row.open, row.units), unit, row.print, PerUnit(row.print, row.units), unit, row.ok ? "" : "  FAILED");
}

// Growth of the time per unit from the first row to the last, per phase; false when a phase
// grows by more than the target.
bool PrintGrowth(const std::vector<Row>& rows, const char* what) {
    const Row& small = rows.front();
    const Row& large = rows.back();
    bool met = true;
    const struct {
        const char* name;
        double Row::*field;
    } phases[] = {{"build", &Row::build}, {"write", &Row::write}, {"open", &Row::open}, {"print", &Row::print}};
    for (const auto& phase : phases) {
        const double a = PerUnit(small.*phase.field, small.units);
        const double b = PerUnit(large.*phase.field, large.units);
        const double growth = a > 0 ? b / a - 1 : 0;
        const bool ok = growth <= kMaxGrowth;
        met = met && ok;
        std::printf("  %s per %s, %d -> %d: %+.0f%% (target %+.0f%%) %s\n", phase.name, what, small.units, large.units,
                    growth * 100, kMaxGrowth * 100, ok ? "MET" : "MISSED");
    }
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    int repeat = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: host_bench [--repeat N]\n");
            return 2;
        }
    }
    bool met = true;
    std::printf("16 staves, growing in measures (time per measure):\n");
    std::vector<Row> measures;
    for (int count : {100, 400, 2000}) {
        measures.push_back(Measure(16, count, count, repeat));
        PrintRow(measures.back(), "meas.");
        met = met && measures.back().ok;
    }
    met = PrintGrowth(measures, "measure") && met;
    const bool fast = measures.back().open < kMaxOpenSeconds;
    std::printf("  open 16 x 2000 measures: %.3f s (target < %.1f s) %s\n", measures.back().open, kMaxOpenSeconds,
                fast ? "MET" : "MISSED");
    met = met && fast;

    std::printf("4 measures, growing in staves (time per staff):\n");
    std::vector<Row> staves;
    for (int count : {100, 1000, 10000}) {
        staves.push_back(Measure(count, 4, count, repeat));
        PrintRow(staves.back(), "staff");
        met = met && staves.back().ok;
    }
    met = PrintGrowth(staves, "staff") && met;
    return met ? 0 : 1;
}
