// The line layer of the socket: with LineMode on, received data is kept
// until a LineEnd arrives and each OnDataAvailable then offers one line,
// which Receive returns with its end (and RcvdCount measures). LineEdit
// applies backspace and tab as a terminal types them; LineEcho sends what
// arrives back. With LineMode off and nothing buffered, every call passes
// straight through.
#pragma once

#include "net/line_buffer.h"
#include "net/tls_socket.h"

namespace lumo {

class TLineSocket : public TTlsSocket {
public:
    bool LineMode() const { return lineMode_; }
    // Bytes already buffered are offered again from the event loop, as lines
    // or, with line mode off, as they stand.
    virtual void SetLineMode(bool on);
    std::string LineEnd = "\r\n";
    bool LineEcho = false;
    bool LineEdit = false;
    // Bytes without a line end that are offered as a line all the same, so a
    // peer that never ends its line cannot fill the memory.
    size_t LineLimit() const { return buffer_.Limit(); }
    void SetLineLimit(size_t bytes) { buffer_.SetLimit(bytes); }

    int Receive(void* buffer, int len) override;
    void Abort() override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void ResetDefaults() override;
    long PendingByteCount() override;
    bool TriggerDataAvailable(uint16_t error) override;
    void TriggerSessionClosed(uint16_t error) override;
    // Takes newly received bytes into the buffer, edited, and echoes them.
    virtual void EditLine(std::string_view received);

private:
    bool Lines() const { return lineMode_ && !LineEnd.empty() && !SocksNegotiating(); }
    void ReadIntoBuffer();
    void DeliverLines(TLineBuffer::Final final);
    void DeliverBuffered(TLineBuffer::Final final);

    TLineBuffer buffer_;
    std::string scratch_;
    bool lineMode_ = false;
    bool delivering_ = false;
};

} // namespace lumo
