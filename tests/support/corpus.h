// The outside test material in ../shared/corpus, used in place. Where it is
// missing a test skips with a message, unless LUMO_REQUIRE_CORPUS is set (as
// .ci/run sets it): then a missing corpus fails the test, so a run that
// should have checked it can never pass without it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace lumo::test {

// The corpus folder `sub` (e.g. "html", "gif").
inline std::string CorpusPath(const std::string& sub) {
    return std::string(LUMO_CORPUS_DIR) + "/" + sub;
}

inline bool CorpusRequired() {
    const char* value = std::getenv("LUMO_REQUIRE_CORPUS");
    return value && *value && std::string(value) != "0";
}

} // namespace lumo::test

// Opens a test that needs the corpus folder `path`: fails or skips the test
// when the folder is not there.
#define LUMO_NEED_CORPUS(path)                                                                     \
    do {                                                                                           \
        if (std::filesystem::is_directory(path)) break;                                            \
        if (::lumo::test::CorpusRequired()) FAIL() << "no corpus at " << (path);                   \
        GTEST_SKIP() << "no corpus at " << (path);                                                 \
    } while (false)
