#include "simhost/musicxml/MusicXmlContainer.h"

#include "simhost/Unicode.h"

#include <tinyxml2.h>
#include <unzip.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace simhost {

namespace {

namespace fs = std::filesystem;

// Larger files, and larger scores inside a compressed file, are refused before they are read
// whole: no real score comes near this, and a zip entry that claims (or inflates to) more is a
// damaged or hostile file.
constexpr uint64_t kMaxScoreBytes = 64u << 20;
constexpr uint64_t kMaxContainerBytes = 1u << 20;
constexpr const char* kContainerPath = "META-INF/container.xml";
constexpr const char* kMimeType = "application/vnd.recordare.musicxml";
constexpr const char* kScoreMediaType = "application/vnd.recordare.musicxml+xml";

bool Fail(ScoreTextError* error, const std::string& path, const std::string& message) {
    if (error) {
        *error = ScoreTextError();
        error->source = path;
        error->message = message;
    }
    return false;
}

std::string Megabytes(uint64_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

bool IsZip(const std::string& bytes) { return bytes.compare(0, 4, "PK\x03\x04", 4) == 0; }

// UTF-16 text (with its byte order mark) as UTF-8; UTF-8 without its byte order mark. The XML
// reader takes UTF-8 only, and older programs write MusicXML as UTF-16.
std::string AsUTF8(const std::string& bytes) {
    const bool little = bytes.compare(0, 2, "\xFF\xFE", 2) == 0;
    const bool big = bytes.compare(0, 2, "\xFE\xFF", 2) == 0;
    if (!little && !big) return bytes.compare(0, 3, "\xEF\xBB\xBF", 3) == 0 ? bytes.substr(3) : bytes;
    std::u16string units((bytes.size() - 2) / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(bytes[2 + 2 * i]);
        const unsigned char b = static_cast<unsigned char>(bytes[3 + 2 * i]);
        units[i] = char16_t(little ? (b << 8 | a) : (a << 8 | b));
    }
    return ToUTF8(units);
}

// The name of the root element, past the XML declaration, comments, processing instructions and
// the document type; empty when the text does not begin like XML.
std::string RootElementName(const std::string& text) {
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        if (at >= text.size() || text[at] != '<') return "";
        size_t end;
        if (text.compare(at, 2, "<?") == 0) {
            end = text.find("?>", at);
            if (end != std::string::npos) end += 2;
        } else if (text.compare(at, 4, "<!--") == 0) {
            end = text.find("-->", at + 4);
            if (end != std::string::npos) end += 3;
        } else if (text.compare(at, 9, "<!DOCTYPE") == 0) {
            // An internal subset in brackets may hold '>' of its own.
            end = std::string::npos;
            bool subset = false;
            for (size_t i = at + 9; i < text.size(); ++i) {
                if (text[i] == '[') subset = true;
                if (text[i] == ']') subset = false;
                if (text[i] == '>' && !subset) {
                    end = i + 1;
                    break;
                }
            }
        } else {
            size_t last = at + 1;
            while (last < text.size() &&
                   (std::isalnum(static_cast<unsigned char>(text[last])) || std::strchr("-_:.", text[last])))
                ++last;
            return text.substr(at + 1, last - at - 1);
        }
        if (end == std::string::npos) return "";
        at = end;
    }
    return "";
}

// minizip reads and writes through these callbacks on bytes in memory, so the file itself is
// read and written here (with the platform's own file names) and the archive is never half
// written on disk.
struct MemoryFile {
    std::string* bytes;
    uint64_t position = 0;
};

voidpf ZCALLBACK MemoryOpen(voidpf opaque, const void*, int) { return opaque; }

uLong ZCALLBACK MemoryRead(voidpf, voidpf stream, void* buffer, uLong size) {
    MemoryFile& file = *static_cast<MemoryFile*>(stream);
    const uint64_t available = file.position < file.bytes->size() ? file.bytes->size() - file.position : 0;
    const uLong count = uLong(std::min<uint64_t>(size, available));
    if (count) std::memcpy(buffer, file.bytes->data() + file.position, count);
    file.position += count;
    return count;
}

uLong ZCALLBACK MemoryWrite(voidpf, voidpf stream, const void* buffer, uLong size) {
    MemoryFile& file = *static_cast<MemoryFile*>(stream);
    if (file.position + size > file.bytes->size()) file.bytes->resize(size_t(file.position + size));
    std::memcpy(&(*file.bytes)[size_t(file.position)], buffer, size);
    file.position += size;
    return size;
}

ZPOS64_T ZCALLBACK MemoryTell(voidpf, voidpf stream) { return static_cast<MemoryFile*>(stream)->position; }

long ZCALLBACK MemorySeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    MemoryFile& file = *static_cast<MemoryFile*>(stream);
    uint64_t base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR)
        base = file.position;
    else if (origin == ZLIB_FILEFUNC_SEEK_END)
        base = file.bytes->size();
    if (offset > file.bytes->size() || base > file.bytes->size() - offset) return -1;
    file.position = base + offset;
    return 0;
}

