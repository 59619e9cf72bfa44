#include "zem/net/HTTPClientSession.h"

#include "zem/base/Exception.h"
#include "zem/net/HTMLForm.h"
#include "zem/net/HTTPError.h"
#include "zem/net/HTTPRequest.h"
#include "zem/net/HTTPResponse.h"
#include "zem/net/HTTPStream.h"

#include "support/LoopbackServer.h"

#include <winsock2.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

using namespace zem::net;
using zemtest::LoopbackServer;

class HTTPClientSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Wine's WinHTTP takes a proxy from these; the loopback server must be reached directly.
        for (const wchar_t* name : {L"http_proxy", L"HTTP_PROXY", L"https_proxy", L"HTTPS_PROXY", L"all_proxy"})
            SetEnvironmentVariableW(name, nullptr);
    }

    std::unique_ptr<HTTPClientSession> sessionFor(uint16_t port, uint32_t timeoutMs = 10000) {
        auto session = HTTPClientSession::create();
        session->setHost(L"127.0.0.1", port);
        session->setTimeout(timeoutMs);
        return session;
    }
};

using zemtest::httpAnswer;

TEST_F(HTTPClientSessionTest, PostsTheUpdateFormAndReadsTheAnswer) {
    LoopbackServer server(LoopbackServer::ANSWER,
                          httpAnswer("HTTP/1.0 200 OK", "{\"v\":\"h\xC3\xA9\"}", "Content-Type: application/json\r\n"));
    auto session = sessionFor(server.port());
    auto request = HTTPRequest::create();
    auto response = HTTPResponse::create();
    HTMLForm form;
    form.set(L"build[version]", L"3.5");
    form.set(L"build[branch]", L"stable");
    form.set(L"build[number]", L"1234");
    form.prepareSubmit(*request);
    std::ostream& body = session->sendRequest(*request);
    form.write(body);
    body.flush();
    session->receiveResponse(*response);
    EXPECT_EQ(200, response->getStatus());
    EXPECT_EQ(L"OK", response->getReason());
    EXPECT_EQ(L"application/json", response->get(L"content-type"));
    EXPECT_EQ(L"{\"v\":\"h\x00E9\"}", session->readResponseText(*response));
    EXPECT_EQ(L"{\"v\":\"h\x00E9\"}", session->readResponseText(*response));
    EXPECT_EQ(L"corvel/version/check", request->getURI());

    std::string wire = server.request();
    EXPECT_EQ(0u, wire.find("POST /corvel/version/check HTTP/1.0\r\n")) << wire;
    const char* expectedLines[] = {"\r\nConnection: Close\r\n", "\r\nContent-Length: 58\r\n",
                                   "\r\nContent-Type: application/x-www-form-urlencoded\r\n"};
    for (const char* line : expectedLines)
        EXPECT_NE(std::string::npos, wire.find(line)) << line << " missing in " << wire;
    EXPECT_EQ("\r\n\r\nbuild[branch]=stable&build[number]=1234&build[version]=3.5", wire.substr(wire.size() - 62));
}

TEST_F(HTTPClientSessionTest, ShortEmptyAndMarkedBodies) {
    {
        LoopbackServer server(LoopbackServer::ANSWER, httpAnswer("HTTP/1.1 404 Not Found", "abc"));
        auto session = sessionFor(server.port());
        HTTPRequest request;
        HTTPResponse response;
        request.set(L"Referer", L"http://from.example/");
        session->sendRequest(request);
        session->receiveResponse(response);
        EXPECT_EQ(404, response.getStatus());
        EXPECT_EQ(L"Not Found", response.getReason());
        char buffer[16];
        EXPECT_EQ(3, session->readData(buffer, sizeof buffer));
        EXPECT_EQ(0, session->readData(buffer, sizeof buffer));
        EXPECT_EQ("abc", std::string(buffer, 3));
        std::string wire = server.request();
        EXPECT_EQ(0u, wire.find("GET / HTTP/1.0\r\n")) << wire;
        EXPECT_NE(std::string::npos, wire.find("Referer: http://from.example/\r\n")) << wire;
    }
    {
        LoopbackServer server(LoopbackServer::ANSWER, httpAnswer("HTTP/1.0 204 No Content", ""));
        auto session = sessionFor(server.port());
        HTTPRequest request;
        HTTPResponse response;
        session->sendRequest(request);
        session->receiveResponse(response);
        EXPECT_EQ(L"", session->readResponseText(response));
    }
    {
        LoopbackServer server(LoopbackServer::ANSWER, httpAnswer("HTTP/1.0 200 OK", std::string("\xFF\xFEh\0i\0", 6)));
        auto session = sessionFor(server.port());
        HTTPRequest request;
        HTTPResponse response;
        session->sendRequest(request);
        session->receiveResponse(response);
        EXPECT_EQ(L"hi", session->readResponseText(response));
    }
}

::testing::AssertionResult throwsHTTP(const std::function<void()>& action, const wchar_t* expected) {
    try {
        action();
        return ::testing::AssertionFailure() << "no exception";
    } catch (const HTTPException& e) {
        if (e.message() == expected)
            return ::testing::AssertionSuccess();
        std::wstring m = e.message();
        return ::testing::AssertionFailure() << "HTTPException \"" << std::string(m.begin(), m.end()) << "\"";
    } catch (const zem::Exception& e) {
        std::wstring m = e.message();
        return ::testing::AssertionFailure() << "other exception \"" << std::string(m.begin(), m.end()) << "\"";
    }
}

