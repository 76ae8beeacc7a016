#include "WatchStateFiles.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>

namespace watchsim {
namespace {

namespace fs = std::filesystem;

std::string BlockFileName(std::uint16_t dataId) {
    char name[32];
    std::snprintf(name, sizeof(name), "data-%04x.bin", static_cast<unsigned>(dataId));
    return name;
}

std::optional<std::vector<std::uint8_t>> ReadFile(const fs::path& path) {
    std::error_code error;
    if (!fs::exists(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const void* data, std::size_t size) {
    const fs::path temporary = path.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.flush();
        if (!out) {
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        throw std::runtime_error("cannot rename " + temporary.string() + ": " + error.message());
    }
}

void LoadArea(const fs::path& path, std::vector<std::uint8_t>& area) {
    if (const auto bytes = ReadFile(path)) {
        std::copy_n(bytes->begin(), std::min(bytes->size(), area.size()), area.begin());
    }
}

}  // namespace

void LoadWatchState(const fs::path& directory, WatchMemory& memory) {
    LoadArea(directory / "flash.bin", memory.flash);
    LoadArea(directory / "flash2.bin", memory.flash2);
    for (const std::uint16_t id : kSettingsBlockIds) {
        if (auto bytes = ReadFile(directory / BlockFileName(id))) {
            memory.settingsBlocks[id] = std::move(*bytes);
        }
    }
    if (const auto bytes = ReadFile(directory / "version")) {
        std::string text(bytes->begin(), bytes->end());
        text = text.substr(0, text.find_first_of("\r\n"));
        const bool printable =
            std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
        if (text.size() == 5 && printable) {
            memory.firmwareVersion = text;
        }
    }
}

void SaveWatchState(const fs::path& directory, WatchMemory& memory, bool everything) {
    std::error_code error;
    fs::create_directories(directory, error);
    if (error) {
        throw std::runtime_error("cannot create " + directory.string() + ": " + error.message());
    }
    if (everything || memory.flashDirty) {
        WriteFile(directory / "flash.bin", memory.flash.data(), memory.flash.size());
        memory.flashDirty = false;
    }
    if (everything || memory.flash2Dirty) {
        WriteFile(directory / "flash2.bin", memory.flash2.data(), memory.flash2.size());
        memory.flash2Dirty = false;
    }
    for (const auto& [id, block] : memory.settingsBlocks) {
        if (everything || memory.dirtyBlocks.count(id)) {
            WriteFile(directory / BlockFileName(id), block.data(), block.size());
        }
    }
    memory.dirtyBlocks.clear();
    if (everything || memory.versionDirty) {
        const std::string text = memory.firmwareVersion + "\n";
        WriteFile(directory / "version", text.data(), text.size());
        memory.versionDirty = false;
    }
}

}  // namespace watchsim
