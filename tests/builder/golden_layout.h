// The golden layout pages under tests/data/layout: each NAME.htm is laid
// out at the width its first line may give (<!-- width=N -->, else 600)
// with the recording canvas's fixed metrics, and its dump compared with
// NAME.layout. The layout driver's --rebaseline and LUMO_REBASELINE=1 in
// the test both rewrite the expected files through GoldenDump.
#pragma once

#include <string>
#include <vector>

namespace lumo::test {

std::string GoldenFolder();
// The page names (without extension), sorted.
std::vector<std::string> GoldenPages();
// The dump of one page as the golden test makes it.
std::string GoldenDump(const std::string& name);
// Rewrites every expected file; returns how many.
int RebaselineGoldenPages();

} // namespace lumo::test
