#include "corvel/jasmine/JasmineLoader.h"

#include "corvel/jasmine/JasmineParser.h"
#include "corvel/text/StringUtils.h"
#include "zem/files/FileIO.h"
#include "zem/files/SafeSave.h"
#include "zem/log/LogManager.h"

#include <memory>
#include <vector>

namespace corvel {
namespace {

// Closes the file on every way out, the exception path included.
struct FileCloser {
    void operator()(zem::File* file) const { zem::fileClose(file); }
};

// The whole file, or false when it cannot be read to the end.
bool readAll(zem::File* file, std::vector<uint8_t>& bytes) {
    uint32_t size = file->getSize();
    if (size == zem::File::INVALID_POSITION)
        return false;
    bytes.assign(static_cast<size_t>(size) + 1, 0); // one spare zero byte
    bytes.resize(size);
    uint32_t done = 0;
    while (done < size) {
        uint32_t n = file->read(bytes.data() + done, size - done);
        if (n == 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

uint32_t JasmineLoader::logSource() {
    static const uint32_t source = zem::LogManager_Impl::instance().registerSource(L"JasmineLoader");
    return source;
}

bool JasmineLoader::load(const wchar_t* fileName, JasmineValue& target) {
    const wchar_t* name = fileName ? fileName : L"";
    std::vector<uint8_t> bytes;
    {
        std::unique_ptr<zem::File, FileCloser> file(fileName ? zem::fileOpen(fileName, zem::FILE_MODE_READ) : nullptr);
        if (!file) {
            zem::logMessage(zem::LOG_INFO, logSource(), L"ERROR: JasmineLoader::load(): Error reading file `%s`.\n",
                            name);
            return false;
        }
        if (file->getSize() == 0) {
            zem::logMessage(zem::LOG_INFO, logSource(), L"ERROR: JasmineLoader::load(): File `%s` is empty.\n", name);
            return false;
        }
        if (!readAll(file.get(), bytes)) {
            zem::logMessage(zem::LOG_INFO, logSource(), L"ERROR: JasmineLoader::load(): Error reading file `%s`.\n",
                            name);
            return false;
        }
    }
    std::wstring text;
    if (!decodeText(bytes.data(), bytes.size(), text)) {
        zem::logMessage(zem::LOG_INFO, logSource(), L"ERROR: JasmineLoader::load(): Conversion of file `%s` failed.\n",
                        name);
        return false;
    }
    bytes.clear();
    bytes.shrink_to_fit();
    JasmineParser parser;
    return parser.parse(text.c_str(), text.size(), target);
}

bool JasmineLoader::save(const wchar_t* fileName, const JasmineValue& value) {
    if (!fileName || !*fileName) {
        zem::logMessage(zem::LOG_INFO, logSource(), L"JasmineLoader::save(): File name is empty or NULL.\n");
        return false;
    }
    std::wstring text;
    std::wstring badKey;
    if (!value.writeText(text, 0, &badKey)) {
        zem::logMessage(zem::LOG_INFO, logSource(), L"JasmineLoader::save(): Key `%s` cannot be written.\n",
                        badKey.c_str());
        return false;
    }
    if (!writeDocument(fileName, text)) {
        zem::logMessage(zem::LOG_INFO, logSource(), L"JasmineLoader::save(): Cannot open file for writing.\n");
        return false;
    }
    return true;
}

bool JasmineLoader::writeDocument(const wchar_t* fileName, const std::wstring& text) {
    return zem::fileSaveReplacing(fileName, [&text](zem::File& file) {
        static const uint8_t mark[2] = {0xFF, 0xFE};
        if (file.write(mark, 2) != 2)
            return false;
        uint32_t bytes = static_cast<uint32_t>(text.size() * sizeof(wchar_t));
        return bytes == 0 || file.write(text.data(), bytes) == bytes;
    });
}

} // namespace corvel
