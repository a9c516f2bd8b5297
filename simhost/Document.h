// One document of the stand-in host: its records (and, as the host grows, everything else a
// document holds), the open edit and the undo list. The document's content is a plain value
// (DocumentState), so an edit snapshots it and a cancel or an undo puts the snapshot back.
#pragma once

#include "simhost/DocumentView.h"
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

    bool operator==(const DocumentState& other) const { return records == other.records && parts == other.parts; }
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
};

}  // namespace simhost
