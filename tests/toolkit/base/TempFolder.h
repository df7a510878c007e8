#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "ovrel-base-XXXXXX").string();
        FPath = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(FPath, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return FPath; }
    std::string File(const std::string& name) const { return FPath + "/" + name; }
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(File(name), std::ios::binary) << bytes;
        return File(name);
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::string FPath;
};