int ZCALLBACK MemoryClose(voidpf, voidpf) { return 0; }
int ZCALLBACK MemoryError(voidpf, voidpf) { return 0; }

zlib_filefunc64_def MemoryFunctions(MemoryFile* file) {
    zlib_filefunc64_def functions;
    functions.zopen64_file = MemoryOpen;
    functions.zread_file = MemoryRead;
    functions.zwrite_file = MemoryWrite;
    functions.ztell64_file = MemoryTell;
    functions.zseek64_file = MemorySeek;
    functions.zclose_file = MemoryClose;
    functions.zerror_file = MemoryError;
    functions.opaque = file;
    return functions;
}

// Closes the archive however reading ends.
struct OpenArchive {
    unzFile archive;
    ~OpenArchive() {
        if (archive) unzClose(archive);
    }
};

// The entry's bytes, at most limit of them. False with the reason in message.
bool ReadEntry(unzFile archive, const std::string& name, uint64_t limit, std::string* bytes, std::string* message) {
    if (unzLocateFile(archive, name.c_str(), 1) != UNZ_OK) {
        *message = "the archive holds no " + name;
        return false;
    }
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
        *message = "the archive's entry " + name + " is damaged";
        return false;
    }
    if (info.flag & 1) {
        *message = name + " is encrypted";
        return false;
    }
    if (info.uncompressed_size > limit) {
        *message = name + " is " + Megabytes(info.uncompressed_size) + " uncompressed, more than the limit of " +
                   Megabytes(limit);
        return false;
    }
    if (unzOpenCurrentFile(archive) != UNZ_OK) {
        *message = name + " cannot be unpacked (damaged, or compressed by an unknown method)";
        return false;
    }
    bytes->clear();
    char buffer[1 << 16];
    int count;
    while ((count = unzReadCurrentFile(archive, buffer, sizeof buffer)) > 0) {
        // The size in the directory may lie; what inflates is what counts.
        if (bytes->size() + size_t(count) > limit) {
            unzCloseCurrentFile(archive);
            *message = name + " unpacks to more than the limit of " + Megabytes(limit);
            return false;
        }
        bytes->append(buffer, size_t(count));
    }
    // Closing checks the CRC of an entry read to its end.
    const int closed = unzCloseCurrentFile(archive);
    if (count < 0 || closed != UNZ_OK || bytes->size() != info.uncompressed_size) {
        *message = name + " is damaged or truncated";
        return false;
    }
    return true;
}

// A rootfile path that stays inside the archive: relative, without ".." among its parts.
bool StaysInside(const std::string& path) {
    if (path.empty() || path[0] == '/' || path[0] == '\\' || (path.size() > 1 && path[1] == ':')) return false;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find_first_of("/\\", start), path.size());
        if (path.compare(start, end - start, "..") == 0 && end - start == 2) return false;
        start = end + 1;
    }
    return true;
}

// The score's path from META-INF/container.xml: the first rootfile that is MusicXML (one without
// a media type is taken as MusicXML too; others may be a PDF or a picture of the score).
bool RootfilePath(const std::string& container, std::string* path, std::string* message) {
    tinyxml2::XMLDocument document;
    if (document.Parse(container.data(), container.size()) != tinyxml2::XML_SUCCESS) {
        *message = std::string(kContainerPath) + " is not well-formed XML (line " +
                   std::to_string(document.ErrorLineNum()) + ": " + document.ErrorName() + ")";
        return false;
    }
    const tinyxml2::XMLElement* root = document.RootElement();
    const tinyxml2::XMLElement* rootfiles = root ? root->FirstChildElement("rootfiles") : nullptr;
    for (const tinyxml2::XMLElement* rootfile = rootfiles ? rootfiles->FirstChildElement("rootfile") : nullptr;
         rootfile; rootfile = rootfile->NextSiblingElement("rootfile")) {
        const char* fullPath = rootfile->Attribute("full-path");
        const char* mediaType = rootfile->Attribute("media-type");
        if (!fullPath || (mediaType && std::strcmp(mediaType, kScoreMediaType) != 0)) continue;
        if (!StaysInside(fullPath)) {
            *message = std::string(kContainerPath) + " names the score \"" + fullPath +
                       "\", a path that leads out of the archive";
            return false;
        }
        *path = fullPath;
        return true;
    }
    *message = std::string(kContainerPath) + " names no MusicXML score (no rootfile with a full-path)";
    return false;
}

