#include "zem/net/HTMLForm.h"

#include "zem/base/Assert.h"
#include "zem/net/FormPartSource.h"
#include "zem/net/HTTPRequest.h"
#include "zem/net/MultipartFormWriter.h"
#include "zem/net/URI.h"
#include "zem/stream/CountingStream.h"
#include "zem/stream/StreamCopier.h"

namespace zem {
namespace net {

const wchar_t* const HTMLForm::ENCODING_URL = L"application/x-www-form-urlencoded";
const wchar_t* const HTMLForm::ENCODING_MULTIPART = L"multipart/form-data";

HTMLForm::HTMLForm() : m_encoding(ENCODING_URL) {}

HTMLForm::~HTMLForm() = default;

void HTMLForm::addPart(const std::wstring& name, FormPartSource* source) {
    throwIfNull(source);
    m_parts.emplace_back(name, std::unique_ptr<FormPartSource>(source));
}

bool HTMLForm::isUrlEncoded() const {
    return m_encoding == ENCODING_URL;
}

std::wstring HTMLForm::urlEncodedFields() const {
    std::wstring text;
    bool first = true;
    for (const auto& field : *this) {
        if (!first)
            text += L'&';
        first = false;
        URI::encode(field.first, URI::FORM_RESERVED, text);
        text += L'=';
        URI::encode(field.second, URI::FORM_RESERVED, text);
    }
    return text;
}

void HTMLForm::prepareSubmit(HTTPRequest& request) {
    if (request.getMethod() != HTTPRequest::HTTP_POST && request.getMethod() != HTTPRequest::HTTP_PUT) {
        request.setURI(request.getURI() + L"?" + urlEncodedFields());
        return;
    }
    if (!isUrlEncoded()) {
        m_boundary = MultipartFormWriter::createBoundary();
        request.set(HTTPRequest::CONTENT_TYPE, m_encoding + L"; boundary=\"" + m_boundary + L"\"");
    } else {
        request.setContentType(m_encoding);
        request.setTransferEncoding(HTTPRequest::IDENTITY_TRANSFER_ENCODING);
        CountingOutputStream counter;
        writeUrl(counter);
        request.setContentLength(counter.chars());
    }
    if (request.getVersion() == HTTPRequest::HTTP_1_0) {
        request.setKeepAlive(false);
        request.setTransferEncoding(HTTPRequest::IDENTITY_TRANSFER_ENCODING);
    } else if (!isUrlEncoded()) {
        request.setTransferEncoding(HTTPRequest::CHUNKED_TRANSFER_ENCODING);
    }
}

void HTMLForm::write(std::ostream& stream) {
    if (isUrlEncoded())
        writeUrl(stream);
    else
        writeMultipart(stream);
}

void HTMLForm::writeUrl(std::ostream& stream) const {
    writeUtf8(stream, urlEncodedFields());
}

void HTMLForm::writeMultipart(std::ostream& stream) {
    MultipartFormWriter writer(stream, m_boundary);
    m_boundary = writer.getBoundary();
    for (const auto& field : *this) {
        MessageHeader header;
        header.set(L"Content-Disposition", L"form-data; name=\"" + field.first + L"\"");
        writer.nextPart(header);
        writeUtf8(stream, field.second);
    }
    for (auto& part : m_parts) {
        MessageHeader header(part.second->getHeader());
        std::wstring disposition = L"form-data; name=\"" + part.first + L"\"";
        if (!part.second->getFileName().empty())
            disposition += L"; filename=\"" + part.second->getFileName() + L"\"";
        header.set(L"Content-Disposition", disposition);
        header.set(HTTPRequest::CONTENT_TYPE, part.second->getMediaType());
        writer.nextPart(header);
        copyStream(part.second->stream(), stream);
    }
    writer.close();
}

} // namespace net
} // namespace zem
