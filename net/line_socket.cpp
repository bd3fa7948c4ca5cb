#include "net/line_socket.h"

#include "platform/socket_api.h"

#include <algorithm>

namespace lumo {

namespace {
constexpr size_t MaxRead = 64 * 1024;
}

void TLineSocket::SetLineMode(bool on) {
    if (on == lineMode_) return;
    lineMode_ = on;
    if (buffer_.Size() > 0) PostMessage(WM_TRIGGER_DATA_AVAILABLE);
}

LRESULT TLineSocket::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_TRIGGER_DATA_AVAILABLE) return TTlsSocket::WndProc(msg, wParam, lParam);
    if (!delivering_) RunGuarded([this] { DeliverBuffered(TLineBuffer::Final::No); });
    return 0;
}

bool TLineSocket::TriggerDataAvailable(uint16_t error) {
    if (!Lines()) return TTlsSocket::TriggerDataAvailable(error);
    const SessionWatch watch(*this);
    ReadIntoBuffer();
    if (watch.Same() && !delivering_) DeliverLines(TLineBuffer::Final::No);
    return true;
}

// Reads what is waiting, as far as the buffer's limit allows; at the limit
// the waiting bytes are a line of their own and must be taken first.
void TLineSocket::ReadIntoBuffer() {
    const long pending = TTlsSocket::PendingByteCount();
    size_t room = buffer_.Room();
    if (pending <= 0 || room == 0) return;
    if (LineEdit) room = std::max<size_t>(room / TLineBuffer::TabWidth, 1); // tabs grow
    const size_t chunk = std::min({static_cast<size_t>(pending), room, MaxRead});
    if (LineEdit) {
        scratch_.resize(chunk);
        const int n = TTlsSocket::Receive(scratch_.data(), static_cast<int>(chunk));
        if (n > 0) EditLine(std::string_view(scratch_.data(), static_cast<size_t>(n)));
        return;
    }
    const int n = TTlsSocket::Receive(buffer_.Reserve(chunk), static_cast<int>(chunk));
    buffer_.Commit(static_cast<size_t>(std::max(n, 0)));
    if (n > 0 && LineEcho) {
        const std::string echo(buffer_.Bytes().substr(buffer_.Size() - static_cast<size_t>(n)));
        SendString(echo);
    }
}

void TLineSocket::EditLine(std::string_view received) {
    std::string echo;
    buffer_.AppendEdited(received, LineEnd, LineEcho ? &echo : nullptr);
    if (!echo.empty()) SendString(echo);
}

// Offers lines while one is waiting and the owner takes something of each;
// one that is not taken waits for the next arrival.
void TLineSocket::DeliverLines(TLineBuffer::Final final) {
    const SessionWatch watch(*this);
    delivering_ = true;
    while (Lines()) {
        const size_t line = buffer_.FindLine(LineEnd, final);
        if (line == 0) break;
        if (!TAsyncSocket::TriggerDataAvailable(0)) {
            buffer_.DiscardLine(); // nobody listens: the line is dropped
            continue;
        }
        if (!watch.Alive()) return;
        if (buffer_.LineLeft() == line) break;
    }
    delivering_ = false;
}

void TLineSocket::DeliverBuffered(TLineBuffer::Final final) {
    if (Lines()) return DeliverLines(final);
    const SessionWatch watch(*this);
    delivering_ = true;
    while (buffer_.Size() > 0 && !Lines()) {
        const size_t before = buffer_.Size();
        if (!TAsyncSocket::TriggerDataAvailable(0)) {
            buffer_.Clear(); // as the plain socket throws away what nobody takes
            break;
        }
        if (!watch.Alive()) return;
        if (buffer_.Size() == before) break;
    }
    delivering_ = false;
}

int TLineSocket::Receive(void* buffer, int len) {
    if (len <= 0) return 0;
    char* out = static_cast<char*>(buffer);
    if (Lines()) {
        buffer_.FindLine(LineEnd);
        if (const size_t n = buffer_.Read(out, static_cast<size_t>(len), TLineBuffer::Lines::Yes))
            return static_cast<int>(n);
        SetLastError(WSAEWOULDBLOCK);
        SocketSetLastError(WSAEWOULDBLOCK);
        return -1;
    }
    if (buffer_.Size() > 0)
        return static_cast<int>(
            buffer_.Read(out, static_cast<size_t>(len), TLineBuffer::Lines::No));
    return TTlsSocket::Receive(buffer, len);
}

long TLineSocket::PendingByteCount() {
    if (Lines()) return static_cast<long>(buffer_.FindLine(LineEnd));
    if (buffer_.Size() > 0) return static_cast<long>(buffer_.Size());
    return TTlsSocket::PendingByteCount();
}

void TLineSocket::TriggerSessionClosed(uint16_t error) {
    if (buffer_.Size() > 0 && !delivering_) {
        const SessionWatch watch(*this);
        DeliverBuffered(TLineBuffer::Final::Yes); // the last line has no end
        if (!watch.Alive()) return;
    }
    buffer_.Clear();
    TTlsSocket::TriggerSessionClosed(error);
}

void TLineSocket::Abort() {
    buffer_.Clear();
    TTlsSocket::Abort();
}

void TLineSocket::ResetDefaults() {
    buffer_.Clear();
    TTlsSocket::ResetDefaults();
}

} // namespace lumo
