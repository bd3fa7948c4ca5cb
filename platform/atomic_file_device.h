// A QIODevice that writes a file whole or not at all (platform/atomic_file.h),
// for Qt writers that take a device: every write is checked, and Commit puts
// the file in place only when all of them reached it.
#pragma once

#include "platform/atomic_file.h"

#include <QIODevice>

#include <string>
#include <string_view>

namespace lumo {

class TAtomicFileDevice : public QIODevice {
public:
    explicit TAtomicFileDevice(std::string_view name) : file_(name) {}

    // Opens for writing only; false when the temporary file cannot be made.
    bool open(OpenMode mode) override;
    bool isSequential() const override { return true; }
    // Closes and puts the file in place; false when anything failed.
    bool Commit();
    const std::string& Error() const { return file_.Error(); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 count) override;

private:
    TAtomicFile file_;
};

} // namespace lumo
