#include "tools/qzhost/SettingsFileEdit.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace {

std::string LineKey(const std::string& line) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return std::string();
    size_t begin = 0, end = equals;
    while (begin < end && std::isspace(static_cast<unsigned char>(line[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(line[end - 1]))) --end;
    std::string key = line.substr(begin, end - begin);
    for (char& c : key) c = char(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

}  // namespace

bool EditSettingsFile(const std::string& path, const std::vector<std::pair<std::string, std::string>>& values,
                      std::string* error) {
    std::vector<std::string> lines;
    {
        std::ifstream in(path, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
    }
    for (const auto& value : values) {
        const std::string wanted = LineKey(value.first + "=");
        const std::string text = value.first + "=" + value.second;
        bool replaced = false;
        for (std::string& line : lines) {
            if (LineKey(line) != wanted) continue;
            line = text;
            replaced = true;
            break;
        }
        if (!replaced) lines.push_back(text);
    }
    std::ostringstream content;
    for (const std::string& line : lines) content << line << "\n";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content.str();
    out.close();
    if (!out) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}
