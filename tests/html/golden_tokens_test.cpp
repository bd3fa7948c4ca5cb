// Token dumps of whole pages against the expected files beside them. Run with
// LUMO_REBASELINE=1 to rewrite the expected files after a deliberate change.
#include "html/token_dump.h"
#include "platform/file_system.h"
#include "tests/support/corpus.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <clocale>
#include <cstdlib>
#include <filesystem>

namespace lumo {
namespace {

const std::string kFolder = std::string(LUMO_SOURCE_DIR) + "/tests/data/html/tokens/";

std::vector<std::string> Inputs() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kFolder))
        if (entry.path().extension() == ".htm") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Dump(const std::string& name) {
    auto input = ReadWholeFile(kFolder + name + ".htm", 1 << 20);
    return input ? DumpTokens(*input) : "missing input";
}

TEST(GoldenTokens, MatchExpectedDumps) {
    const bool rebaseline = std::getenv("LUMO_REBASELINE") != nullptr;
    auto names = Inputs();
    ASSERT_GE(names.size(), 5u);
    for (const std::string& name : names) {
        std::string actual = Dump(name);
        std::string expectedFile = kFolder + name + ".tokens";
        if (rebaseline) {
            WriteFileAtomically(expectedFile, actual);
            continue;
        }
        auto expected = ReadWholeFile(expectedFile, 1 << 20);
        ASSERT_TRUE(expected) << "no expected dump " << expectedFile;
        EXPECT_EQ(actual, *expected) << "token dump of " << name << ".htm differs";
    }
}

// Case folding and number reading must not follow the process locale: a
// Turkish locale folds "i" to a dotted capital, a German one reads "0,5".
TEST(GoldenTokens, SameUnderTurkishAndGermanLocales) {
    std::vector<std::string> plain;
    for (const std::string& name : Inputs())
        plain.push_back(Dump(name));
    for (const char* locale : {"tr_TR.UTF-8", "de_DE.UTF-8"}) {
        if (!std::setlocale(LC_ALL, locale)) {
            GTEST_SKIP() << "locale " << locale << " is not installed";
        }
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        auto names = Inputs();
        for (size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(Dump(names[i]), plain[i]) << names[i] << " under " << locale;
        std::string sample = DumpTokens("<title>x</title><img width=\"0.833\" src=i.gif>");
        EXPECT_NE(sample.find("TitleTok"), std::string::npos) << locale;
        EXPECT_NE(sample.find("WidthTok=\"0.833\"=1"), std::string::npos) << locale;
    }
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
}

// Real pages from outside the project, many of them malformed, must all be
// read to their end.
TEST(GoldenTokens, CorpusPagesFinish) {
    const std::string corpus = test::CorpusPath("html");
    LUMO_NEED_CORPUS(corpus);
    int pages = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        auto ext = entry.path().extension().string();
        if (ext != ".htm" && ext != ".html") continue;
        auto input = ReadWholeFile(AnsiName(entry.path()), 8 << 20);
        ASSERT_TRUE(input) << entry.path();
        std::string dump = DumpTokens(*input);
        bool ended = dump.ends_with("EofTok\n") || dump.find("\nERROR ") != std::string::npos ||
                     dump.starts_with("ERROR ");
        EXPECT_TRUE(ended) << entry.path();
        ++pages;
    }
    EXPECT_GT(pages, 100);
}

} // namespace
} // namespace lumo
