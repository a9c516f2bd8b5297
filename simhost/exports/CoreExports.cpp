// Host exports: the current document, fonts and the host folder.
#include "simhost/SimExport.h"
#include "simhost/SimFunctions.h"
#include "simhost/Unicode.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The host's font list: a font number is an index into it. Names the host has not seen are
// added, as the host registers a font when a document first uses it.
std::vector<std::string>& Fonts() {
    static std::vector<std::string> fonts = {"Maestro",     "Times New Roman",   "Arial",
                                             "Courier New", "Engraver Font Set", "Finale Numerics"};
    return fonts;
}

}  // namespace

SIM_EXPORT int16_t FXAPI FX_GetCurrentEnigmaDocument(uint32_t) {
    SIM_ENTER(FX_GetCurrentEnigmaDocument, int16_t);
    return simhost::CurrentDocumentID();
}

SIM_EXPORT int16_t FXAPI FX_FontNameToNum(const char* name, uint32_t) {
    SIM_ENTER(FX_FontNameToNum, int16_t);
    if (!name || !*name) return 0;
    std::vector<std::string>& fonts = Fonts();
    for (size_t i = 0; i < fonts.size(); ++i)
        if (fonts[i] == name) return int16_t(i);
    if (fonts.size() >= 0x7FFF) return 0;
    fonts.push_back(name);
    return int16_t(fonts.size() - 1);
}

SIM_EXPORT int16_t FXAPI FX_FontNumToName(int16_t number, char* name, int32_t size, uint32_t) {
    SIM_ENTER(FX_FontNumToName, int16_t);
    const std::vector<std::string>& fonts = Fonts();
    if (!name || number < 0 || size_t(number) >= fonts.size()) return 0;
    const std::string& font = fonts[size_t(number)];
    if (size <= int32_t(font.size())) return 0;
    std::memcpy(name, font.c_str(), font.size() + 1);
    return 1;
}

SIM_EXPORT int32_t FXAPI FX_GetFinalePath(void* buffer, int32_t size, int16_t folder, int16_t utf16, uint32_t) {
    SIM_ENTER(FX_GetFinalePath, int32_t);
    if (!buffer || size <= 0 || (folder != 15 && folder != 7)) return 0;
    const std::string path = simhost::Folder();
    if (utf16) {
        const std::u16string units = simhost::ToUTF16(path);
        if (int32_t(units.size()) >= size) return 0;
        std::memcpy(buffer, units.c_str(), (units.size() + 1) * sizeof(char16_t));
    } else {
        if (int32_t(path.size()) >= size) return 0;
        std::memcpy(buffer, path.c_str(), path.size() + 1);
    }
    return 1;
}
