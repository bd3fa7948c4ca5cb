#include "app/command_line.h"

#include "address/address.h"
#include "app/time_travel.h"
#include "platform/ansi.h"
#include "platform/file_system.h"
#include "platform/text.h"

#include <charconv>
#include <filesystem>

namespace lumo {

const char* const UsageText =
    "usage: lumo [ADDRESS | FILE]\n"
    "       lumo --screenshot OUT.png [--size WxH] [--timeout S] [ADDRESS | FILE]\n"
    "       lumo --dump-layout [--size WxH] ADDRESS | FILE\n"
    "       lumo --image-info FILE\n"
    "       lumo --print-pdf OUT.pdf [--pages A-B] [--timeout S] ADDRESS | FILE\n"
    "       lumo --unzip ARCHIVE TARGET [PATTERN...]\n"
    "       lumo --archive-list FILE\n"
    "       lumo --batch LIST [--archive FILE] [--size WxH] [--timeout S]\n"
    "       lumo --help | --version\n"
    "Each of the first four takes --time-travel YYYYMMDD [--time-travel-archive BASE].\n";

const char* const HelpText =
    "Options:\n"
    "  --screenshot OUT.png  show the page, write a picture of the window, and quit\n"
    "  --dump-layout         print the laid-out page (blocks, lines, tables, pictures,\n"
    "                        controls and their rectangles) and quit\n"
    "  --print-pdf OUT.pdf   print the page into a PDF file and quit\n"
    "  --pages A-B           with --print-pdf: print pages A to B (or the page A)\n"
    "  --image-info FILE     print the format, size and frames of a picture and quit\n"
    "  --unzip ARCHIVE TARGET [PATTERN...]\n"
    "                        unpack a ZIP archive (the members matching a pattern)\n"
    "  --archive FILE        answer web addresses from a WARC or ARC file (with no\n"
    "                        address: show its index page)\n"
    "  --archive-list FILE   print the captures of a WARC or ARC file, one JSON\n"
    "                        object a line, and quit\n"
    "  --batch LIST          render every line \"OUTPUT ADDRESS\" of LIST (- for standard\n"
    "                        input): OUTPUT.png a picture, .pdf a print, .txt a dump\n"
    "  --size WxH            the window's size in pixels (800x600)\n"
    "  --timeout S           give up when the page is not shown within S seconds (30)\n"
    "  --time-travel YYYYMMDD\n"
    "                        fetch every address from the web archive as it was then\n"
    "  --time-travel-archive BASE\n"
    "                        the archive's base address (https://web.archive.org/web/)\n"
    "  --help                print this text and quit\n"
    "  --version             print the version and quit\n"
    "Files: in $LUMO_HOME, else beside the program when it may write there, else in\n"
    "~/.local/share/Lumo 10/. See lumo(1).\n";

const char* const VersionText = "Lumo " LUMO_VERSION "\n";

bool HasScheme(std::string_view text) {
    const size_t length = SchemeLength(text);
    return length > 0 && text.substr(length, 3) == "://";
}

namespace {

// An address holds plain ASCII; anything else goes as escapes of its UTF-8 bytes.
std::string EscapedAddress(std::string_view utf8) {
    return EncodePercents(utf8, [](unsigned char c) { return c < 0x20 || c >= 0x7F; });
}

} // namespace

std::string FileAddressOf(std::string_view path) {
    const std::string utf8 = AnsiToUtf8(path);
    return (utf8.starts_with('/') ? "file://" : "file:///") + EscapedAddress(utf8);
}

bool IsTypedPath(std::string_view text) {
    if (text.empty()) return false;
    const bool drive = IsDrivePath(text) && (text.size() == 2 || text[2] == '\\' || text[2] == '/');
    return text[0] == '/' || text[0] == '\\' || drive;
}

std::string TypedAddress(std::string_view text) {
    if (HasScheme(text)) return std::string(text);
    return IsTypedPath(text) ? FileAddressOf(text) : CompleteAddress(text);
}

namespace {

bool ParseSize(std::string_view text, int& width, int& height) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) return false;
    const auto number = [](std::string_view s, int& v) {
        const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        return ec == std::errc() && p == s.data() + s.size() && v > 0 && v <= 16384;
    };
    return number(text.substr(0, x), width) && number(text.substr(x + 1), height);
}

// "A-B" or "A", pages from 1.
bool ParsePages(std::string_view text, int& from, int& to) {
    const auto number = [](std::string_view s, int& v) {
        const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        return ec == std::errc() && p == s.data() + s.size() && v >= 1 && v <= 9999;
    };
    const size_t dash = text.find('-');
    if (dash == std::string_view::npos) return number(text, from) && number(text, to);
    return number(text.substr(0, dash), from) && number(text.substr(dash + 1), to) && from <= to;
}

} // namespace

