#include "tools/qzhost/QzHostBatch.h"

#include "tools/qzhost/QzHostSession.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Where a score's result goes: the score's own file name in the folder; a MusicXML score whose
// name does not say so gets ".musicxml" added, so the result is written as MusicXML again.
fs::path ResultPath(const fs::path& folder, const std::string& score) {
    std::string name = fs::u8path(score).filename().u8string();
    if (QzHostSession::IsMusicXmlFile(score) != QzHostSession::IsMusicXmlName(name))
        name += QzHostSession::IsMusicXmlFile(score) ? ".musicxml" : ".qzs";
    return folder / fs::u8path(name);
}

// The batch line of one score.
std::string Summary(const std::string& score, const QzHostSession::Outcome& outcome) {
    std::string line = score + ": ";
    if (!outcome.failure.empty()) return line + "failed: " + outcome.failure;
    line += outcome.changed ? "changed" : "unchanged";
    line += ", " + std::to_string(outcome.undoEntries) + (outcome.undoEntries == 1 ? " undo entry" : " undo entries");
    if (!outcome.written.empty()) line += ", written to " + outcome.written;
    if (outcome.dropped.empty()) return line + ", nothing dropped";
    line += ", dropped:";
    for (size_t i = 0; i < outcome.dropped.size(); ++i) line += (i ? "; " : " ") + outcome.dropped[i];
    return line;
}

}  // namespace

int RunQzHost(const QzHostOptions& options, std::ostream& out, std::ostream& err) {
    if (options.outDir.empty()) {
        QzHostSession session(options, options.scorePaths.front(), options.outPath, out, err);
        return session.Run();
    }
    // The folder and the names are checked before any score runs: two scores must not write the
    // same result, and no result may replace a score.
    const fs::path folder = fs::u8path(options.outDir);
    std::error_code failure;
    std::map<fs::path, std::string> results;
    for (const std::string& score : options.scorePaths) {
        const fs::path result = ResultPath(folder, score);
        const auto taken = results.emplace(result, score);
        if (!taken.second) {
            err << "qzhost: --out-dir: \"" << taken.first->second << "\" and \"" << score
                << "\" would both be written to " << result.u8string() << "\n";
            return QzHostSession::kBadInput;
        }
        if (fs::equivalent(result, fs::u8path(score), failure)) {
            err << "qzhost: --out-dir: the result of \"" << score << "\" would replace the score itself\n";
            return QzHostSession::kBadInput;
        }
    }
    if (!fs::is_directory(folder, failure) && !fs::create_directories(folder, failure)) {
        err << "qzhost: --out-dir: cannot create the folder " << options.outDir << "\n";
        return QzHostSession::kBadInput;
    }
    int status = QzHostSession::kRan;
    for (const std::string& score : options.scorePaths) {
        QzHostSession session(options, score, ResultPath(folder, score).u8string(), out, err);
        status = std::max(status, session.Run());
        out << Summary(score, session.Result()) << "\n";
        out.flush();
    }
    return status;
}
