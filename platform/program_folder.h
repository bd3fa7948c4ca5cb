// Where the program keeps its state files.
#pragma once

#include <string>

namespace lumo {

// The folder holding the settings file, the cache and the bookmarks, ending in
// "/": LUMO_HOME when it is set; else the folder of the executable when it may
// be written; else (an installed program) the user's data folder, made when
// missing.
std::string ProgramFolder();

// The settings file "lumo.ini" in the program folder.
std::string SettingsFilePath();

} // namespace lumo
