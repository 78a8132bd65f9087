// TVersionInfoResource reads the version information of a file (by default the
// program's own) and serves its standard string values by name. Reading never
// throws: a missing file or one without version information gives empty strings.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace umbrill {

// The keys of the ten string properties, in the order of their indexes.
inline constexpr std::array<std::string_view, 10> kVersionStringKeys = {
    "CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
    "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments",
};

class TVersionInfoResource {
public:
    // Empty Filename, ForceEXE false, nothing loaded: call LoadVersionInfo() once the
    // properties are set.
    TVersionInfoResource() = default;

    // The file whose version information is read; empty means the program's own
    // file (see LoadVersionInfo). Every assignment reloads, even of the same name.
    const std::string &Filename() const { return m_filename; }
    void setFilename(const std::string &filename);

    // Matters only when this code runs inside a shared library and Filename is empty:
    // true reads the process's executable instead of the library. Assigning a
    // different value reloads; assigning the same value does nothing.
    bool ForceEXE() const { return m_forceExe; }
    void setForceEXE(bool forceExe);

    // Drops what was loaded, then reads the version block of Filename, or else of the
    // shared library holding this code (unless ForceEXE), or else of the running
    // executable (/proc/self/exe), and takes its translations.
    void LoadVersionInfo();

    // The string value `key` of the first translation, as UTF-8; empty when there is
    // no block, no translation or no such value.
    std::string GetVersionString(std::string_view key) const;

    // The translations of the block, 8 capital hexadecimal digits each ("080904E4"),
    // in the block's order.
    const std::vector<std::string> &Translations() const { return m_translations; }

    // The raw block, when the file has one.
    const std::optional<std::string> &VersionBlock() const { return m_versionBlock; }

    // The file that the last LoadVersionInfo read (empty when none could be chosen).
    const std::string &loadedFile() const { return m_loadedFile; }

    std::string CompanyName() const { return GetVersionString(kVersionStringKeys[0]); }
    std::string FileDescription() const { return GetVersionString(kVersionStringKeys[1]); }
    std::string FileVersion() const { return GetVersionString(kVersionStringKeys[2]); }
    std::string InternalName() const { return GetVersionString(kVersionStringKeys[3]); }
    std::string LegalCopyright() const { return GetVersionString(kVersionStringKeys[4]); }
    std::string LegalTrademarks() const { return GetVersionString(kVersionStringKeys[5]); }
    std::string OriginalFilename() const { return GetVersionString(kVersionStringKeys[6]); }
    std::string ProductName() const { return GetVersionString(kVersionStringKeys[7]); }
    std::string ProductVersion() const { return GetVersionString(kVersionStringKeys[8]); }
    std::string Comments() const { return GetVersionString(kVersionStringKeys[9]); }

private:
    std::string m_filename;
    bool m_forceExe = false;
    std::optional<std::string> m_versionBlock;
    std::vector<std::string> m_translations;
    std::string m_loadedFile;
};

// The file of the module (executable or shared library) that holds this code:
// "/proc/self/exe" for the executable, otherwise the library's full path.
std::string versionInfoModuleFile(bool forceExecutable);

} // namespace umbrill
