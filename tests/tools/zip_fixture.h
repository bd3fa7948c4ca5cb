// Helpers of the unzip tests: outside programs that make and check archives
// (python3's zipfile, Info-ZIP zip and unzip), extraction with every report
// collected, and snapshots of folder trees.
#pragma once

#include "tools/unzipper.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace lumo::test {

bool HasProgram(const std::string& name);

// Runs a program and waits for it; its exit code, or -1 when it did not run
// to the end. Standard output and error go to *output when given.
int RunProgram(const std::string& program, const std::vector<std::string>& args,
               std::string* output = nullptr, const std::string& folder = {});

// Runs a python3 script with a few helpers defined (see zip_fixture.cpp):
// args are its sys.argv[1:]. Fails the test when the script fails.
void RunPython(const std::string& script, const std::vector<std::string>& args = {});

// What one extraction did: the result and each member's final report.
struct TExtraction {
    int result = 0;
    std::vector<std::pair<std::string, int>> members; // UTF-8 name, 0 or the failure code
    uint64_t bytesReported = 0;
    int starts = 0;
};

TExtraction Extract(const std::string& archive, const std::string& target,
                    const std::vector<std::string>& specs = {"*.*"},
                    TUnzipQuestionEvent question = {});
TExtraction Extract(TUnzipper& unzip);

// Every entry below a folder, by relative path: "dir" for a folder,
// "link -> TARGET" for a symbolic link, else the file's bytes (or its size,
// for files over 16 MB). Links are never followed.
std::map<std::string, std::string> TreeOf(const std::string& folder);

// The entries of `after` that are not in `before` or differ from it.
std::vector<std::string> Changes(const std::map<std::string, std::string>& before,
                                 const std::map<std::string, std::string>& after);

// What Info-ZIP's "unzip -l" lists: name -> length.
std::map<std::string, uint64_t> InfoZipListing(const std::string& archive);
// Whether Info-ZIP's "unzip -t" finds every member whole.
bool InfoZipTestsClean(const std::string& archive);

} // namespace lumo::test

#define LUMO_NEED_PROGRAM(name)                                                                    \
    do {                                                                                           \
        if (!::lumo::test::HasProgram(name)) GTEST_SKIP() << (name) << " is not installed";        \
    } while (false)
