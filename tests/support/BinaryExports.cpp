#include "tests/support/BinaryExports.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace wm::test {
namespace {

template <typename T>
T Read(const std::string& image, uint64_t offset) {
    if (offset > image.size() || image.size() - offset < sizeof(T)) {
        throw std::runtime_error("read past the end of the image");
    }
    T value;
    std::memcpy(&value, image.data() + offset, sizeof(T));
    return value;
}

std::string ReadCString(const std::string& image, uint64_t offset) {
    if (offset >= image.size()) throw std::runtime_error("string past the end of the image");
    const auto end = image.find('\0', offset);
    if (end == std::string::npos) throw std::runtime_error("unterminated string");
    return image.substr(offset, end - offset);
}

struct Section {
    uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

struct PeImage {
    const std::string& bytes;
    std::vector<Section> sections;
    uint64_t dataDirectories = 0;
    uint32_t dataDirectoryCount = 0;

    explicit PeImage(const std::string& image) : bytes(image) {
        if (image.size() < 0x40 || image.compare(0, 2, "MZ") != 0) {
            throw std::runtime_error("not an MZ image");
        }
        const uint32_t pe = Read<uint32_t>(image, 0x3C);
        if (Read<uint32_t>(image, pe) != 0x00004550) throw std::runtime_error("no PE signature");
        const uint16_t sectionCount = Read<uint16_t>(image, pe + 6);
        const uint16_t optionalSize = Read<uint16_t>(image, pe + 20);
        const uint64_t optional = pe + 24;
        if (Read<uint16_t>(image, optional) != 0x20B) throw std::runtime_error("not PE32+");
        dataDirectoryCount = Read<uint32_t>(image, optional + 108);
        dataDirectories = optional + 112;
        const uint64_t table = optional + optionalSize;
        for (uint16_t i = 0; i < sectionCount; ++i) {
            const uint64_t s = table + i * 40ull;
            sections.push_back({Read<uint32_t>(image, s + 12), Read<uint32_t>(image, s + 8),
                                Read<uint32_t>(image, s + 20), Read<uint32_t>(image, s + 16)});
        }
    }

    // File offset of a relative virtual address.
    uint64_t Offset(uint32_t rva) const {
        for (const auto& s : sections) {
            const uint32_t size = std::max(s.virtualSize, s.rawSize);
            if (rva >= s.virtualAddress && rva < s.virtualAddress + size) {
                return uint64_t{s.rawOffset} + (rva - s.virtualAddress);
            }
        }
        throw std::runtime_error("address outside every section");
    }

    // RVA and size of data directory `index` (0 exports, 1 imports, 2 resources).
    std::pair<uint32_t, uint32_t> Directory(uint32_t index) const {
        if (index >= dataDirectoryCount) return {0, 0};
        return {Read<uint32_t>(bytes, dataDirectories + index * 8ull),
                Read<uint32_t>(bytes, dataDirectories + index * 8ull + 4)};
    }
};

}  // namespace

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot open " + path.string());
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::set<std::string> PeExportNames(const std::string& image) {
    const PeImage pe(image);
    const auto [rva, size] = pe.Directory(0);
    if (rva == 0 || size == 0) throw std::runtime_error("no export directory");
    const uint64_t dir = pe.Offset(rva);
    const uint32_t count = Read<uint32_t>(image, dir + 24);
    const uint64_t names = pe.Offset(Read<uint32_t>(image, dir + 32));
    std::set<std::string> result;
    for (uint32_t i = 0; i < count; ++i) {
        result.insert(ReadCString(image, pe.Offset(Read<uint32_t>(image, names + i * 4ull))));
    }
    return result;
}

bool PeHasVersionResource(const std::string& image) {
    const PeImage pe(image);
    const auto [rva, size] = pe.Directory(2);
    if (rva == 0 || size == 0) return false;
    const uint64_t root = pe.Offset(rva);
    const uint16_t named = Read<uint16_t>(image, root + 12);
    const uint16_t ids = Read<uint16_t>(image, root + 14);
    for (uint32_t i = 0; i < uint32_t{named} + ids; ++i) {
        const uint32_t id = Read<uint32_t>(image, root + 16 + i * 8ull);
        if (id == 16) return true;  // RT_VERSION
    }
    return false;
}

std::set<std::string> PeImportedDlls(const std::string& image) {
    const PeImage pe(image);
    const auto [rva, size] = pe.Directory(1);
    std::set<std::string> result;
    if (rva == 0 || size == 0) return result;
    for (uint64_t entry = pe.Offset(rva);; entry += 20) {
        const uint32_t nameRva = Read<uint32_t>(image, entry + 12);
        if (nameRva == 0) break;
        std::string name = ReadCString(image, pe.Offset(nameRva));
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        result.insert(name);
    }
    return result;
}

std::set<std::string> ElfDynamicExports(const std::string& image) {
    if (image.size() < 64 ||
        image.compare(0, 4,
                      "\x7f"
                      "ELF") != 0 ||
        image[4] != 2 || image[5] != 1) {
        throw std::runtime_error("not a 64-bit little-endian ELF object");
    }
    const uint64_t sectionTable = Read<uint64_t>(image, 0x28);
    const uint16_t entrySize = Read<uint16_t>(image, 0x3A);
    const uint16_t count = Read<uint16_t>(image, 0x3C);
    std::set<std::string> result;
    for (uint16_t i = 0; i < count; ++i) {
        const uint64_t header = sectionTable + uint64_t{i} * entrySize;
        if (Read<uint32_t>(image, header + 4) != 11) continue;  // SHT_DYNSYM
        const uint32_t link = Read<uint32_t>(image, header + 40);
        const uint64_t symbols = Read<uint64_t>(image, header + 24);
        const uint64_t size = Read<uint64_t>(image, header + 32);
        const uint64_t strings =
            Read<uint64_t>(image, sectionTable + uint64_t{link} * entrySize + 24);
        for (uint64_t s = symbols + 24; s + 24 <= symbols + size; s += 24) {
            const uint8_t info = Read<uint8_t>(image, s + 4);
            const uint8_t other = Read<uint8_t>(image, s + 5);
            const uint16_t sectionIndex = Read<uint16_t>(image, s + 6);
            const uint8_t binding = info >> 4;
            const bool global = binding == 1 || binding == 2;  // GLOBAL or WEAK
            const bool defaultVisibility = (other & 3) == 0;
            if (global && defaultVisibility && sectionIndex != 0) {
                result.insert(ReadCString(image, strings + Read<uint32_t>(image, s)));
            }
        }
    }
    return result;
}

}  // namespace wm::test
