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
            std::snprintf(line, sizeof line, "%s %u %u %u %u:", TagText(tag.first).c_str(), key.words[0],
                          key.words[1], key.words[2], key.words[3]);
            out += line;
            for (uint8_t byte : record.second) {
                std::snprintf(line, sizeof line, " %02X", byte);
                out += line;
            }
            out += '\n';
        }
    }
    return out;
}

}  // namespace simhost
