#include "engine/simulated/version_resource.h"

namespace {

// The signature that starts the fixed part (VS_FIXEDFILEINFO) of a version resource.
constexpr uint32_t FixedInfoSignature = 0xFEEF04BD;

uint32_t Read32(std::string_view bytes, size_t at) {
    if (at + 4 > bytes.size()) return 0;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

uint16_t Read16(std::string_view bytes, size_t at) {
    if (at + 2 > bytes.size()) return 0;
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                 (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

// The resource section of a PE file (the part of the file that the resource directory's
// address falls in); the whole bytes when they are no PE file or name no resources.
std::string_view ResourceSection(std::string_view bytes) {
    if (bytes.size() < 64 || bytes[0] != 'M' || bytes[1] != 'Z') return bytes;
    const size_t pe = Read32(bytes, 0x3C);
    if (pe + 24 > bytes.size() || bytes.substr(pe, 4) != std::string_view("PE\0\0", 4)) return bytes;
    const size_t sectionCount = Read16(bytes, pe + 6);
    const size_t optionalSize = Read16(bytes, pe + 20);
    const size_t optional = pe + 24;
    // The resource entry of the data directories: third entry, after 96 bytes (PE32) or
    // 112 bytes (PE32+) of the optional header.
    const uint16_t magic = Read16(bytes, optional);
    const size_t directory = optional + (magic == 0x20B ? 112 : 96) + 2 * 8;
    const uint32_t resourceAddress = Read32(bytes, directory);
    if (resourceAddress == 0) return bytes;
    const size_t sections = optional + optionalSize;
    for (size_t i = 0; i < sectionCount; ++i) {
        const size_t at = sections + i * 40;
        if (at + 40 > bytes.size()) break;
        const uint32_t address = Read32(bytes, at + 12), rawSize = Read32(bytes, at + 16),
                       rawStart = Read32(bytes, at + 20);
        const uint32_t virtualSize = Read32(bytes, at + 8);
        const uint32_t span = virtualSize > rawSize ? virtualSize : rawSize;
        if (resourceAddress >= address && resourceAddress < address + span && rawStart < bytes.size())
            return bytes.substr(rawStart, rawSize);
    }
    return bytes;
}

} // namespace

// The fixed part is found by its signature, at a four-byte boundary, in the resource
// section; the resource directory is not walked (a file with several version resources,
// which no build tool makes, reads as its first).
std::optional<uint64_t> FileVersionOf(std::string_view bytes) {
    std::string_view section = ResourceSection(bytes);
    const size_t base = static_cast<size_t>(section.data() - bytes.data());
    for (size_t at = (4 - base % 4) % 4; at + 16 <= section.size(); at += 4) {
        if (Read32(section, at) != FixedInfoSignature) continue;
        return (static_cast<uint64_t>(Read32(section, at + 8)) << 32) | Read32(section, at + 12);
    }
    return std::nullopt;
}

std::string FixedVersionBytes(uint64_t version) {
    const uint32_t words[13] = {FixedInfoSignature,
                                0x00010000,
                                static_cast<uint32_t>(version >> 32),
                                static_cast<uint32_t>(version),
                                static_cast<uint32_t>(version >> 32),
                                static_cast<uint32_t>(version),
                                0x3F,
                                0,
                                0x40004,
                                2,
                                0,
                                0,
                                0};
    std::string bytes;
    for (uint32_t word : words)
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>((word >> (8 * i)) & 0xFF);
    return bytes;
}
