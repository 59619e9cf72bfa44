// Sends one HTTP request and receives its response through WinHTTP, synchronously on the
// caller's thread. Failures raise HTTPException; calls out of order raise
// IllegalStateException.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace zem {
class CriticalSection;
namespace net {

class HTTPRequest;
class HTTPResponse;
class HTTPInputStream;
class HTTPOutputStream;

class HTTPClientSession {
public:
    static constexpr uint32_t DEFAULT_TIMEOUT_MS = 30000;

    // A session for the update service's host (set at build time), port 80, plain HTTP.
    static std::unique_ptr<HTTPClientSession> create();

    HTTPClientSession();
    ~HTTPClientSession();
    HTTPClientSession(const HTTPClientSession&) = delete;
    HTTPClientSession& operator=(const HTTPClientSession&) = delete;

    void setHost(const std::wstring& host, uint16_t port);
    const std::wstring& getHost() const { return m_host; }
    uint16_t getPort() const { return m_port; }
    void setSecure(bool secure) { m_secure = secure; }
    void setAgent(const std::wstring& agent) { m_agent = agent; }
    void setStrictCertificates(bool strict) { m_strictCertificates = strict; }
    void setNoRedirects(bool noRedirects) { m_noRedirects = noRedirects; }
    // Bounds resolving, connecting, sending, receiving and the wait for the response.
    void setTimeout(uint32_t milliseconds) { m_timeoutMs = milliseconds; }

    // Opens and sends the request; the returned body stream belongs to the request.
    // Throws HTTPException "Request had already been sent." when a request is open.
    HTTPOutputStream& sendRequest(HTTPRequest& request);
    // Reads the response's status line and header; the body stream belongs to the response.
    HTTPInputStream& receiveResponse(HTTPResponse& response);
    // The whole body as text (encoding from a byte-order mark, else UTF-8), read once and
    // kept in the response.
    const std::wstring& readResponseText(HTTPResponse& response);

    // Reads until n bytes are in or the body ends; returns the count read.
    int readData(char* buffer, int n);
    int writeData(const char* buffer, int n);
    // Closes the request handle (the request's body stream does this when destroyed).
    void closeRequest();
    // Any thread: closes the open handles, so that a call waiting for the server returns
    // with an error, and makes every later request fail with "Request was aborted.".
    void abort();
    bool isAborted();

    struct HandleCloser {
        void operator()(void* handle) const;
    };
    using Handle = std::unique_ptr<void, HandleCloser>;

private:
    void openRequest(HTTPRequest& request);
    void addHeaders(HTTPRequest& request);
    void send(HTTPRequest& request);
    // Points the request at the user's proxy settings; true when that already sent it.
    bool setRequestProxyByInternetExplorer(HTTPRequest& request);
    void checkOpen();
    // Takes a new handle into slot, or closes it and throws when the session was aborted.
    void keepUnlessAborted(Handle& slot, void* handle);
    void dropOpenRequest();

    std::wstring m_host;
    uint16_t m_port = 80;
    bool m_secure = false;
    std::wstring m_agent;
    bool m_strictCertificates = false;
    bool m_noRedirects = false;
    uint32_t m_timeoutMs = DEFAULT_TIMEOUT_MS;
    // Guards the handles' lifetimes and the flag against abort() on another thread; calls
    // already made with a handle run on without the lock.
    std::unique_ptr<CriticalSection> m_handleLock;
    bool m_aborted = false;
    Handle m_session;
    Handle m_connection;
    Handle m_request;
};

} // namespace net
} // namespace zem
