// The version-information component. The executable is read through /proc/self/exe,
// which names the running file itself even when its path has since been replaced.
#include "core/versioninfo/tversioninforesource.h"

#include "core/versioninfo/executableimage.h"
#include "core/versioninfo/versionblock.h"

#include <dlfcn.h>
#include <link.h>

#include <cinttypes>
#include <cstdio>
#include <fstream>

namespace umbrill {
namespace {

constexpr const char *kExecutableFile = "/proc/self/exe";

// Any function of this file serves to ask the loader which module holds the code.
void moduleAnchor() {}

// The path of the mapping that contains `address`, from /proc/self/maps.
std::string mappedFile(std::uintptr_t address)
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        std::uintmax_t start = 0;
        std::uintmax_t end = 0;
        int pathAt = 0;
        if (std::sscanf(line.c_str(), "%" SCNxMAX "-%" SCNxMAX " %*s %*s %*s %*s %n", &start, &end, &pathAt) < 2)
            continue;
        if (address >= start && address < end && pathAt > 0 && line[static_cast<std::size_t>(pathAt)] == '/')
            return line.substr(static_cast<std::size_t>(pathAt));
    }
    return {};
}

} // namespace

std::string versionInfoModuleFile(bool forceExecutable)
{
    if (forceExecutable)
        return kExecutableFile;
    const auto anchor = reinterpret_cast<void *>(&moduleAnchor);
    Dl_info info{};
    link_map *module = nullptr;
    if (::dladdr1(anchor, &info, reinterpret_cast<void **>(&module), RTLD_DL_LINKMAP) == 0 || module == nullptr
        || module->l_name == nullptr || module->l_name[0] == '\0')
        return kExecutableFile;     // the executable's own map has an empty name
    // The loader keeps a library's name as it was found; a relative one would depend
    // on the working directory, so ask the kernel for the mapped file instead.
    if (module->l_name[0] == '/')
        return module->l_name;
    const std::string mapped = mappedFile(reinterpret_cast<std::uintptr_t>(anchor));
    return mapped.empty() ? std::string(module->l_name) : mapped;
}

void TVersionInfoResource::setFilename(const std::string &filename)
{
    m_filename = filename;
    LoadVersionInfo();
}

void TVersionInfoResource::setForceEXE(bool forceExe)
{
    if (forceExe == m_forceExe)
        return;
    m_forceExe = forceExe;
    LoadVersionInfo();
}

void TVersionInfoResource::LoadVersionInfo()
{
    m_translations.clear();
    m_versionBlock.reset();
    m_loadedFile = m_filename.empty() ? versionInfoModuleFile(m_forceExe) : m_filename;
    m_versionBlock = versionBlockOfFile(m_loadedFile);
    if (m_versionBlock)
        m_translations = versionTranslations(*m_versionBlock);
}

std::string TVersionInfoResource::GetVersionString(std::string_view key) const
{
    if (!m_versionBlock || m_translations.empty())
        return {};
    std::string path = "\\StringFileInfo\\" + m_translations.front() + "\\";
    path += key;
    return queryVersionString(*m_versionBlock, path).value_or(std::string());
}

} // namespace umbrill
