#pragma once
// A Wine prefix laid out as Wine lays one out, in a test's folder: drive_c
// with windows, Program Files and users/NAME (and users/Public),
// system.reg, and dosdevices/c: linked to ../drive_c. The fixture
// icons64.dll goes in as "Program Files/Fixture/App.exe".

#include <filesystem>
#include <fstream>
#include <string>

namespace gb::test {

inline std::string makeWinePrefix(const std::filesystem::path& prefix, const std::string& user = "ana")
{
    namespace fs = std::filesystem;
    const fs::path drive = prefix / "drive_c";
    for (const fs::path& folder :
         {drive / "windows" / "system32", drive / "Program Files" / "Fixture", drive / "ProgramData",
          drive / "users" / "Public", drive / "users" / user / "AppData" / "Roaming" / "Game",
          drive / "users" / user / "AppData" / "Local", prefix / "dosdevices"})
        fs::create_directories(folder);
    std::ofstream(prefix / "system.reg") << "WINE REGISTRY Version 2\n";
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    fs::copy_file(std::string(GB_FIXTURE_DIR) + "/icons64.dll",
                  drive / "Program Files" / "Fixture" / "App.exe");
    return prefix.string();
}

} // namespace gb::test
