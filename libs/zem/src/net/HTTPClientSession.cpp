#include "zem/net/HTTPClientSession.h"

#include "zem/base/Assert.h"
#include "zem/base/Exception.h"
#include "zem/net/HTTPError.h"
#include "zem/net/HTTPRequest.h"
#include "zem/net/HTTPResponse.h"
#include "zem/net/HTTPStream.h"
#include "zem/text/StreamTextReader.h"
#include "zem/thread/CriticalSection.h"

#include <windows.h>
#include <winhttp.h>

#include <sstream>
#include <vector>

#ifndef CORVEL_UPDATE_HOST
#define CORVEL_UPDATE_HOST L"updates.corvel.invalid"
#endif

namespace zem {
namespace net {

namespace {

[[noreturn]] void throwLastError() {
    throwHTTPError(GetLastError());
}

// Frees the strings WinHTTP hands out in proxy records.
struct GlobalString {
    LPWSTR text;
    explicit GlobalString(LPWSTR value) : text(value) {}
    ~GlobalString() {
        if (text)
            GlobalFree(text);
    }
    GlobalString(const GlobalString&) = delete;
    GlobalString& operator=(const GlobalString&) = delete;
};

} // namespace

void HTTPClientSession::HandleCloser::operator()(void* handle) const {
    WinHttpCloseHandle(handle);
}

std::unique_ptr<HTTPClientSession> HTTPClientSession::create() {
    return std::make_unique<HTTPClientSession>();
}

HTTPClientSession::HTTPClientSession() : m_host(CORVEL_UPDATE_HOST), m_handleLock(new CriticalSection) {}

HTTPClientSession::~HTTPClientSession() {
    // Only what was opened is closed: a session that never sent holds no handles.
    CriticalSectionLock guard(*m_handleLock);
    m_request.reset();
    m_connection.reset();
    m_session.reset();
}

void HTTPClientSession::setHost(const std::wstring& host, uint16_t port) {
    m_host = host;
    m_port = port;
}

void HTTPClientSession::abort() {
    CriticalSectionLock guard(*m_handleLock);
    m_aborted = true;
    m_request.reset();
    m_connection.reset();
    m_session.reset();
}

bool HTTPClientSession::isAborted() {
    CriticalSectionLock guard(*m_handleLock);
    return m_aborted;
}

void HTTPClientSession::keepUnlessAborted(Handle& slot, void* handle) {
    CriticalSectionLock guard(*m_handleLock);
    if (m_aborted) {
        if (handle)
            WinHttpCloseHandle(handle);
        throw HTTPException(L"Request was aborted.");
    }
    slot.reset(handle);
}

void HTTPClientSession::dropOpenRequest() {
    CriticalSectionLock guard(*m_handleLock);
    m_request.reset();
    m_connection.reset();
}

HTTPOutputStream& HTTPClientSession::sendRequest(HTTPRequest& request) {
    if (isAborted())
        throw HTTPException(L"Request was aborted.");
    if (m_request)
        throw HTTPException(L"Request had already been sent.");
    if (!m_session) {
        keepUnlessAborted(m_session, WinHttpOpen(m_agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                                 WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
        if (!m_session)
            throwLastError();
        int timeout = static_cast<int>(m_timeoutMs);
        if (!WinHttpSetTimeouts(m_session.get(), timeout, timeout, timeout, timeout))
            throwLastError();
    }
    ZEM_ASSERT_MSG(m_session != nullptr, L"m_handle_session != NULL");
    ZEM_ASSERT_MSG(m_connection == nullptr, L"m_handle_connection == NULL");
    keepUnlessAborted(m_connection, WinHttpConnect(m_session.get(), m_host.c_str(), m_port, 0));
    if (!m_connection)
        throwLastError();
    try {
        openRequest(request);
        addHeaders(request);
        send(request);
    } catch (...) {
        dropOpenRequest();
        throw;
    }
    auto* stream = new HTTPOutputStream(*this);
    request.setBodyStream(stream);
    return *stream;
}

void HTTPClientSession::openRequest(HTTPRequest& request) {
    // The stored target may lack the leading "/" that a request line needs.
    std::wstring target = request.getURI();
    if (target.empty() || target[0] != L'/')
        target.insert(target.begin(), L'/');
    auto referer = request.find(L"Referer");
    const wchar_t* referrer = referer != request.end() ? referer->second.c_str() : WINHTTP_NO_REFERER;
    keepUnlessAborted(m_request, WinHttpOpenRequest(m_connection.get(), request.getMethod().c_str(), target.c_str(),
                                                    request.getVersion().c_str(), referrer,
                                                    WINHTTP_DEFAULT_ACCEPT_TYPES, m_secure ? WINHTTP_FLAG_SECURE : 0));
    if (!m_request)
        throwLastError();
    DWORD timeout = m_timeoutMs;
    if (!WinHttpSetOption(m_request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &timeout, sizeof timeout))
        throwLastError();
    if (m_secure && !m_strictCertificates) {
        DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                      SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;
        WinHttpSetOption(m_request.get(), WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags);
    }
}

void HTTPClientSession::addHeaders(HTTPRequest& request) {
    std::wostringstream text;
    request.MessageHeader::write(text);
    std::wstring headers = text.str();
    if (!headers.empty() &&
        !WinHttpAddRequestHeaders(m_request.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                                  WINHTTP_ADDREQ_FLAG_COALESCE_WITH_SEMICOLON))
        throwLastError();
    if (m_noRedirects) {
        DWORD feature = WINHTTP_DISABLE_REDIRECTS;
        if (!WinHttpSetOption(m_request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &feature, sizeof feature))
            throwLastError();
    }
}

void HTTPClientSession::send(HTTPRequest& request) {
    if (WinHttpSendRequest(m_request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
        return;
    // The direct attempt failed: try once more through the user's proxy settings. Settings
    // without a proxy are no error of their own; the second attempt's failure is reported.
    if (setRequestProxyByInternetExplorer(request))
        return;
    if (!WinHttpSendRequest(m_request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
        throwLastError();
}

bool HTTPClientSession::setRequestProxyByInternetExplorer(HTTPRequest& request) {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config = {};
    if (!WinHttpGetIEProxyConfigForCurrentUser(&config))
        throwLastError();
    GlobalString autoConfigUrl(config.lpszAutoConfigUrl);
    GlobalString proxy(config.lpszProxy);
    GlobalString bypass(config.lpszProxyBypass);
    if (autoConfigUrl.text) {
        WINHTTP_AUTOPROXY_OPTIONS options = {};
        options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT | WINHTTP_AUTOPROXY_CONFIG_URL;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP;
        options.lpszAutoConfigUrl = autoConfigUrl.text;
        options.fAutoLogonIfChallenged = TRUE;
        std::wstring url = m_port == 443 ? L"https://" : L"http://";
        url += m_host;
        if (request.getURI().empty() || request.getURI()[0] != L'/')
            url += L'/';
        url += request.getURI();
        WINHTTP_PROXY_INFO info = {};
        if (WinHttpGetProxyForUrl(m_session.get(), url.c_str(), &options, &info)) {
            GlobalString infoProxy(info.lpszProxy);
            GlobalString infoBypass(info.lpszProxyBypass);
            if (WinHttpSetOption(m_request.get(), WINHTTP_OPTION_PROXY, &info, sizeof info) &&
                WinHttpSendRequest(m_request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
                return true;
        }
        return false;
    }
    if (proxy.text) {
        // Copied whole: a fixed-size copy would cut a long proxy list short.
        std::vector<wchar_t> proxyCopy(proxy.text, proxy.text + wcslen(proxy.text) + 1);
        std::vector<wchar_t> bypassCopy;
        if (bypass.text)
            bypassCopy.assign(bypass.text, bypass.text + wcslen(bypass.text) + 1);
        WINHTTP_PROXY_INFO info = {};
        info.dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
        info.lpszProxy = proxyCopy.data();
        info.lpszProxyBypass = bypassCopy.empty() ? nullptr : bypassCopy.data();
        WinHttpSetOption(m_request.get(), WINHTTP_OPTION_PROXY, &info, sizeof info);
    }
    return false;
}

void HTTPClientSession::checkOpen() {
    if (isAborted())
        throw HTTPException(L"Request was aborted.");
    if (!m_session)
        throw IllegalStateException(L"Session is not open.");
    if (!m_connection)
        throw IllegalStateException(L"Connection is not open.");
    if (!m_request)
        throw IllegalStateException(L"Request is not open.");
}

HTTPInputStream& HTTPClientSession::receiveResponse(HTTPResponse& response) {
    checkOpen();
    if (!WinHttpReceiveResponse(m_request.get(), nullptr))
        throwLastError();
    DWORD size = 0;
    std::wstring raw;
    if (!WinHttpQueryHeaders(m_request.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                             WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX) &&
        GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1);
        if (!WinHttpQueryHeaders(m_request.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                                 buffer.data(), &size, WINHTTP_NO_HEADER_INDEX))
            throwLastError();
        raw.assign(buffer.data(), size / sizeof(wchar_t));
    }
    std::wistringstream text(raw);
    response.read(text);
    auto* stream = new HTTPInputStream(*this);
    response.setBodyStream(stream);
    return *stream;
}

const std::wstring& HTTPClientSession::readResponseText(HTTPResponse& response) {
    if (response.hasBodyText())
        return response.getBodyText();
    StreamTextReader* reader = response.getBodyReader();
    if (!reader)
        throw NullPointerException(L"Null reference.");
    std::wstring text;
    reader->readAll(text);
    response.setBodyText(text);
    return response.getBodyText();
}

int HTTPClientSession::readData(char* buffer, int n) {
    throwIfNull(buffer);
    checkOpen();
    int total = 0;
    while (total < n) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(m_request.get(), &available))
            throwLastError();
        DWORD wanted = static_cast<DWORD>(n - total);
        if (available < wanted)
            wanted = available;
        DWORD read = 0;
        if (!WinHttpReadData(m_request.get(), buffer + total, wanted, &read))
            throwLastError();
        if (read == 0)
            break;
        total += static_cast<int>(read);
    }
    return total;
}

int HTTPClientSession::writeData(const char* buffer, int n) {
    throwIfNull(buffer);
    checkOpen();
    DWORD written = 0;
    if (!WinHttpWriteData(m_request.get(), buffer, static_cast<DWORD>(n), &written))
        throwLastError();
    return static_cast<int>(written);
}

void HTTPClientSession::closeRequest() {
    CriticalSectionLock guard(*m_handleLock);
    m_request.reset();
}

} // namespace net
} // namespace zem
