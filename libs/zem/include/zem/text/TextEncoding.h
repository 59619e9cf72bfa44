// A named character-set converter between UTF-16 and bytes, with the byte-order mark
// ("preamble") that a writer puts before the text. Readers and writers share one
// encoding through a shared pointer; the converter keeps separate state per direction.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct UConverter;

namespace zem {

class TextEncoding {
public:
    // Conversion status: ICU's error code; zero and the negative warnings are success.
    static constexpr int32_t S_Success = 0;

    // Opens the converter ICU knows by this name or alias ("UTF-8", "utf-16le",
    // "UTF16-LE", "windows-1252"...; case, '-' and '_' do not matter). An unknown or
    // empty name gives an empty pointer.
    static std::shared_ptr<TextEncoding> forName(const std::wstring& name);
    static std::shared_ptr<TextEncoding> forName(const wchar_t* name);

    TextEncoding(const TextEncoding&) = delete;
    TextEncoding& operator=(const TextEncoding&) = delete;
    virtual ~TextEncoding();

    // The mark written before encoded text; null with length 0 when there is none.
    virtual const uint8_t* getPreamble(size_t* length) const;

    UConverter* getConverter() const { return m_converter; }
    // ICU's canonical name of the converter ("UTF-16LE").
    std::wstring getName() const;
    int getMinCharSize() const;
    int getMaxCharSize() const;

    static bool isSuccess(int32_t status) { return status <= S_Success; }

protected:
    // Takes ownership of an open converter.
    explicit TextEncoding(UConverter* converter);

private:
    UConverter* m_converter; // never null; closed by the destructor
};

typedef std::shared_ptr<TextEncoding> TextEncodingPtr;

// An encoding whose text starts with a byte-order mark (the Unicode encodings).
class PreambleTextEncoding : public TextEncoding {
public:
    PreambleTextEncoding(UConverter* converter, const uint8_t* preamble, size_t length);
    const uint8_t* getPreamble(size_t* length) const override;

private:
    const uint8_t* m_preamble; // static data
    size_t m_preambleLength;
};

} // namespace zem
