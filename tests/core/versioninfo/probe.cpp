// A shared library that carries its own version information and asks the core,
// from inside the library, which file it reads.
#include "core/versioninfo/tversioninforesource.h"

#include <string>

// what: 0 the FileVersion read, 1 the file read.
extern "C" __attribute__((visibility("default"))) const char *umbrill_versioninfo_probe(int forceExe, int what)
{
    static std::string result;
    umbrill::TVersionInfoResource resource;
    resource.setForceEXE(forceExe != 0);
    resource.LoadVersionInfo();
    result = what == 0 ? resource.FileVersion() : resource.loadedFile();
    return result.c_str();
}
