#include "tests/support/archive_mock.h"

#include "tests/support/test_certificates.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

namespace lumo::test {

const std::string TestGif(
    "\x47\x49\x46\x38\x39\x61\x28\x00\x14\x00\xf0\x00\x00\xff\x00\x00\x00\x00\x00\x21\xf9\x04"
    "\x00\x00\x00\x00\x00\x2c\x00\x00\x00\x00\x28\x00\x14\x00\x00\x02\x1a\x84\x8f\xa9\xcb\xed"
    "\x0f\xa3\x9c\xb4\xda\x8b\xb3\xde\xbc\xfb\x0f\x86\xe2\x48\x96\xe6\x89\xa6\xea\x8a\x15\x00"
    "\x3b",
    67);

namespace {

// Seconds since 1970 of a 14-digit time, and back.
long long Seconds(const std::string& stamp) {
    const auto n = [&](size_t at, size_t len) { return std::stoi(stamp.substr(at, len)); };
    int y = n(0, 4);
    const int m = n(4, 2), d = n(6, 2);
    y -= m <= 2;
    const long long era = y / 400, yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
    return days * 86400 + n(8, 2) * 3600 + n(10, 2) * 60 + n(12, 2);
}

struct Civil {
    int Year, Month, Day, Weekday;
};

Civil CivilOf(long long seconds) {
    const long long z = seconds / 86400 + 719468;
    const long long era = z / 146097, doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int weekday = static_cast<int>((seconds / 86400 + 4) % 7); // 1 Jan 1970 was a Thursday
    return {static_cast<int>(yoe + era * 400 + (month <= 2)), month, day, weekday};
}

std::string StampOf(long long seconds) {
    const Civil c = CivilOf(seconds);
    const long long s = seconds % 86400;
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02lld%02lld%02lld", c.Year, c.Month, c.Day,
                  s / 3600, s / 60 % 60, s % 60);
    return text;
}

std::string HttpDateOf(const std::string& stamp) {
    static const char* const Days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const Civil c = CivilOf(Seconds(stamp));
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %s:%s:%s GMT", Days[c.Weekday], c.Day,
                  Months[c.Month - 1], c.Year, stamp.substr(8, 2).c_str(),
                  stamp.substr(10, 2).c_str(), stamp.substr(12, 2).c_str());
    return text;
}

// A regular expression for 14-digit times before the bound.
std::string EarlierThan(const std::string& bound) {
    std::string alternatives;
    for (size_t i = 0; i < bound.size(); ++i) {
        if (bound[i] == '0') continue;
        if (!alternatives.empty()) alternatives += '|';
        alternatives += bound.substr(0, i) + "[0-" + std::string(1, bound[i] - 1) + "][0-9]{" +
                        std::to_string(bound.size() - i - 1) + "}";
    }
    return "(?:" + alternatives + ")";
}

// Every character that means something in a pattern stands in brackets.
std::string Literal(const std::string& text) {
    std::string out;
    for (const char c : text)
        if (std::string_view(".?+*()[]{}|^$").find(c) != std::string_view::npos)
            out += std::string("[") + c + "]";
        else
            out += c;
    return out;
}

// The map entries sending each time of an address to its nearest capture:
// the times up to the middle between two captures go to the earlier one.
std::string NearestRules(const std::string& original, std::vector<std::string> stamps) {
    std::sort(stamps.begin(), stamps.end());
    std::string rules;
    const std::string tail = "id_/" + Literal(original) + "$\"";
    for (size_t i = 0; i + 1 < stamps.size(); ++i) {
        const std::string middle = StampOf((Seconds(stamps[i]) + Seconds(stamps[i + 1])) / 2);
        rules += "    \"~^/web/" + EarlierThan(middle) + tail + " " + stamps[i] + ";\n";
    }
    rules += "    \"~^/web/[0-9]{14}" + tail + " " + stamps.back() + ";\n";
    return rules;
}

std::string FilePath(const TestCapture& c) {
    std::string path = "web/" + c.Stamp + "id_/" + c.Original;
    const size_t scheme = path.find("://");
    path.replace(scheme, 3, ":/");
    if (path.back() == '/') path += "index.html";
    return path;
}

} // namespace

std::unique_ptr<ArchiveMock> ArchiveMock::Start(const std::vector<TestCapture>& captures,
                                                const TestCertificates* tls) {
    auto mock = std::unique_ptr<ArchiveMock>(new ArchiveMock);
    std::map<std::string, std::vector<std::string>> stampsOf;
    std::string exact, mementos;
    for (const TestCapture& c : captures) {
        const std::string path = mock->root_ / FilePath(c);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        mock->root_.Write(FilePath(c), c.Body);
        stampsOf[c.Original].push_back(c.Stamp);
        exact += "    \"/web/" + c.Stamp + "id_/" + c.Original + "\" here;\n";
        mementos += "    \"~^/web/" + c.Stamp + "id_/\" \"" + HttpDateOf(c.Stamp) + "\";\n";
    }
    std::string nearest;
    for (const auto& [original, stamps] : stampsOf)
        nearest += NearestRules(original, stamps);
    const std::string http =
        "map_hash_bucket_size 256;\n  map $uri $capture {\n    default none;\n" + exact + nearest +
        "}\n" + "  map $uri $original {\n    \"~^/web/[0-9]+[a-z_]*/(.*)$\" $1;\n  }\n" +
        "  map $uri $memento {\n" + mementos + "  }\n";
    const std::string server =
        "merge_slashes off;\n    absolute_redirect off;\n"
        "    location /web/ {\n"
        "      if ($capture = none) { return 404; }\n"
        "      if ($capture != here) { return 302 /web/${capture}id_/$original; }\n"
        "      add_header Memento-Datetime $memento;\n"
        "    }";
    mock->server_ = tls ? LocalServer::StartNginxTls(mock->root_.Path(),
                                                     tls->Certificate(TestCertificates::Kind::Good),
                                                     tls->Key(), server, http)
                        : LocalServer::StartNginx(mock->root_.Path(), server, http);
    if (!mock->server_) return nullptr;
    return mock;
}

} // namespace lumo::test