TEST_F(HTTPClientSessionTest, DeadPortSilentServerAndEarlyClose) {
    uint16_t deadPort = zemtest::deadLoopbackPort();
    EXPECT_TRUE(throwsHTTP(
        [&] {
            auto session = sessionFor(deadPort);
            HTTPRequest request;
            session->sendRequest(request);
        },
        L"Connection to the server failed."));

    LoopbackServer silent(LoopbackServer::SILENT, "");
    EXPECT_TRUE(throwsHTTP(
        [&] {
            auto session = sessionFor(silent.port(), 500);
            HTTPRequest request;
            HTTPResponse response;
            session->sendRequest(request);
            session->receiveResponse(response);
        },
        L"The request has timed out."));

    const struct {
        LoopbackServer::Mode mode;
        const char* answer;
    } badServers[] = {{LoopbackServer::CLOSE_EARLY, ""},
                      {LoopbackServer::ANSWER, "garbage\r\n\r\n"},
                      {LoopbackServer::ANSWER, "HTTP/1.0 200"}};
    for (const auto& bad : badServers) {
        LoopbackServer server(bad.mode, bad.answer);
        try {
            auto session = sessionFor(server.port());
            HTTPRequest request;
            HTTPResponse response;
            session->sendRequest(request);
            session->receiveResponse(response);
            ADD_FAILURE() << "answer taken: " << bad.answer;
        } catch (const HTTPException&) {
        } catch (const zem::Exception& e) {
            std::wstring m = e.message();
            ADD_FAILURE() << bad.answer << ": not an HTTPException: " << std::string(m.begin(), m.end());
        }
    }
}

TEST_F(HTTPClientSessionTest, CallsOutOfOrderFail) {
    LoopbackServer server(LoopbackServer::ANSWER, httpAnswer("HTTP/1.0 200 OK", "x"));
    auto session = sessionFor(server.port());
    HTTPResponse response;
    try {
        session->receiveResponse(response);
        ADD_FAILURE();
    } catch (const zem::IllegalStateException& e) {
        EXPECT_EQ(L"Session is not open.", e.message());
    }
    EXPECT_THROW(session->readResponseText(response), zem::NullPointerException);
    HTTPRequest request;
    session->sendRequest(request);
    EXPECT_TRUE(throwsHTTP([&] { session->sendRequest(request); }, L"Request had already been sent."));
    request.closeBodyStream();
    try {
        session->receiveResponse(response);
        ADD_FAILURE();
    } catch (const zem::IllegalStateException& e) {
        EXPECT_EQ(L"Request is not open.", e.message());
    }
    EXPECT_THROW(session->writeData(nullptr, 1), zem::NullPointerException);
}

TEST(HTTPErrorTest, EveryFailureRaisesItsText) {
    const struct {
        uint32_t code;
        const wchar_t* text;
    } rows[] = {
        {50, L"The required protocol stack is not loaded and the application cannot start WinSock."},
        {12001, L"WINHTTP out of handles."},
        {12002, L"The request has timed out."},
        {10060, L"The request has timed out."},
        {12006, L"The URL specified a scheme other than \"http:\" or \"https:\"."},
        {12007, L"The server name cannot be resolved."},
        {12029, L"Connection to the server failed."},
        {12030, L"The connection with the server has been reset or terminated."},
        {12032, L"The WinHTTP function failed."},
        {12045, L"Certificate chain was processed, but terminated in a root certificate that is not trusted by the "
                L"trust provider."},
        {12152, L"The server response cannot be parsed."},
        {12172, L"WINHTTP not initialized."},
        {12178, L"Proxy for the specified URL cannot be located."},
        {12003, L"WinHTTP call failed with error 12003."},
        {0, L"WinHTTP call failed with error 0."},
    };
    for (const auto& row : rows)
        EXPECT_TRUE(throwsHTTP([&] { throwHTTPError(row.code); }, row.text)) << row.code;
    const uint32_t known[] = {6,     8,     18,    50,    122,   12001, 12002, 12004, 12005, 12006, 12007, 12009, 12011,
                              12012, 12015, 12017, 12018, 12019, 12029, 12030, 12032, 12037, 12038, 12044, 12045, 12057,
                              12100, 12101, 12102, 12103, 12150, 12152, 12154, 12155, 12156, 12157, 12166, 12167, 12169,
                              12170, 12172, 12175, 12178, 12179, 12180, 12181, 12182, 12183, 12184, 12185, 12186};
    EXPECT_EQ(51u, sizeof known / sizeof known[0]);
    for (uint32_t code : known)
        EXPECT_NE(nullptr, findHTTPErrorText(code)) << code;
}

} // namespace

TEST_F(HTTPClientSessionTest, AnAbortedSessionFailsItsWaitAndEveryLaterRequest) {
    LoopbackServer silent(LoopbackServer::SILENT, "");
    auto session = sessionFor(silent.port(), 1000);
    std::wstring failure;
    std::thread worker([&] {
        try {
            HTTPRequest request;
            HTTPResponse response;
            session->sendRequest(request);
            session->receiveResponse(response);
        } catch (const zem::Exception& e) {
            failure = e.message();
        }
    });
    ASSERT_TRUE(silent.waitForRequest(10000));
    // The system may end the wait at once; Wine's synchronous calls run on to the time-out.
    session->abort();
    worker.join();
    EXPECT_FALSE(failure.empty());
    EXPECT_TRUE(throwsHTTP(
        [&] {
            HTTPRequest request;
            session->sendRequest(request);
        },
        L"Request was aborted."));
    HTTPResponse response;
    EXPECT_TRUE(throwsHTTP([&] { session->receiveResponse(response); }, L"Request was aborted."));
}
