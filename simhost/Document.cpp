#include "simhost/Document.h"

#include <cstdio>

namespace simhost {

bool Document::StartEdit(const std::u16string& title) {
    if (editOpen_) return false;
    editOpen_ = true;
    editTitle_ = title;
    editStart_ = state_;
    return true;
}

bool Document::EndEdit() {
    if (!editOpen_) return false;
    undo_.push_back(UndoEntry{editTitle_, std::move(editStart_)});
    editStart_ = DocumentState();
    editOpen_ = false;
    editTitle_.clear();
    return true;
}

bool Document::CancelEdit() {
    if (!editOpen_) return false;
    state_ = std::move(editStart_);
    editStart_ = DocumentState();
    editOpen_ = false;
    editTitle_.clear();
    return true;
}

bool Document::IsLayerShown(int layer) const { return layer >= 0 && layer < 32 && !(hiddenLayers_ & (1u << layer)); }

void Document::SetLayerShown(int layer, bool shown) {
    if (layer < 0 || layer >= 32) return;
    if (shown)
        hiddenLayers_ &= ~(1u << layer);
    else
        hiddenLayers_ |= 1u << layer;
}

bool Document::ReplaceContent(const DocumentState& state) {
    if (editOpen_) return false;
    state_ = state;
    undo_.clear();
    RegionData none;
    none.fill(0);
    view_.SetSelection(none);
    return true;
}

std::vector<std::u16string> Document::UndoList() const {
    std::vector<std::u16string> names;
    for (const UndoEntry& entry : undo_) names.push_back(entry.title);
    return names;
}

bool Document::Undo() {
    if (editOpen_ || undo_.empty()) return false;
    state_ = std::move(undo_.back().before);
    undo_.pop_back();
    return true;
}

namespace {

std::string TagText(uint32_t tag) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const unsigned code = (tag >> shift) & 0xFF;
        if (code >= 0x20 && code < 0x7F) {
            text += char(code);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", code);
            text += hex;
        }
    }
    return text;
}

}  // namespace

std::string Document::Dump() const {
    std::string out;
    char line[96];
    for (const auto& tag : state_.records.All()) {
        for (const auto& record : tag.second) {
            const FXKey key = RecordStore::KeyFromOrder(record.first);
            std::snprintf(line, sizeof line, "%s %u %u %u %u:", TagText(tag.first).c_str(), key.words[0], key.words[1],
                          key.words[2], key.words[3]);
            out += line;
            for (uint8_t byte : record.second) {
                std::snprintf(line, sizeof line, " %02X", byte);
                out += line;
            }
            out += '\n';
        }
    }
    for (const auto& frame : state_.entries.Frames()) {
        std::snprintf(line, sizeof line, "frame staff %d measure %d layer %d%s:", frame.first.staff,
                      frame.first.measure, frame.first.layer + 1,
                      state_.entries.IsLocked(frame.first) ? " locked" : "");
        out += line;
        for (const StoredEntry& entry : frame.second) {
            std::snprintf(line, sizeof line, " [%d: %d %08X %04X%s", int(entry.number), int(entry.duration),
                          unsigned(entry.flags), unsigned(entry.flags2), entry.stemDown ? " down" : "");
            out += line;
            for (const StoredNote& note : entry.notes) {
                std::snprintf(line, sizeof line, " (%d %d #%d %08X)", note.displacement, note.raiseLower, note.noteID,
                              unsigned(note.flags));
                out += line;
            }
            out += ']';
        }
        out += '\n';
    }
    std::snprintf(line, sizeof line, "next entry %d\n", int(state_.entries.NextNumber()));
    out += line;
    return out;
}

}  // namespace simhost