std::string AddressFromCommandText(std::string_view text, std::string_view currentFolder) {
    std::string unquoted;
    for (char c : text)
        if (c != '"') unquoted += c;
    const std::string_view trimmed = Trim(unquoted);
    if (trimmed.empty()) return {};
    if (HasScheme(trimmed)) return EscapedAddress(trimmed);
    std::filesystem::path path(trimmed);
    // "../a.htm" from /w/b gives /w/a.htm: the address names the file plainly.
    if (path.is_relative() && !currentFolder.empty())
        path = (std::filesystem::path(currentFolder) / path).lexically_normal();
    std::error_code error;
    const bool local =
        IsTypedPath(trimmed) || trimmed[0] == '.' || std::filesystem::exists(path, error);
    if (!local) return EscapedAddress(CompleteAddress(trimmed));
    return FileAddressOf(AnsiName(path));
}

TDumpSize DumpSizeOf(const TCommandLine& line) {
    if (line.Width > 0) return {line.Width, line.Height};
    return {};
}

TCommandLine ParseCommandLine(const std::vector<std::string>& args,
                              std::string_view currentFolder) {
    TCommandLine line;
    std::string text;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--screenshot" && hasValue) {
            line.ScreenshotFile = Utf8ToAnsi(args[++i]);
        } else if (a == "--unzip") {
            // Everything after it is the archive, the target and the patterns.
            line.Unzip = true;
            if (args.size() - i < 3) {
                line.Error = "--unzip needs an archive and a target folder";
            } else {
                line.UnzipArchive = args[i + 1];
                line.UnzipTarget = args[i + 2];
                line.UnzipPatterns.assign(args.begin() + static_cast<long>(i) + 3, args.end());
            }
            break;
        } else if (a == "--help") {
            line.Help = true;
        } else if (a == "--version") {
            line.Version = true;
        } else if (a == "--dump-layout") {
            line.DumpLayout = true;
        } else if (a == "--image-info" && hasValue) {
            line.ImageInfoFile = args[++i];
        } else if (a == "--print-pdf" && hasValue) {
            line.PrintPdfFile = args[++i];
        } else if (a == "--archive" && hasValue) {
            line.ArchiveFile = args[++i];
        } else if (a == "--archive-list" && hasValue) {
            line.ArchiveListFile = args[++i];
        } else if (a == "--batch" && hasValue) {
            line.BatchList = args[++i];
        } else if (a == "--pages" && hasValue) {
            if (!ParsePages(args[++i], line.FromPage, line.ToPage))
                line.Error = "--pages needs FIRST-LAST, for example 3-4, from 1 to 9999";
        } else if (a == "--size" && hasValue) {
            if (!ParseSize(args[++i], line.Width, line.Height))
                line.Error = "--size needs WIDTHxHEIGHT, for example 800x600";
        } else if (a == "--timeout" && hasValue) {
            const std::string& v = args[++i];
            const auto [p, ec] =
                std::from_chars(v.data(), v.data() + v.size(), line.TimeoutSeconds);
            if (ec != std::errc() || p != v.data() + v.size() || line.TimeoutSeconds <= 0)
                line.Error = "--timeout needs a number of seconds";
        } else if (a == "--time-travel" && hasValue) {
            line.TimeTravelDate = ParseCompactDate(args[++i]);
            if (!line.TimeTravelDate)
                line.Error = "--time-travel needs a date YYYYMMDD, for example 19990727";
        } else if (a == "--time-travel-archive" && hasValue) {
            line.TimeTravelArchive = args[++i];
        } else if (a.starts_with("--")) {
            line.Error = "unknown option " + a;
        } else {
            if (!text.empty()) text += ' ';
            text += a;
        }
    }
    line.Address = AddressFromCommandText(text, currentFolder);
    if (!line.ImageInfoFile.empty() && line.Error.empty() &&
        (line.DumpLayout || !line.ScreenshotFile.empty() || !line.PrintPdfFile.empty() ||
         !line.Address.empty()))
        line.Error = "--image-info takes one file and nothing else";
    const int outputs = !line.ScreenshotFile.empty() + line.DumpLayout + !line.PrintPdfFile.empty();
    if (!line.PrintPdfFile.empty() && line.Error.empty()) {
        if (outputs > 1)
            line.Error = "--print-pdf goes with neither --screenshot nor --dump-layout";
        else if (line.Address.empty())
            line.Error = "--print-pdf needs an address";
    }
    if (!line.ArchiveListFile.empty() && line.Error.empty() &&
        (outputs > 0 || !line.Address.empty() || !line.BatchList.empty()))
        line.Error = "--archive-list takes one file and nothing else";
    if (!line.BatchList.empty() && line.Error.empty() && (outputs > 0 || !line.Address.empty()))
        line.Error = "--batch takes its addresses and outputs from the list";
    if (line.DumpLayout && line.Error.empty()) {
        if (!line.ScreenshotFile.empty())
            line.Error = "--dump-layout and --screenshot do not go together";
        else if (line.Address.empty())
            line.Error = "--dump-layout needs an address";
    }
    return line;
}

} // namespace lumo
