#include "corvel/bundles/BundleSource.h"

#include "corvel/bundles/BundleEntryChecks.h"
#include "corvel/text/StringUtils.h"
#include "model/ExceptionText.h"
#include "zem/base/Exception.h"
#include "zem/files/FileIO.h"

#include <vector>

namespace corvel {

namespace {

// Closes the file on every way out.
class OpenFile {
public:
    explicit OpenFile(zem::File* file) : m_file(file) {}
    ~OpenFile() {
        if (m_file)
            zem::fileClose(m_file);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    zem::File* get() const { return m_file; }

private:
    zem::File* m_file;
};

void addReadError(ValidationErrorList& errors, uint32_t severity, const std::wstring& message,
                  const std::wstring& path) {
    errors.add(makeEntryFileError(severity, message, path));
}

} // namespace

bool readSourceFile(const std::wstring& path, std::wstring& text, ValidationErrorList& errors) {
    try {
        OpenFile file(zem::fileOpen(path.c_str(), zem::FILE_MODE_READ));
        if (!file.get()) {
            addReadError(errors, ValidationError::WARNING_SEVERITY, L"Unable to open file for reading.", path);
            return false;
        }
        uint32_t size = file.get()->getSize();
        if (size == 0 || size == zem::File::INVALID_POSITION) {
            addReadError(errors, ValidationError::ERROR_SEVERITY,
                         size == 0 ? L"File is empty." : L"Error while reading file.", path);
            return false;
        }
        std::vector<uint8_t> bytes(size);
        if (file.get()->read(bytes.data(), size) != size) {
            addReadError(errors, ValidationError::ERROR_SEVERITY, L"Error while reading file.", path);
            return false;
        }
        text.clear();
        if (!decodeText(bytes.data(), bytes.size(), text)) {
            addReadError(errors, ValidationError::ERROR_SEVERITY, L"File is in invalid encoding.", path);
            return false;
        }
        return true;
    } catch (...) {
        addReadError(errors, ValidationError::ERROR_SEVERITY,
                     currentExceptionText(L"Unexpected error while reading file. (1)",
                                          L"Unexpected error while reading file. (2)",
                                          L"Unexpected error while reading file. (3)"),
                     path);
    }
    return false;
}

} // namespace corvel
