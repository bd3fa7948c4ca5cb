#include "tests/tools/zip_fixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

// Defined for every script: the central headers of an archive, and patching
// one of their fields in place.
constexpr const char* PythonPrelude = R"PY(
import os, struct, sys, zipfile, zlib

CENTRAL_FIELDS = {'crc': 16, 'csize': 20, 'usize': 24, 'offset': 42}

def central_headers(data):
    end = data.rfind(b'PK\x05\x06')
    count, size, start = struct.unpack_from('<HII', data, end + 10)
    headers, at = [], start
    for _ in range(count):
        headers.append(at)
        n, m, k = struct.unpack_from('<HHH', data, at + 28)
        at += 46 + n + m + k
    return headers

def patch_central(path, index, field, value):
    data = bytearray(open(path, 'rb').read())
    struct.pack_into('<I', data, central_headers(data)[index] + CENTRAL_FIELDS[field], value)
    open(path, 'wb').write(data)

def deflate(data):
    c = zlib.compressobj(9, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()

# Writes an archive byte by byte. Each member is (name, method, stored bytes,
# crc, size) with optional flags and external attributes after them.
def write_zip(path, members, comment=b''):
    out, central = bytearray(), bytearray()
    for name, method, data, crc, size, *rest in members:
        flags, attributes = (list(rest) + [0, 0])[:2]
        name = name.encode() if isinstance(name, str) else name
        offset = len(out)
        out += struct.pack('<IHHHHHIIIHH', 0x04034b50, 20, flags, method, 0, 0x21, crc,
                           len(data), size, len(name), 0) + name + data
        central += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, 0x031e, 20, flags, method, 0,
                               0x21, crc, len(data), size, len(name), 0, 0, 0, 0, attributes,
                               offset) + name
    out += central + struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, len(members), len(members),
                                 len(central), len(out), len(comment)) + comment
    open(path, 'wb').write(out)
)PY";

// The system's programs come first: a python3 of a version manager on the
// path starts far slower than the distribution's.
std::string ProgramPath(const std::string& name) {
    const QString q = QString::fromStdString(name);
    QString path = QStandardPaths::findExecutable(q, {"/usr/bin", "/bin"});
    if (path.isEmpty()) path = QStandardPaths::findExecutable(q);
    return path.toStdString();
}

} // namespace

bool HasProgram(const std::string& name) {
    return !ProgramPath(name).empty();
}

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               std::string* output, const std::string& folder) {
    QProcess process;
    QStringList list;
    for (const std::string& a : args)
        list << QString::fromStdString(a);
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!folder.empty()) process.setWorkingDirectory(QString::fromStdString(folder));
    const std::string path = ProgramPath(program);
    process.start(QString::fromStdString(path.empty() ? program : path), list);
    const bool finished = process.waitForFinished(600000);
    if (output) *output = process.readAll().toStdString();
    if (!finished || process.exitStatus() != QProcess::NormalExit) return -1;
    return process.exitCode();
}

void RunPython(const std::string& script, const std::vector<std::string>& args) {
    std::vector<std::string> all{"-c", std::string(PythonPrelude) + script};
    all.insert(all.end(), args.begin(), args.end());
    std::string output;
    ASSERT_EQ(RunProgram("python3", all, &output), 0) << output;
}

TExtraction Extract(TUnzipper& unzip) {
    TExtraction done;
    unzip.OnReport = [&](int64_t code, const TUnzipReport& report) {
        switch (report.Status) {
        case TReportStatus::MemberStart: ++done.starts; break;
        case TReportStatus::BytesWritten: done.bytesReported += static_cast<uint64_t>(code); break;
        case TReportStatus::MemberDone: done.members.emplace_back(report.Utf8Name, 0); break;
        case TReportStatus::MemberFailed:
            done.members.emplace_back(report.Utf8Name, static_cast<int>(code));
            break;
        case TReportStatus::Listed: break;
        }
    };
    done.result = unzip.Extract();
    return done;
}

TExtraction Extract(const std::string& archive, const std::string& target,
                    const std::vector<std::string>& specs, TUnzipQuestionEvent question) {
    TUnzipper unzip;
    unzip.ArchiveName = archive;
    unzip.TargetDir = target;
    unzip.FileSpecs = specs;
    unzip.OnQuestion = std::move(question);
    return Extract(unzip);
}

std::map<std::string, std::string> TreeOf(const std::string& folder) {
    std::map<std::string, std::string> tree;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path& path = it->path();
        const std::string name = fs::relative(path, folder).string();
        if (it->is_symlink()) {
            tree[name] = "link -> " + fs::read_symlink(path).string();
        } else if (it->is_directory()) {
            tree[name] = "dir";
        } else if (it->file_size() > 16 * 1024 * 1024) {
            tree[name] = "size " + std::to_string(it->file_size());
        } else {
            std::ifstream in(path, std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            tree[name] = bytes.str();
        }
    }
    return tree;
}

std::vector<std::string> Changes(const std::map<std::string, std::string>& before,
                                 const std::map<std::string, std::string>& after) {
    std::vector<std::string> changed;
    for (const auto& [name, what] : after) {
        const auto old = before.find(name);
        if (old == before.end() || old->second != what) changed.push_back(name);
    }
    return changed;
}

std::map<std::string, uint64_t> InfoZipListing(const std::string& archive) {
    std::string output;
    RunProgram("unzip", {"-l", archive}, &output);
    // Lines between the two dashed rules: length, date, time, name.
    std::map<std::string, uint64_t> members;
    std::istringstream lines(output);
    std::string line;
    int rules = 0;
    while (std::getline(lines, line)) {
        if (line.starts_with("---------")) {
            ++rules;
            continue;
        }
        if (rules != 1) continue;
        std::istringstream fields(line);
        uint64_t length = 0;
        std::string date, time, name;
        fields >> length >> date >> time;
        std::getline(fields >> std::ws, name);
        members[name] = length;
    }
    return members;
}

bool InfoZipTestsClean(const std::string& archive) {
    return RunProgram("unzip", {"-tq", archive}) == 0;
}

} // namespace lumo::test
