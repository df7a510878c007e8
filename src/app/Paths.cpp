#include "app/Paths.h"

#include "toolkit/SysUtils.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <unistd.h>

using namespace ovrel::toolkit;

namespace ovrel::app {

std::string ExecutableFileName()
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::string ChooseConfigFolder(std::string_view exeFolder, std::string_view xdgConfigHome, std::string_view home)
{
    if (!exeFolder.empty()) {
        const std::string folder = IncludeTrailingPathDelimiter(exeFolder);
        if (DirectoryExists(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0)
            return folder;
    }
    // Relative values are ignored, as the base directory rules ask.
    if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/')
        return IncludeTrailingPathDelimiter(xdgConfigHome) + "exif-ovrel/";
    if (!home.empty() && home.front() == '/')
        return IncludeTrailingPathDelimiter(home) + ".config/exif-ovrel/";
    return {};
}

std::string ConfigFolder()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    return ChooseConfigFolder(ExtractFilePath(ExecutableFileName()), xdg ? xdg : "", home ? home : "");
}

std::string ConfigFileName()
{
    const std::string folder = ConfigFolder();
    if (folder.empty())
        return {};
    std::string name = ExtractFileName(ExecutableFileName());
    if (name.empty())
        name = "exif-ovrel";
    return folder + ChangeFileExt(name, ".cfg");
}

}  // namespace ovrel::app
