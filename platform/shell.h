// The desktop's services: opening an address or a file with its associated
// program, starting a program, playing a sound. Tests install their own.
#pragma once

#include <string>
#include <vector>

namespace lumo {

class Shell {
public:
    virtual ~Shell() = default;
    // Hands a mail or web address or a local file to the desktop.
    virtual bool OpenAddress(const std::string& address) = 0;
    virtual bool StartProgram(const std::string& program, const std::vector<std::string>& args) = 0;
    // Plays a sound file when a player is installed; silently nothing otherwise.
    virtual void PlaySound(const std::string& fileName) = 0;
};

// The shell in use. SetShell installs a borrowed replacement and returns the
// previous one; null restores the desktop's shell.
Shell& TheShell();
Shell* SetShell(Shell* shell);

} // namespace lumo
