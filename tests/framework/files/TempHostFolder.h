// Test helpers for file tests: a fresh, empty folder that the stand-in host reports as its
// folder, removed with everything in it at the end of the test; and raw file access for setting
// up and checking the exact bytes on disk.
#pragma once

#include "simhost/SimHost.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>

class TempHostFolder {
public:
    // subfolder: an extra folder level inside the fresh folder (UTF-8), which is created too.
    explicit TempHostFolder(const std::string& subfolder = "") {
        namespace fs = std::filesystem;
        const fs::path base = fs::temp_directory_path();
        for (int n = 0;; ++n) {
            root_ = base / ("qzpattern-test-" + std::to_string(n));
            std::error_code error;
            if (fs::create_directory(root_, error)) break;
            if (error || n > 100000) throw std::runtime_error("no temporary folder");
        }
        path_ = subfolder.empty() ? root_ : root_ / fs::u8path(subfolder);
        fs::create_directories(path_);
        simhost::SetFolder(path_.u8string());
    }
    ~TempHostFolder() {
        std::error_code error;
        std::filesystem::remove_all(root_, error);
    }
    TempHostFolder(const TempHostFolder&) = delete;
    TempHostFolder& operator=(const TempHostFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path File(const std::string& name) const { return path_ / std::filesystem::u8path(name); }
    std::string Utf8() const { return path_.u8string(); }

    void WriteBytes(const std::string& name, const std::string& bytes) const {
        std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }
    // The file's bytes; "<missing>" when it does not exist.
    std::string ReadBytes(const std::string& name) const {
        std::ifstream in(File(name), std::ios::binary);
        if (!in) return "<missing>";
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const {
        std::error_code error;
        return std::filesystem::exists(File(name), error);
    }

private:
    std::filesystem::path root_;
    std::filesystem::path path_;
};