bool Unpack(std::string bytes, std::string* xml, std::string* message) {
    MemoryFile file{&bytes};
    zlib_filefunc64_def functions = MemoryFunctions(&file);
    OpenArchive open{unzOpen2_64("memory", &functions)};
    if (!open.archive) {
        *message = "a damaged or truncated compressed file (no zip directory)";
        return false;
    }
    std::string container, path;
    if (unzLocateFile(open.archive, kContainerPath, 1) != UNZ_OK) {
        *message = std::string("a compressed file without ") + kContainerPath;
        return false;
    }
    return ReadEntry(open.archive, kContainerPath, kMaxContainerBytes, &container, message) &&
           RootfilePath(container, &path, message) && ReadEntry(open.archive, path, kMaxScoreBytes, xml, message);
}

bool EndsWithMxl(const std::string& path) {
    std::string extension = fs::u8path(path).extension().u8string();
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".mxl";
}

// The name of the score inside the archive: the file's own name when it is plain ASCII (zip
// names carry no encoding), otherwise "score".
std::string EntryName(const std::string& path) {
    std::string stem = fs::u8path(path).stem().u8string();
    const bool plain = !stem.empty() && std::all_of(stem.begin(), stem.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' || c == ' ';
    });
    return (plain ? stem : std::string("score")) + ".musicxml";
}

bool AddEntry(zipFile archive, const std::string& name, const std::string& bytes, bool compressed) {
    zip_fileinfo info;
    std::memset(&info, 0, sizeof info);
    return zipOpenNewFileInZip(archive, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                               compressed ? Z_DEFLATED : 0, compressed ? Z_DEFAULT_COMPRESSION : 0) == ZIP_OK &&
           zipWriteInFileInZip(archive, bytes.data(), unsigned(bytes.size())) == ZIP_OK &&
           zipCloseFileInZip(archive) == ZIP_OK;
}

// The compressed file: the media type first and stored, as readers check it at a fixed place,
// then the container naming the score, then the score.
bool Pack(const std::string& path, const std::string& xml, std::string* bytes) {
    const std::string name = EntryName(path);
    const std::string container =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<container>\n  <rootfiles>\n") +
        "    <rootfile full-path=\"" + name + "\" media-type=\"" + kScoreMediaType +
        "\"/>\n  </rootfiles>\n</container>\n";
    MemoryFile file{bytes};
    zlib_filefunc64_def functions = MemoryFunctions(&file);
    zipFile archive = zipOpen2_64("memory", APPEND_STATUS_CREATE, nullptr, &functions);
    if (!archive) return false;
    const bool added = AddEntry(archive, "mimetype", kMimeType, false) &&
                       AddEntry(archive, kContainerPath, container, true) && AddEntry(archive, name, xml, true);
    return zipClose(archive, nullptr) == ZIP_OK && added;
}

}  // namespace

bool LooksLikeMusicXml(const std::string& bytes) {
    if (IsZip(bytes)) return true;
    // The prolog of a real file is short; the root element comes within the first few lines.
    const std::string name = RootElementName(AsUTF8(bytes.substr(0, 1 << 16)));
    return name == "score-partwise" || name == "score-timewise";
}

bool ReadMusicXmlFile(const std::string& path, std::string* xml, ScoreTextError* error) {
    const fs::path file = fs::u8path(path);
    std::error_code failure;
    const uintmax_t size = fs::file_size(file, failure);
    std::ifstream in(file, std::ios::binary);
    if (failure || !in) return Fail(error, path, "the file cannot be opened");
    if (size > kMaxScoreBytes)
        return Fail(error, path,
                    "the file is " + Megabytes(size) + ", more than the limit of " + Megabytes(kMaxScoreBytes));
    std::string bytes(size_t(size), '\0');
    if (!in.read(&bytes[0], std::streamsize(size))) return Fail(error, path, "the file cannot be read");
    if (IsZip(bytes)) {
        std::string message, unpacked;
        if (!Unpack(std::move(bytes), &unpacked, &message)) return Fail(error, path, message);
        bytes.swap(unpacked);
    }
    bytes = AsUTF8(bytes);
    const std::string root = RootElementName(bytes);
    if (root != "score-partwise" && root != "score-timewise")
        return Fail(error, path,
                    root.empty() ? "not MusicXML: no XML root element"
                                 : "not MusicXML: the root element is <" + root + ">, not <score-partwise>");
    xml->swap(bytes);
    return true;
}

bool WriteMusicXmlFile(const std::string& path, const std::string& xml, ScoreTextError* error) {
    std::string bytes;
    if (!EndsWithMxl(path))
        bytes = xml;
    else if (!Pack(path, xml, &bytes))
        return Fail(error, path, "the compressed file cannot be made");
    // Written beside the target under a name of its own, then renamed over it in one step.
    const fs::path target = fs::u8path(path);
    std::random_device random;
    fs::path temporary = target;
    temporary += ".part" + std::to_string(random() % 1000000);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return Fail(error, path, "the file cannot be created");
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return Fail(error, path, "the file cannot be written");
        }
    }
    std::error_code failure;
    fs::rename(temporary, target, failure);
    if (failure) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return Fail(error, path, "the file cannot be replaced (" + failure.message() + ")");
    }
    return true;
}

}  // namespace simhost
