#include "zem/net/HTTPRequest.h"
#include "zem/net/HTTPResponse.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace zem::net;

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t unit : text)
        out += unit == L'\r' ? std::string("\\r") : unit == L'\n' ? std::string("\\n") : std::string(1, char(unit));
    return out;
}

std::wstring fieldsOf(const NameValueCollection& fields) {
    std::wstring out;
    for (const auto& field : fields)
        out += L"[" + field.first + L"=" + field.second + L"]";
    return out;
}

TEST(HTTPMessageTest, CollectionMatchesNamesIgnoringCase) {
    NameValueCollection fields;
    fields.add(L"Accept", L"one");
    fields.add(L"accept", L"two");
    fields.add(L"X", L"x");
    fields.set(L"ACCEPT", L"first");
    EXPECT_EQ(L"[Accept=first][accept=two][X=x]", fieldsOf(fields));
    EXPECT_EQ(L"first", fields.get(L"aCCept"));
    EXPECT_EQ(L"first", fields.find(L"accept")->second);
    try {
        fields.get(L"Missing");
        FAIL();
    } catch (const zem::NotFoundException& e) {
        EXPECT_EQ(L"Missing", e.message());
    }
    fields.erase(L"ACCEPT");
    EXPECT_EQ(L"[X=x]", fieldsOf(fields));
    EXPECT_TRUE(fields.find(L"accept") == fields.end());
}

TEST(HTTPMessageTest, WritesStartLinesAndSortedHeaders) {
    auto request = HTTPRequest::create();
    EXPECT_EQ(L"HTTP/1.0", request->getVersion());
    request->set(L"Content-Type", L"text/plain");
    request->setContentLength(12);
    request->setKeepAlive(false);
    request->setTransferEncoding(L"chunked");
    request->setTransferEncoding(L"IDENTITY");
    std::wostringstream text;
    request->write(text);
    EXPECT_EQ(L"POST corvel/version/check HTTP/1.0\r\nConnection: Close\r\nContent-Length: 12\r\n"
              L"Content-Type: text/plain\r\n\r\n",
              text.str());
    request->setContentLength(-1);
    request->setContentType(L"");
    EXPECT_EQ(L"[Connection=Close]", fieldsOf(*request));

    auto response = HTTPResponse::create();
    std::wostringstream status;
    response->write(status);
    EXPECT_EQ(L"HTTP/1.0 200 OK\r\n\r\n", status.str());
}

::testing::AssertionResult headerReadsAs(const wchar_t* text, const wchar_t* expected, const wchar_t* rest) {
    std::wistringstream stream(text);
    MessageHeader header;
    header.read(stream);
    std::wstring left((std::istreambuf_iterator<wchar_t>(stream)), std::istreambuf_iterator<wchar_t>());
    if (fieldsOf(header) == expected && left == rest)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << narrow(text) << " read as " << narrow(fieldsOf(header)) << " leaving "
                                         << narrow(left);
}

TEST(HTTPMessageTest, ReadsHeaderFields) {
    EXPECT_TRUE(headerReadsAs(L"A: 1\r\nB:2  \r\n\r\nbody", L"[A=1][B=2]", L"\r\nbody"));
    EXPECT_TRUE(headerReadsAs(L"A: 1\r\nA: 2\n\n", L"[A=1][A=2]", L"\n"));
    EXPECT_TRUE(headerReadsAs(L"junk line\nA: x\r\n  more\r\n\tend \r\n\r\n", L"[A=x  more\tend]", L"\r\n"));
    EXPECT_TRUE(headerReadsAs(L"A:\r\nB: b", L"[A=][B=b]", L""));
    EXPECT_TRUE(headerReadsAs(L"", L"", L""));
}

::testing::AssertionResult headerFailsWith(const std::wstring& text, const wchar_t* message) {
    std::wistringstream stream(text);
    MessageHeader header;
    try {
        header.read(stream);
    } catch (const MessageException& e) {
        if (e.message() == message)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "failed with " << narrow(e.message());
    }
    return ::testing::AssertionFailure() << "read " << narrow(fieldsOf(header));
}

