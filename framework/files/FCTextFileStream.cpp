#include "framework/files/FCTextFileStream.h"

#include "framework/files/FCSettingsPairs.h"

bool FCTextFileStream::OpenRead() {
    pending_.clear();
    atFileStart_ = true;
    lineContinues_ = false;
    return OpenFile("r");
}

bool FCTextFileStream::OpenWrite() {
    pending_.clear();
    lineContinues_ = false;
    return OpenFile("w+");
}

bool FCTextFileStream::ReadLineBytes(std::string* bytes, bool stopAtCR) {
    FILE* file = GetFile();
    bytes->clear();
    bytes->swap(pending_);
    if (!file) return false;
    while (bytes->size() < kMaxLineBytes) {
        const int c = std::getc(file);
        if (c == EOF) break;
        bytes->push_back(char(c));
        if (c == '\n') break;
        if (c == '\r' && stopAtCR) {
            // CR LF is one line end, not an empty line after a CR.
            const int next = std::getc(file);
            if (next == '\n')
                bytes->push_back('\n');
            else if (next != EOF)
                std::ungetc(next, file);
            break;
        }
    }
    return !bytes->empty();
}

FCString* FCTextFileStream::ReadLine() {
    lineContinues_ = false;
    std::string bytes;
    if (!ReadLineBytes(&bytes, true)) return nullptr;
    atFileStart_ = false;
    const char last = bytes.back();
    lineContinues_ = last != '\n' && last != '\r' && bytes.size() >= kMaxLineBytes;
    FCString* line = new FCString;
    // Byte for byte, as the framework reads 8-bit text; a 0 byte ends the text.
    line->SetCString(bytes.c_str(), int(bytes.size()));
    return line;
}

bool FCTextFileStream::WriteBytes(const char* data, size_t size) {
    FILE* file = GetFile();
    if (!file) return false;
    if (size == 0) return true;
    if (std::fwrite(data, 1, size, file) == size) return true;
    NoteWriteFailure();
    return false;
}

bool FCTextFileStream::WriteText(FCString* text) {
    if (!IsOpen()) return false;
    if (!text) return true;
    const char* bytes = text->GetCString();
    return WriteBytes(bytes, size_t(text->GetLength()));
}

bool FCTextFileStream::WriteLines(FCStrings* lines) {
    if (!IsOpen()) return false;
    bool written = true;
    FCString lineFeed("\n");
    for (int i = 0; lines && i < lines->GetCount(); ++i) {
        if (!WriteText(lines->GetItemAt(i))) written = false;
        if (!WriteText(&lineFeed)) written = false;
    }
    return written;
}

bool FCTextFileStream::WriteSettingsPairs(FCSettingsPairs* pairs) {
    if (!IsOpen()) return false;
    bool written = true;
    for (int i = 0; pairs && i < pairs->GetCount(); ++i) {
        const FCSettingsPair* pair = pairs->GetItemAt(i);
        if (!pair) continue;
        FCString line;
        line.SetString(pair->GetKey());
        line.AppendCString("=");
        line.AppendString(pair->GetValue());
        line.Replace("\r\n", " ");
        line.Replace("\r", " ");
        line.Replace("\n", " ");
        line.AppendCString("\n");
        if (!WriteText(&line)) written = false;
    }
    return written;
}

FCStrings* FCTextFileStream::ReadAllLines() {
    if (!IsOpen()) return nullptr;
    FCStrings* lines = new FCStrings;
    while (FCString* line = ReadLine()) {
        while (lineContinues_) {
            FCString* piece = ReadLine();
            if (!piece) break;
            line->AppendString(piece);
            delete piece;
        }
        line->TrimCRLF();
        lines->Add(line);
    }
    return lines;
}
