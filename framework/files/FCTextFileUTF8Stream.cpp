#include "framework/files/FCTextFileUTF8Stream.h"

#include "framework/core/FCPlatform.h"

namespace {

// The number of bytes at the end of a cut piece that begin a character the piece does not
// complete (0 when the piece ends on a character boundary or in invalid bytes).
size_t IncompleteTail(const std::string& bytes) {
    size_t continuation = 0;
    size_t i = bytes.size();
    while (i > 0 && continuation < 3 && (static_cast<unsigned char>(bytes[i - 1]) & 0xC0) == 0x80) {
        --i;
        ++continuation;
    }
    if (i == 0) return 0;
    const unsigned char lead = static_cast<unsigned char>(bytes[i - 1]);
    size_t needed = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        needed = 1;
    else if (lead >= 0xE0 && lead <= 0xEF)
        needed = 2;
    else if (lead >= 0xF0 && lead <= 0xF4)
        needed = 3;
    return needed > continuation ? continuation + 1 : 0;
}

}  // namespace

FCString* FCTextFileUTF8Stream::ReadLine() {
    lineContinues_ = false;
    std::string bytes;
    if (!ReadLineBytes(&bytes, false)) return nullptr;
    const bool cut = bytes.size() >= kMaxLineBytes && bytes.back() != '\n';
    if (atFileStart_) {
        atFileStart_ = false;
        // Editors that mark UTF-8 files put a byte-order mark in front of the first key.
        if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
        if (bytes.empty()) return nullptr;
    }
    if (cut) {
        lineContinues_ = true;
        const size_t tail = IncompleteTail(bytes);
        pending_.assign(bytes, bytes.size() - tail, tail);
        bytes.resize(bytes.size() - tail);
    }
    FCString* line = new FCString;
    const std::u16string units = fcplatform::UTF8ToUTF16(bytes.data(), int(bytes.size()));
    line->SetUTF16(units.c_str(), int(units.size()));
    if (faithful_ && (bytes.find('\0') != std::string::npos || line->GetUTF8() != bytes)) faithful_ = false;
    return line;
}

bool FCTextFileUTF8Stream::OpenRead() {
    faithful_ = true;
    return FCTextFileStream::OpenRead();
}

bool FCTextFileUTF8Stream::WriteText(FCString* text) {
    if (!IsOpen()) return false;
    if (!text) return true;
    const std::string bytes = text->GetUTF8();
    return WriteBytes(bytes.data(), bytes.size());
}
