#include "platform/atomic_file_device.h"

namespace lumo {

bool TAtomicFileDevice::open(OpenMode mode) {
    if ((mode & ReadOnly) || !file_.Open()) return false;
    return QIODevice::open(mode);
}

bool TAtomicFileDevice::Commit() {
    const bool committed = isOpen() && file_.Commit();
    QIODevice::close();
    return committed;
}

qint64 TAtomicFileDevice::writeData(const char* data, qint64 count) {
    if (!file_.Write(data, static_cast<size_t>(count))) {
        setErrorString(QString::fromStdString(file_.Error()));
        return -1;
    }
    return count;
}

} // namespace lumo
