// Form fields (and file-like parts) turned into a request body, URL-encoded or multipart.
// Fields go out in name order, whatever order they were set in.
#pragma once
#include "zem/net/NameValueCollection.h"

#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace zem {
namespace net {

class FormPartSource;
class HTTPRequest;

class HTMLForm : public NameValueCollection {
public:
    static const wchar_t* const ENCODING_URL;       // "application/x-www-form-urlencoded"
    static const wchar_t* const ENCODING_MULTIPART; // "multipart/form-data"

    HTMLForm();
    ~HTMLForm() override;

    // Any encoding but the URL one selects multipart.
    void setEncoding(const std::wstring& encoding) { m_encoding = encoding; }
    const std::wstring& getEncoding() const { return m_encoding; }
    const std::wstring& getBoundary() const { return m_boundary; }
    // Takes ownership of the source.
    void addPart(const std::wstring& name, FormPartSource* source);

    // Sets the request's content headers, or for methods other than POST and PUT moves the
    // fields into its URI.
    void prepareSubmit(HTTPRequest& request);
    // Writes the body: URL-encoded or multipart by the encoding.
    void write(std::ostream& stream);

private:
    bool isUrlEncoded() const;
    void writeUrl(std::ostream& stream) const;
    void writeMultipart(std::ostream& stream);
    std::wstring urlEncodedFields() const;

    std::wstring m_encoding;
    std::wstring m_boundary; // empty until a multipart submission is prepared
    std::vector<std::pair<std::wstring, std::unique_ptr<FormPartSource>>> m_parts;
};

} // namespace net
} // namespace zem
