// Where the program keeps its state files, and where an installed program
// finds the files shipped with it.
#pragma once

#include <string>
#include <string_view>

namespace lumo {

// What decides the program folder; folder names are local file names
// ending in "/".
struct TFolderFacts {
    std::string Home;      // LUMO_HOME, empty when it is not set
    std::string ExeFolder; // the executable's folder, empty when unknown
    bool ExeFolderWritable = false;
    bool ExeFolderOwned = false; // owned by the user the program runs as
    bool Installed = false;      // an install's share/lumo lies beside it
    std::string DataFolder;      // the user's data folder, empty when there is none
};

// LUMO_HOME when it is set; else the executable's folder when it is the
// user's own, may be written, and is neither a system folder nor part of an
// install; else (an installed program) the user's data folder. Root may
// write anywhere, so writable alone does not make a folder the program's.
std::string ChooseProgramFolder(const TFolderFacts& facts);

// A folder of the system's own tree (/usr, /bin, /opt, ...), never a
// program's private folder.
bool IsSystemFolder(std::string_view folder);

// The folder holding the settings file, the cache and the bookmarks, ending
// in "/", as ChooseProgramFolder decides for this process; the user's data
// folder is made when missing.
std::string ProgramFolder();

// The settings file "lumo.ini" in the program folder.
std::string SettingsFilePath();

// The translations an install ships, PREFIX/share/lumo/languages/, for an
// executable in the folder PREFIX/bin/; empty when there is no such folder.
std::string ShippedLanguagesFolder(std::string_view exeFolder);

// Where the Language command's file dialog opens: the translations the
// install ships; else the program folder (a build puts Deutsch.lng beside
// the executable).
std::string LanguageFilesFolder();

} // namespace lumo
