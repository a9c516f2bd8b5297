// What the stand-in host keeps about a document besides its content: the user's selection, the
// part in view and a log of the host commands run on it (so tests can check which command ran in
// which part over which selection). Not part of the document's content: edits, cancels and undo
// leave it alone.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace simhost {

// A region as the host exchanges it: the 20-byte region structure.
typedef std::array<uint8_t, 20> RegionData;

struct HostCommand {
    enum Kind { kMenuItem, kRedraw, kUpdateLayout };
    Kind kind;
    // The menu item number (kMenuItem) or the first value (kUpdateLayout).
    int32_t command;
    // The second value (kUpdateLayout).
    int32_t second;
    // The part in view when the command ran.
    int32_t part;
    // The selection when the command ran.
    RegionData selection;
    // The region handed over (kRedraw); all zero otherwise.
    RegionData region;
};

class DocumentView {
public:
    DocumentView() : currentPart_(0) { selection_.fill(0); }

    // The selection; all zero when nothing is selected.
    const RegionData& Selection() const { return selection_; }
    void SetSelection(const RegionData& region) { selection_ = region; }

    // The part in view; 0 is the score.
    int32_t CurrentPart() const { return currentPart_; }
    void SetCurrentPart(int32_t part) { currentPart_ = part; }

    // Host commands run on the document, oldest first.
    const std::vector<HostCommand>& Commands() const { return commands_; }
    void Record(const HostCommand& command) { commands_.push_back(command); }
    void ClearCommands() { commands_.clear(); }

private:
    RegionData selection_;
    int32_t currentPart_;
    std::vector<HostCommand> commands_;
};

}  // namespace simhost
