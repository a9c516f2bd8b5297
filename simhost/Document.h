// One document of the stand-in host: its records, its entry frames, the open edit and the undo
// list. The document's content is a plain value (DocumentState), so an edit snapshots it and a
// cancel or an undo puts the snapshot back.
#pragma once

#include "simhost/DocumentView.h"
#include "simhost/EntryStore.h"
#include "simhost/PartRecords.h"
#include "simhost/RecordStore.h"

#include <cstdint>
#include <string>
#include <vector>

namespace simhost {

// Everything an edit can change.
struct DocumentState {
    RecordStore records;
    // The parts' own records and per-part fields (the score's are in records).
    PartRecords parts;
    // The entries of every staff, measure and layer (shared by the score and its parts).
    EntryStore entries;

    bool operator==(const DocumentState& other) const {
        return records == other.records && parts == other.parts && entries == other.entries;
    }
    bool operator!=(const DocumentState& other) const { return !(*this == other); }
};

class Document {
public:
    explicit Document(int16_t id) : id_(id) {}

    int16_t ID() const { return id_; }
    DocumentState& State() { return state_; }
    const DocumentState& State() const { return state_; }
    RecordStore& Records() { return state_.records; }
    const RecordStore& Records() const { return state_.records; }
    // Selection, part in view and command log: not content, so edits never change them.
    DocumentView& View() { return view_; }
    const DocumentView& View() const { return view_; }
    EntryStore& Entries() { return state_.entries; }
    const EntryStore& Entries() const { return state_.entries; }

    // Whether a layer (0-based index) is shown in the host's view; all are at first. Not content.
    bool IsLayerShown(int layer) const;
    void SetLayerShown(int layer, bool shown);

    // Replaces the whole content (a document read from a file): no edit may be open; the undo
    // list starts empty and the selection is cleared.
    bool ReplaceContent(const DocumentState& state);

    // Edits. Start refuses while an edit is open; End and Cancel refuse when none is.
    bool StartEdit(const std::u16string& title);
    bool EndEdit();
    bool CancelEdit();
    bool IsEditOpen() const { return editOpen_; }
    const std::u16string& EditTitle() const { return editTitle_; }

    // Undo entries, oldest first. Undo restores the document as it was before the last entry.
    std::vector<std::u16string> UndoList() const;
    bool Undo();

    // A readable listing of the whole content, for test failure messages.
    std::string Dump() const;

private:
    struct UndoEntry {
        std::u16string title;
        DocumentState before;
    };

    int16_t id_;
    DocumentState state_;
    DocumentView view_;
    bool editOpen_ = false;
    std::u16string editTitle_;
    DocumentState editStart_;
    std::vector<UndoEntry> undo_;
    // Bit i set: layer index i is hidden.
    uint32_t hiddenLayers_ = 0;
};

}  // namespace simhost
