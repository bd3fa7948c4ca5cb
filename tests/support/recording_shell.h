// A desktop shell that records what it is asked instead of doing it, for
// the life of the object: one line per call, with exact arguments.
#pragma once

#include "platform/shell.h"

#include <string>
#include <vector>

namespace lumo::test {

class RecordingShell : public Shell {
public:
    RecordingShell() { previous_ = SetShell(this); }
    ~RecordingShell() override { SetShell(previous_); }
    RecordingShell(const RecordingShell&) = delete;
    RecordingShell& operator=(const RecordingShell&) = delete;

    bool OpenAddress(const std::string& address) override {
        calls.push_back("open " + address);
        return true;
    }
    // "start PROGRAM|ARG1|ARG2..."
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override {
        std::string call = "start " + program;
        for (const std::string& a : args)
            call += "|" + a;
        calls.push_back(call);
        return true;
    }
    void PlaySound(const std::string& fileName) override { calls.push_back("sound " + fileName); }

    std::vector<std::string> calls;

private:
    Shell* previous_;
};

} // namespace lumo::test