TEST(HTTPMessageTest, MalformedFieldsFail) {
    EXPECT_TRUE(headerFailsWith(std::wstring(257, L'n') + L": v\r\n", L"Field name too long/no colon found"));
    EXPECT_TRUE(headerFailsWith(L"no colon", L"Field name too long/no colon found"));
    EXPECT_TRUE(headerFailsWith(L"A: " + std::wstring(4097, L'v') + L"\r\n", L"Field value too long/no CRLF found"));
    EXPECT_TRUE(headerFailsWith(L"A: v\rX", L"Field value too long/no CRLF found"));
    EXPECT_TRUE(headerFailsWith(L"A: " + std::wstring(4090, L'v') + L"\r\n " + std::wstring(10, L'w'),
                                L"Folded field value too long/no CRLF found"));
    EXPECT_TRUE(headerReadsAs((std::wstring(256, L'n') + L": v\r\n").c_str(),
                              (L"[" + std::wstring(256, L'n') + L"=v]").c_str(), L""));
    EXPECT_TRUE(headerReadsAs((L"A: " + std::wstring(4096, L'v')).c_str(),
                              (L"[A=" + std::wstring(4096, L'v') + L"]").c_str(), L""));
}

TEST(HTTPMessageTest, ReadsStatusLines) {
    std::wistringstream stream(L"  HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nabc");
    HTTPResponse response;
    response.read(stream);
    EXPECT_EQ(L"HTTP/1.1", response.getVersion());
    EXPECT_EQ(404, response.getStatus());
    EXPECT_EQ(L"Not Found", response.getReason());
    EXPECT_EQ(L"3", response.get(L"content-length"));
    EXPECT_EQ(L'a', stream.get());

    std::wistringstream bare(L"HTTP/1.0 2x \n\n");
    response.read(bare);
    EXPECT_EQ(2, response.getStatus());
    EXPECT_EQ(L"", response.getReason());
}

template <class Message>::testing::AssertionResult startLineFails(const std::wstring& text, const wchar_t* message) {
    std::wistringstream stream(text);
    Message parsed;
    parsed.setVersion(L"kept");
    try {
        parsed.read(stream);
        return ::testing::AssertionFailure() << narrow(text) << " read";
    } catch (const NoMessageException&) {
        if (*message == 0 && parsed.getVersion() == L"kept")
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << narrow(text) << " gave no message";
    } catch (const MessageException& e) {
        if (e.message() == message && parsed.getVersion() == L"kept")
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << narrow(text) << " failed with " << narrow(e.message()) << ", version " << narrow(parsed.getVersion());
    }
}

TEST(HTTPMessageTest, MalformedStartLinesFailAndStoreNothing) {
    EXPECT_TRUE(startLineFails<HTTPResponse>(L"", L""));
    EXPECT_TRUE(startLineFails<HTTPResponse>(L" \r\n", L"No HTTP response header"));
    EXPECT_TRUE(startLineFails<HTTPResponse>(L"HTTP/1.10 200 OK\r\n", L"Invalid HTTP version string"));
    EXPECT_TRUE(startLineFails<HTTPResponse>(L"HTTP/1.1 2000 OK\r\n", L"Invalid HTTP status code"));
    EXPECT_TRUE(startLineFails<HTTPResponse>(L"HTTP/1.1 200", L"Invalid HTTP status code"));
    EXPECT_TRUE(
        startLineFails<HTTPResponse>(L"HTTP/1.1 200 " + std::wstring(513, L'r'), L"HTTP reason string too long"));
    EXPECT_TRUE(startLineFails<HTTPResponse>(L"HTTP/1.1 200 OK\r\nbad", L"Field name too long/no colon found"));
    EXPECT_TRUE(startLineFails<HTTPRequest>(L"", L""));
    EXPECT_TRUE(startLineFails<HTTPRequest>(L"\n\t ", L"No HTTP request header"));
    EXPECT_TRUE(startLineFails<HTTPRequest>(std::wstring(33, L'M') + L" / HTTP/1.0\r\n",
                                            L"HTTP request method invalid or too long"));
    EXPECT_TRUE(startLineFails<HTTPRequest>(L"GET " + std::wstring(4097, L'u') + L" HTTP/1.0\r\n",
                                            L"HTTP request URI invalid or too long"));
    EXPECT_TRUE(startLineFails<HTTPRequest>(L"GET /", L"HTTP request URI invalid or too long"));
    EXPECT_TRUE(startLineFails<HTTPRequest>(L"GET / HTTP/1.0", L"Invalid HTTP version string"));
}

TEST(HTTPMessageTest, ReadsRequestLines) {
    std::wistringstream stream(L"GET /a?b HTTP/1.1 trailing\r\nHost: h\r\n\r\nrest");
    HTTPRequest request;
    request.read(stream);
    EXPECT_EQ(L"GET", request.getMethod());
    EXPECT_EQ(L"/a?b", request.getURI());
    EXPECT_EQ(L"HTTP/1.1", request.getVersion());
    EXPECT_EQ(L"[Host=h]", fieldsOf(request));
    EXPECT_EQ(L'r', stream.get());
}

} // namespace
