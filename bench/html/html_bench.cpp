// Tokenizing generated pages beside libxml2's HTML parser on the same bytes,
// and resolving style rules over many elements. The pages come from the
// folder named by LUMO_BENCH_PAGES (bench/html/run.sh generates them).
#include "html/prop_stack.h"
#include "html/style_list.h"
#include "html/style_sheet.h"
#include "html/tokenizer.h"
#include "platform/file_system.h"
#include "platform/recording_canvas.h"

#include <benchmark/benchmark.h>
#include <libxml/HTMLparser.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace lumo;

// Every token of a page, driven the way the document builder drives it.
size_t TokenizeAll(std::string_view page) {
    HtmlTokenizer t;
    t.Begin(page);
    size_t tokens = 0;
    t.ReadNextChar();
    for (t.NextToken(); t.CurTok != EofTok; t.NextToken()) {
        ++tokens;
        if (t.CurTok == TextAreaTok) {
            do
                t.NextTextAreaToken();
            while (t.CurTok != TextAreaEndTok && t.CurTok != EofTok);
        } else if (t.CurTok == ScriptTok) {
            t.InScript = true;
            do
                t.NextScriptToken();
            while (t.CurTok != ScriptEndTok && t.CurTok != EofTok);
            t.InScript = false;
        }
    }
    return tokens;
}

void BM_Tokenize(benchmark::State& state, std::string page) {
    for (auto _ : state)
        benchmark::DoNotOptimize(TokenizeAll(page));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_Libxml2(benchmark::State& state, std::string page) {
    for (auto _ : state) {
        htmlDocPtr doc =
            htmlReadMemory(page.data(), static_cast<int>(page.size()), "page.html", "windows-1252",
                           HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

// prefix + i, built by appending (GCC 12 warns wrongly about "c" + to_string).
std::string Numbered(const char* prefix, int i) {
    std::string s(prefix);
    s += std::to_string(i);
    return s;
}

// A sheet of n rules: a third by tag or class, a third by ID, a third
// contextual, all over the same few tags so every element meets many rules.
std::string Sheet(int n) {
    static const char* tags[] = {"p", "div", "td", "a", "li", "span", "b", "font"};
    std::string sheet;
    for (int i = 0; i < n; ++i) {
        std::string tag = tags[i % 8];
        switch (i % 3) {
        case 0: sheet += tag + Numbered(".c", i % 50); break;
        case 1: sheet += Numbered("#id", i); break;
        default: sheet += std::string(tags[(i + 3) % 8]) + " " + tag; break;
        }
        sheet += " { color: #" + std::to_string(100000 + i) +
                 "; margin-left: " + std::to_string(i % 20) + "px }\n";
    }
    return sheet;
}

// 10,000 elements pushed and popped, nested up to five deep.
void BM_StyleResolve(benchmark::State& state) {
    const int rules = static_cast<int>(state.range(0));
    TStyleList styles;
    TDefaultLook look;
    look.OverColor = 0xFF;
    look.MarginHeight = 10;
    styles.Initialize(look);
    ReadStyleSheetText(styles, Sheet(rules), "");
    static const char* tags[] = {"div", "td", "p", "span", "a", "b", "li", "font"};
    std::vector<std::string> classes, ids;
    for (int i = 0; i < 60; ++i)
        classes.push_back(Numbered("c", i));
    for (int i = 0; i < 1200; ++i)
        ids.push_back(Numbered("id", i));
    for (auto _ : state) {
        TPropStack stack(styles);
        stack.Reset();
        for (int e = 0; e < 10000; ++e) {
            if (stack.PropStackTop() >= 5) stack.PopProps();
            stack.PushProps(tags[e % 8], classes[e % 60], ids[e % 1200], "", nullptr);
        }
        benchmark::DoNotOptimize(stack.TopProps().EmSize);
    }
    state.counters["rules"] = rules;
}
BENCHMARK(BM_StyleResolve)->Arg(250)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    const char* folder = std::getenv("LUMO_BENCH_PAGES");
    if (folder) {
        for (const char* name : {"text_1m.html", "text_5m.html", "tables_500.html"}) {
            auto page = ReadWholeFile(std::string(folder) + "/" + name, 64 << 20);
            if (!page) continue;
            benchmark::RegisterBenchmark(("Tokenize/" + std::string(name)).c_str(), BM_Tokenize,
                                         *page)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("Libxml2/" + std::string(name)).c_str(), BM_Libxml2,
                                         *page)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
