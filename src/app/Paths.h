#pragma once
// Where the program finds its files: the executable, its language folder and its configuration file.

#include <string>
#include <string_view>

namespace ovrel::app {

/// The full path of the running executable, however long; empty when the system cannot tell.
[[nodiscard]] std::string ExecutableFileName();

/// The folder for the configuration file, with a trailing '/': exeFolder when it is a writable folder,
/// else xdgConfigHome + "exif-ovrel/" (or home + ".config/exif-ovrel/" when xdgConfigHome is empty or
/// relative). Empty when none of them can be used.
[[nodiscard]] std::string ChooseConfigFolder(std::string_view exeFolder, std::string_view xdgConfigHome,
                                             std::string_view home);

/// ChooseConfigFolder for the running executable and the environment.
[[nodiscard]] std::string ConfigFolder();

/// The configuration file: the executable's name with the extension ".cfg", in ConfigFolder.
[[nodiscard]] std::string ConfigFileName();

}  // namespace ovrel::app
