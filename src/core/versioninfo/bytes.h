// Bounds-checked reading and writing of little- and big-endian integers in byte
// strings, shared by the version-block codec and the executable locators.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace umbrill::bytes {

enum class Endian { Little, Big };

// The unsigned integer of `size` bytes (1 to 8) at `offset`, or nullopt when any of
// those bytes lies outside `data`.
inline std::optional<std::uint64_t> readUnsigned(std::string_view data, std::uint64_t offset, std::size_t size,
                                                 Endian endian = Endian::Little)
{
    if (offset > data.size() || data.size() - offset < size)
        return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t index = endian == Endian::Little ? size - 1 - i : i;
        value = (value << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(offset) + index]);
    }
    return value;
}

inline std::optional<std::uint16_t> read16(std::string_view data, std::uint64_t offset, Endian endian = Endian::Little)
{
    const auto value = readUnsigned(data, offset, 2, endian);
    return value ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(*value)) : std::nullopt;
}

inline std::optional<std::uint32_t> read32(std::string_view data, std::uint64_t offset, Endian endian = Endian::Little)
{
    const auto value = readUnsigned(data, offset, 4, endian);
    return value ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*value)) : std::nullopt;
}

inline std::optional<std::uint64_t> read64(std::string_view data, std::uint64_t offset, Endian endian = Endian::Little)
{
    return readUnsigned(data, offset, 8, endian);
}

inline void append16(std::string &out, std::uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

inline void append32(std::string &out, std::uint32_t value)
{
    append16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    append16(out, static_cast<std::uint16_t>(value >> 16));
}

// Overwrites the little-endian 16-bit word at offset; the offset must lie inside.
inline void put16(std::string &out, std::size_t offset, std::uint16_t value)
{
    out[offset] = static_cast<char>(value & 0xFF);
    out[offset + 1] = static_cast<char>(value >> 8);
}

// Rounds up to the next multiple of four.
constexpr std::uint64_t align4(std::uint64_t value)
{
    return (value + 3) & ~std::uint64_t{3};
}

} // namespace umbrill::bytes
