// The document loader over random bytes, with the format detectors on: each input is
// loaded from a memory file, and the text must be the bytes decoded in the encoding the
// loader detected, every line break made one LF. The document, unchanged, is saved again:
// where the encoding holds the bytes and the file used one kind of break, the saved
// bytes must be the file's; whatever was saved must load back as the same text.
#include "MemoryFiles.h"

#include "corvel/document/Document.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/text/CodePages.h"
#include "corvel/text/DecodeToUtf16.h"
#include "corvel/text/EncodingMark.h"
#include "corvel/text/TextEncoder.h"
#include "corvel/text/Utf8Text.h"
#include "zem/base/Error.h"

#include <memory>

namespace {

struct Decoded {
    uint32_t codePage = 0;
    std::wstring text; // breaks as in the file
};

// What the loader should find, worked out from the bytes in one piece.
Decoded decodeWhole(const std::string& input) {
    Decoded out;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(input.data());
    const corvel::EncodingMark* mark = &corvel::findEncodingMark(input.size(), bytes);
    if (mark->length == 0 && corvel::isUtf8Text(bytes, input.size()))
        mark = &corvel::plainUtf8Mark();
    out.codePage = mark->codePage;
    size_t start = mark->length;
    while (start < input.size()) {
        wchar_t units[4096];
        size_t byteCount = input.size() - start;
        size_t unitCount = 4096;
        corvel::decodeToUtf16(units, bytes + start, byteCount, out.codePage, unitCount, true);
        if (byteCount == 0 && unitCount == 0)
            break;
        out.text.append(units, unitCount);
        start += byteCount;
    }
    return out;
}

// CR LF and lone CR become LF; the kinds of break met are or-ed into kinds (bit = ending).
std::wstring joinBreaks(const std::wstring& text, unsigned& kinds) {
    std::wstring out;
    out.reserve(text.size());
    kinds = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            bool pair = i + 1 < text.size() && text[i + 1] == L'\n';
            kinds |= 1u << (pair ? corvel::LINE_ENDING_CRLF : corvel::LINE_ENDING_CR);
            i += pair ? 1 : 0;
            out += L'\n';
            continue;
        }
        if (text[i] == L'\n')
            kinds |= 1u << corvel::LINE_ENDING_LF;
        out += text[i];
    }
    return out;
}

struct StringSink : corvel::ByteSink {
    std::string bytes;
    bool writeBytes(const void* data, size_t count) override {
        bytes.append(static_cast<const char*>(data), count);
        return true;
    }
};

// Whether the code page gives back exactly these bytes for the text (its mark included).
bool encodesBack(const Decoded& decoded, const std::string& input) {
    const corvel::EncodingMark& mark = corvel::encodingMarkFor(decoded.codePage);
    StringSink sink;
    sink.bytes.assign(reinterpret_cast<const char*>(mark.bytes), mark.length);
    std::unique_ptr<corvel::TextEncoder> encoder = corvel::TextEncoder::forCodePage(decoded.codePage);
    if (!encoder || !encoder->encode(decoded.text.data(), decoded.text.size(), sink))
        return false;
    return sink.bytes == input;
}

struct Session {
    fuzz::MemoryFolder folder{L"fuzzdoc"};
    const std::wstring input = folder.path(L"input.txt");
    const std::wstring saved = folder.path(L"saved.txt");
    corvel::DocumentManager manager;
};

std::wstring textOf(corvel::Document* document) {
    return document->getText(0, document->getLength());
}

fuzz::Verdict run(const std::string& input) {
    static Session session;
    corvel::DocumentManager& manager = session.manager;
    session.folder.put(session.input, input);
    std::unique_ptr<zem::ErrorObject> error;
    corvel::Document* document = manager.loadDocument(session.input.c_str(), error);
    if (!document)
        throw fuzz::Changed{"a memory file failed to load"};
    const Decoded decoded = decodeWhole(input);
    unsigned kinds = 0;
    const std::wstring expected = joinBreaks(decoded.text, kinds);
    const std::wstring loaded = textOf(document);
    const corvel::DocumentState state = document->getState();
    std::string fault;
    if (!input.empty() && state.codePage != decoded.codePage)
        fault =
            "detected code page " + std::to_string(state.codePage) + ", expected " + std::to_string(decoded.codePage);
    else if (loaded != expected)
        fault = "loaded " + fuzz::printable(loaded) + ", expected " + fuzz::printable(expected);
    std::string saved;
    if (fault.empty()) {
        if (!manager.saveDocument(document, session.saved.c_str(), error) ||
            !fuzz::MemoryFolder::read(session.saved, saved))
            fault = "an unchanged document failed to save";
    }
    manager.closeDocument(document);
    const bool oneKind = (kinds & (kinds - 1)) == 0 && (kinds == 0 || kinds == (1u << state.lineEnding));
    if (fault.empty() && !input.empty() && oneKind && encodesBack(decoded, input) && saved != input)
        fault = "saved " + fuzz::printable(saved) + " for the file's own bytes";
    if (fault.empty() && !saved.empty()) {
        corvel::Document* again = manager.loadDocument(session.saved.c_str(), error);
        if (!again)
            fault = "the saved file does not load";
        else {
            std::wstring back = textOf(again);
            manager.closeDocument(again);
            if (encodesBack(decoded, input) && back != loaded)
                fault = "the saved file loads as " + fuzz::printable(back);
        }
    }
    zem::fileDelete(session.saved.c_str());
    if (!fault.empty())
        throw fuzz::Changed{fault};
    return fuzz::ACCEPTED;
}

} // namespace

int main(int argc, char** argv) {
    fuzz::Target target{"fuzz_document",
                        {"\r\n", "\r", "\n", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", std::string("\xFF\xFE\0\0", 4),
                         std::string("\0\0\xFE\xFF", 4), "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xED\xA0\x80",
                         "-*- mode: python; tab-width: 4; indent-tabs-mode: nil -*-", "\t", "    "},
                        &run};
    return fuzz::runFuzzer(argc, argv, target);
}
