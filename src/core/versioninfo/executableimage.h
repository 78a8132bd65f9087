// Finding the version-information block inside an executable file: in an ELF file
// the contents of the section ".umbrill_version" (where this program's build puts
// it), in a PE file the first RT_VERSION resource. The parsers take arbitrary
// bytes: every offset and size is checked against the image before it is used,
// and a damaged file yields nullopt, never a crash or an endless walk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace umbrill {

inline constexpr std::string_view kVersionSectionName = ".umbrill_version";

// Random access to the bytes of an image, in memory or in a file.
class ImageBytes {
public:
    virtual ~ImageBytes() = default;
    virtual std::uint64_t size() const = 0;
    // Exactly `count` bytes from `offset`, or nullopt when they do not all lie inside
    // the image or cannot be read.
    virtual std::optional<std::string> read(std::uint64_t offset, std::uint64_t count) const = 0;
};

class MemoryImage final : public ImageBytes {
public:
    explicit MemoryImage(std::string_view bytes) : m_bytes(bytes) {}
    std::uint64_t size() const override { return m_bytes.size(); }
    std::optional<std::string> read(std::uint64_t offset, std::uint64_t count) const override;

private:
    std::string_view m_bytes;
};

// A file opened for reading; read() uses positioned reads, so nothing beyond the
// headers and the block is loaded. A file that cannot be opened has size 0.
class FileImage final : public ImageBytes {
public:
    explicit FileImage(const std::string &path);
    ~FileImage() override;
    FileImage(const FileImage &) = delete;
    FileImage &operator=(const FileImage &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    std::uint64_t size() const override { return m_size; }
    std::optional<std::string> read(std::uint64_t offset, std::uint64_t count) const override;

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

// The file contents of the named section of an ELF file (32 or 64 bits, either byte
// order), at most `maxSize` bytes of it. nullopt when the image is not ELF, has no
// such section, the section has no bytes in the file (SHT_NOBITS) or lies outside it.
std::optional<std::string> elfSectionContents(const ImageBytes &image, std::string_view sectionName,
                                              std::uint64_t maxSize);

// The data of the first RT_VERSION resource of a PE file (PE32 or PE32+): resource
// type 16, its first name, that name's first language. At most `maxSize` bytes.
std::optional<std::string> peVersionResource(const ImageBytes &image, std::uint64_t maxSize);

// The version block of an ELF or PE image, cut to its root's length, or nullopt when
// the image is neither or carries none.
std::optional<std::string> versionBlockOfImage(const ImageBytes &image);

// The same for a file; nullopt also when the file cannot be opened or read.
std::optional<std::string> versionBlockOfFile(const std::string &path);

// From memory, for tests and the fuzzer.
std::optional<std::string> elfSectionContents(std::string_view image, std::string_view sectionName);
std::optional<std::string> peVersionResource(std::string_view image);
std::optional<std::string> versionBlockOfImage(std::string_view image);

} // namespace umbrill
