// A one-connection HTTP server on 127.0.0.1 for the tests of the code that talks to the
// update service: it answers with a canned reply, stays silent or hangs up, and records
// the request it got. Test programs that use it link ws2_32.
#pragma once
#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>
#include <thread>

namespace zemtest {

// Serves connections on 127.0.0.1 one after another (one by default) with a canned answer,
// recording the requests it got. It stops at the first wait for a client longer than idleMs.
class LoopbackServer {
public:
    enum Mode { ANSWER, SILENT, CLOSE_EARLY };

    LoopbackServer(Mode mode, std::string answer, int connections = 1, int idleMs = 10000)
        : m_mode(mode), m_answer(std::move(answer)), m_connections(connections), m_idleMs(idleMs) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_requested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(m_listener, connections);
        int length = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }

    ~LoopbackServer() {
        SetEvent(m_stop);
        if (m_thread.joinable())
            m_thread.join();
        closesocket(m_listener);
        CloseHandle(m_stop);
        CloseHandle(m_requested);
        WSACleanup();
    }

    uint16_t port() const { return m_port; }
    // Whether a whole request came in within the time-out.
    bool waitForRequest(DWORD timeoutMs) { return WaitForSingleObject(m_requested, timeoutMs) == WAIT_OBJECT_0; }
    // What the client sent; complete once the client has read the answer.
    std::string request() {
        SetEvent(m_stop);
        if (m_thread.joinable())
            m_thread.join();
        return m_request;
    }

private:
    static bool readable(SOCKET s, int timeoutMs) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval wait = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
        return select(0, &set, nullptr, nullptr, &wait) == 1;
    }

    void readRequest(SOCKET client) {
        size_t bodyStart = std::string::npos;
        size_t length = 0;
        char chunk[4096];
        while (readable(client, 10000)) {
            int got = recv(client, chunk, sizeof chunk, 0);
            if (got <= 0)
                return;
            m_request.append(chunk, static_cast<size_t>(got));
            if (bodyStart == std::string::npos) {
                bodyStart = m_request.find("\r\n\r\n");
                if (bodyStart == std::string::npos)
                    continue;
                bodyStart += 4;
                size_t field = m_request.find("Content-Length: ");
                if (field != std::string::npos && field < bodyStart)
                    length = std::stoul(m_request.substr(field + 16));
            }
            if (m_request.size() >= bodyStart + length)
                return;
        }
    }

    void serve() {
        for (int served = 0; served < m_connections; ++served) {
            if (!readable(m_listener, m_idleMs))
                return;
            SOCKET client = accept(m_listener, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                return;
            readRequest(client);
            SetEvent(m_requested);
            if (m_mode == ANSWER)
                send(client, m_answer.data(), static_cast<int>(m_answer.size()), 0);
            if (m_mode == SILENT)
                WaitForSingleObject(m_stop, 10000);
            shutdown(client, SD_BOTH);
            closesocket(client);
        }
    }

    Mode m_mode;
    std::string m_answer;
    int m_connections;
    int m_idleMs;
    SOCKET m_listener;
    uint16_t m_port = 0;
    HANDLE m_stop;
    HANDLE m_requested;    // set once the request was read
    std::string m_request; // written by the server thread until it is joined
    std::thread m_thread;
};

// A port on 127.0.0.1 that nobody listens on (bound once, then released).
inline uint16_t deadLoopbackPort() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(probe);
    WSACleanup();
    return ntohs(address.sin_port);
}

// An HTTP/1.0 reply with its length, closing the connection.
inline std::string httpAnswer(const std::string& statusLine, const std::string& body, const std::string& extra = "") {
    return statusLine + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + extra +
           "Connection: close\r\n\r\n" + body;
}

} // namespace zemtest
