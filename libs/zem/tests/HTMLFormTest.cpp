#include "zem/net/HTMLForm.h"
#include "zem/net/FormPartSource.h"
#include "zem/net/HTTPRequest.h"
#include "zem/net/MultipartFormWriter.h"
#include "zem/stream/CountingStream.h"
#include "zem/stream/StreamCopier.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace {

using namespace zem::net;

std::wstring fieldsOf(const NameValueCollection& fields) {
    std::wstring out;
    for (const auto& field : fields)
        out += L"[" + field.first + L"=" + field.second + L"]";
    return out;
}

class StringPart : public FormPartSource {
public:
    StringPart(const std::string& bytes, const std::wstring& fileName)
        : FormPartSource(L"text/plain", fileName), m_stream(bytes) {}
    std::istream& stream() override { return m_stream; }

private:
    std::istringstream m_stream;
};

TEST(HTMLFormTest, UrlEncodedPostGoesOutInNameOrderWithItsLength) {
    HTMLForm form;
    form.set(L"b", L"x y");
    form.set(L"a", L"1&2");
    form.set(L"build[version]", L"3.5 \x00E9\x20AC");
    auto request = HTTPRequest::create();
    request->setTransferEncoding(L"chunked");
    form.prepareSubmit(*request);
    std::ostringstream body;
    form.write(body);
    EXPECT_EQ("a=1%262&b=x%20y&build[version]=3.5%20%E9%E2%82%AC", body.str());
    EXPECT_EQ(L"[Connection=Close][Content-Length=" + std::to_wstring(body.str().size()) +
                  L"][Content-Type=application/x-www-form-urlencoded]",
              fieldsOf(*request));
}

TEST(HTMLFormTest, EmptyFormAndOtherMethods) {
    HTMLForm empty;
    HTTPRequest post;
    post.setMethod(HTTPRequest::HTTP_POST);
    empty.prepareSubmit(post);
    EXPECT_EQ(L"0", post.get(L"Content-Length"));
    std::ostringstream body;
    empty.write(body);
    EXPECT_EQ("", body.str());

    HTTPRequest get;
    get.setURI(L"/check");
    empty.prepareSubmit(get);
    EXPECT_EQ(L"/check?", get.getURI());
    HTMLForm form;
    form.set(L"q", L"a+b");
    form.set(L"n", L"1");
    form.prepareSubmit(get);
    EXPECT_EQ(L"/check??n=1&q=a%2Bb", get.getURI());
    EXPECT_TRUE(get.empty());
}

TEST(HTMLFormTest, Http11UrlFormKeepsTheConnectionAndMultipartIsChunked) {
    HTMLForm form;
    form.set(L"a", L"1");
    HTTPRequest request;
    request.setMethod(HTTPRequest::HTTP_PUT);
    request.setVersion(HTTPRequest::HTTP_1_1);
    form.prepareSubmit(request);
    EXPECT_EQ(L"[Content-Length=3][Content-Type=application/x-www-form-urlencoded]", fieldsOf(request));

    form.setEncoding(HTMLForm::ENCODING_MULTIPART);
    HTTPRequest multipart;
    multipart.setMethod(HTTPRequest::HTTP_POST);
    multipart.setVersion(HTTPRequest::HTTP_1_1);
    form.prepareSubmit(multipart);
    EXPECT_EQ(L"multipart/form-data; boundary=\"" + form.getBoundary() + L"\"", multipart.get(L"Content-Type"));
    EXPECT_EQ(L"chunked", multipart.get(L"Transfer-Encoding"));
}

TEST(HTMLFormTest, MultipartBodyFramesFieldsAndParts) {
    HTMLForm form;
    form.setEncoding(HTMLForm::ENCODING_MULTIPART);
    form.set(L"b", L"two");
    form.set(L"a", L"\x00E9");
    auto* part = new StringPart("file bytes", L"f.txt");
    part->getHeader().set(L"X-Extra", L"1");
    form.addPart(L"upload", part);
    HTTPRequest request;
    request.setMethod(HTTPRequest::HTTP_POST);
    form.prepareSubmit(request);
    EXPECT_EQ(L"Close", request.get(L"Connection"));
    EXPECT_FALSE(request.has(L"Transfer-Encoding"));
    std::ostringstream body;
    form.write(body);
    std::string b(form.getBoundary().begin(), form.getBoundary().end());
    EXPECT_EQ("--" + b + "\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n\xC3\xA9" + "\r\n--" + b +
                  "\r\nContent-Disposition: form-data; name=\"b\"\r\n\r\ntwo" + "\r\n--" + b +
                  "\r\nContent-Disposition: form-data; name=\"upload\"; filename=\"f.txt\"\r\n"
                  "Content-Type: text/plain\r\nX-Extra: 1\r\n\r\nfile bytes" +
                  "\r\n--" + b + "--\r\n",
              body.str());
}

TEST(HTMLFormTest, BoundaryHasSixteenHexDigits) {
    std::wstring boundary = MultipartFormWriter::createBoundary();
    EXPECT_TRUE(
        std::regex_match(std::string(boundary.begin(), boundary.end()), std::regex("MIME_boundary_[0-9A-F]{16}")));
    std::ostringstream out;
    MultipartFormWriter writer(out, L"");
    EXPECT_EQ(30u, writer.getBoundary().size());
}

TEST(HTMLFormTest, CountingStreamCountsCharsLinesAndPosition) {
    std::ostringstream target;
    zem::CountingOutputStream counter(target);
    counter << "ab\ncd\n\nx";
    EXPECT_EQ("ab\ncd\n\nx", target.str());
    EXPECT_EQ(8, counter.chars());
    EXPECT_EQ(4, counter.lines());
    EXPECT_EQ(1, counter.pos());

    std::istringstream source("1\n22");
    zem::CountingInputStream reader(source);
    std::string line;
    std::getline(reader, line);
    EXPECT_EQ("1", line);
    EXPECT_EQ(2, reader.chars());
    EXPECT_EQ(0, reader.pos());

    std::istringstream from(std::string(20000, 'z'));
    std::ostringstream to;
    EXPECT_EQ(20000u, zem::copyStream(from, to));
    EXPECT_EQ(20000u, to.str().size());
}

} // namespace
