// The asynchronous socket: one TCP (or UDP) socket in non-blocking,
// message-driven form. Readiness and name look-up results arrive as messages
// to the socket's hidden window and come out as events on the thread that
// created it. Outgoing data waits in a queue of 1514-byte buffers and is
// written whenever the network takes more, so a send never blocks.
#pragma once

#include "net/send_buffer.h"
#include "platform/exception.h"
#include "platform/message_window.h"
#include "platform/types.h"

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

class SocketWatcher;

enum TSocketState : uint8_t {
    wsInvalidState,
    wsOpened,
    wsBound,
    wsConnecting,
    wsConnected,
    wsAccepting,
    wsListening,
    wsClosed
};
enum TSocketSendFlags : uint8_t { wsSendNormal, wsSendUrgent };
enum TSocketLingerOnOff : uint8_t { wsLingerOff, wsLingerOn, wsLingerNoSet };

class ESocketException : public Exception {
public:
    using Exception::Exception;
};

// The socket's window messages and the event bits of a notification.
inline constexpr UINT WM_ASYNCSELECT = WM_USER + 1;
inline constexpr UINT WM_ASYNCGETHOSTBYNAME = WM_USER + 2;
inline constexpr UINT WM_ASYNCGETHOSTBYADDR = WM_USER + 3;
inline constexpr UINT WM_TRIGGER_DATA_AVAILABLE = WM_USER + 20;
inline constexpr int FD_READ = 1, FD_WRITE = 2, FD_OOB = 4, FD_ACCEPT = 8, FD_CONNECT = 16,
                     FD_CLOSE = 32;

// The text of a WinSock error number: "Connection refused" for 10061.
std::string SocketErrorText(int error);

// The resolvers Connect and Listen use; each raises ESocketException. A host
// is a dotted address or a name (looked up at once, blocking); an address is
// in network order. A port is a number or a service name of the protocol.
uint32_t ResolveHostAddress(const std::string& host);
int ResolvePortNumber(const std::string& port, const std::string& proto);

class TAsyncSocket {
public:
    using ErrorEvent = std::function<void(TAsyncSocket* Sender, uint16_t Error)>;

    TAsyncSocket();
    virtual ~TAsyncSocket();
    TAsyncSocket(const TAsyncSocket&) = delete;
    TAsyncSocket& operator=(const TAsyncSocket&) = delete;

    // Settable only while closed; values are trimmed.
    const std::string& Addr() const { return addr_; }
    void SetAddr(std::string_view value);
    const std::string& Port() const { return port_; }
    virtual void SetPort(std::string_view value);
    const std::string& Proto() const { return proto_; }
    virtual void SetProto(std::string_view value);
    const std::string& LocalPort() const { return localPort_; }
    void SetLocalPort(std::string_view value);

    const std::string& DnsResult() const { return dnsResult_; }
    const std::vector<std::string>& DnsResultList() const { return dnsResultList_; }
    TSocketState State() const { return state_; }
    int64_t ReadCount() const { return readCount_; }
    // Bytes waiting in the network layer, asked each time; -1 on an error.
    long RcvdCount();
    int LastError() const { return lastError_; }
    int Handle() const { return handle_; }

    TSocketSendFlags SendFlags() const;
    void SetSendFlags(int flags);

    bool MultiThreaded = false;
    int FlushTimeout = 60;
    TSocketLingerOnOff LingerOnOff = wsLingerOn;
    int LingerTimeout = 0;

    ErrorEvent OnDataAvailable, OnDataSent, OnSessionClosed, OnSessionAvailable, OnSessionConnected,
        OnDnsLookupDone;
    std::function<void(TAsyncSocket* Sender, TSocketState OldState, TSocketState NewState)>
        OnChangeState;
    std::function<void(TAsyncSocket* Sender)> OnError;
    std::function<void(TAsyncSocket* Sender, const std::exception& E, bool& CanClose)>
        OnBgException;

    virtual void Connect();
    virtual void Close();
    virtual void Abort();
    // Tries to send and pumps messages until the queue is empty or the socket is gone.
    void Flush();
    // Reads until the peer closes, throwing the data away.
    void DrainUntilClosed();
    virtual void Listen();
    // The handle of a connection accepted on a listening socket, -1 on failure.
    virtual int Accept();
    // Takes over a connected handle accepted elsewhere.
    void AdoptHandle(int handle);

    // At most len bytes; the count, 0 when the peer has closed, -1 on an error.
    virtual int Receive(void* buffer, int len);
    std::string ReceiveString();
    // Queues the bytes and tries to write them; len, 0 for len <= 0, -1 when not connected.
    virtual int Send(const void* data, int len);
    int SendString(std::string_view s) { return Send(s.data(), static_cast<int>(s.size())); }

    void LookupHost(const std::string& hostName);
    void AddressLookup(const std::string& hostAddr);
    void CancelLookup();

    std::string PeerAddress();
    std::string PeerName() { return PeerAddress(); }
    std::string LocalPortText();
    static std::string LocalName();
    void Shutdown(int how);
    void Pause();
    void Resume();
    void ProcessMessages();

protected:
    // Where Connect opens its connection: an IPv4 address in network order
    // and a port in host order.
    struct TEndpoint {
        uint32_t Address = 0;
        int Port = 0;
    };

    // Tells, after an event handler ran, whether the socket still lives and,
    // for Same, still holds the connection it held when the watch began.
    class SessionWatch {
    public:
        explicit SessionWatch(const TAsyncSocket& s)
            : s_(s), alive_(s.alive_), generation_(s.generation_) {}
        bool Alive() const { return *alive_; }
        bool Same() const { return *alive_ && generation_ == s_.generation_ && s_.handle_ >= 0; }

    private:
        const TAsyncSocket& s_;
        std::shared_ptr<bool> alive_;
        WPARAM generation_;
    };

    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Runs one step of message handling; an exception it raises goes to
    // HandleEventException, never into the event loop.
    void RunGuarded(const std::function<void()>& step);
    // Addr and Port resolved; a layer above may route the connection elsewhere.
    virtual TEndpoint ConnectEndpoint();
    void PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    void SetLastError(int error) { lastError_ = error; }
    bool IsStream() const { return stream_; }
    virtual void ResetDefaults();
    virtual void CloseAndNotify(bool shut, int error);
    virtual long PendingByteCount();
    virtual void BindLocal();
    virtual void ReportError(const std::string& msg);
    void ReportSocketError(const std::string& function);
    // Fires OnSessionClosed when a session is open; false when its handler
    // freed the socket.
    bool EndSession(int error);
    virtual void HandleEventException(const std::exception& e);

    virtual bool TriggerDataAvailable(uint16_t error);
    virtual void TriggerSessionAvailable(uint16_t error);
    virtual void TriggerSessionConnected(uint16_t error);
    virtual void TriggerSessionClosed(uint16_t error);
    virtual void TriggerDataSent(uint16_t error);
    virtual void TriggerChangeState(TSocketState oldState, TSocketState newState);
    virtual void TriggerDnsLookupDone(uint16_t error);
    virtual void TriggerError();
    virtual int RecvRaw(void* buffer, int len);

    void ChangeState(TSocketState newState);
    bool Destroying() const { return destroying_; }

private:
    void Notify(int events, int error);
    void ReadLoop(int error);
    void SendQueued();
    void DropQueue();
    void ReadyToWatch(int handle);
    void WatchForMore();
    void LookupDone(WPARAM id, int error);
    void StartLookup(const std::string& name, bool reverse);
    bool StopLookup();
    void SetLingerOption();
    // Sets a property that may change only while closed; true when it changed.
    bool ChangeProperty(const char* name, std::string& field, bool& assigned, bool& resolved,
                        std::string_view value);

    std::unique_ptr<MessageWindow> window_;
    // False once the socket is destroyed; handlers check it after every event,
    // because an owner may free the socket from inside one.
    std::shared_ptr<bool> alive_;
    std::unique_ptr<SocketWatcher> watcher_;
    int handle_ = -1;
    // Changes with every handle, so a notification for a closed socket is
    // never taken for one of a socket that got the same descriptor.
    WPARAM generation_ = 0;
    TSocketState state_ = wsClosed;
    std::string addr_, port_, proto_ = "tcp", localPort_ = "0";
    bool addrAssigned_ = false, portAssigned_ = false, protoAssigned_ = true;
    bool addrResolved_ = false, portResolved_ = false, protoResolved_ = false,
         localPortResolved_ = false;
    uint32_t remoteAddress_ = 0;
    int remotePort_ = 0, localPortNumber_ = 0, protocol_ = 0;
    bool stream_ = true;
    std::string dnsResult_;
    std::vector<std::string> dnsResultList_;
    uint64_t lookupId_ = 0;
    std::vector<std::string> lookupAddresses_;
    std::deque<TSendBuffer> queue_;
    bool allSent_ = true, dataSentDue_ = false, paused_ = false, destroying_ = false;
    // A handle was opened (connect, listen, adopt) and OnSessionClosed has not
    // yet told of its close: every close of it tells exactly once.
    bool sessionOpen_ = false;
    int64_t readCount_ = 0;
    int lastError_ = 0;
    int receiveError_ = 0; // a failure seen by Receive, reported again with the close
    // What the last Receive met; the read loop and the close check go by it
    // instead of asking the network layer again.
    enum class Received : uint8_t { Nothing, Part, Full, WouldBlock, End, Failure };
    Received received_ = Received::Nothing;
    TSocketSendFlags sendFlags_ = wsSendNormal;
};

} // namespace lumo
