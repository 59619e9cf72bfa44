// Speed of the product's Jasmine documents against the base library's Jasmine reader.
// Builds a document of about 10 MB of text, saves it with JasmineLoader on a memory
// device and loads it back (read, decode, parse), then parses the same text (valid in
// both dialects: no commas, bare keys, single-quoted strings) with both parsers in
// memory. Prints MB/s and the ratio of the base reader's time to ours (above 1: ours is faster).
#include "corvel/jasmine/JasmineLoader.h"
#include "corvel/jasmine/JasmineParser.h"
#include "corvel/jasmine/JasmineValue.h"
#include "zem/base/Error.h"
#include "zem/base/Exception.h"
#include "zem/files/FileIO.h"
#include "zem/files/RamDisk.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Value.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {

const size_t TARGET_UNITS = 5u * 1024 * 1024; // 10 MB of UTF-16
const int ROUNDS = 3;

typedef std::chrono::steady_clock Clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Settings-like records: names, numbers, flags, lists of paths, nested groups.
void fillDocument(corvel::JasmineValue& doc) {
    doc.initPayload(corvel::JasmineValue::TYPE_DICTIONARY);
    doc.getOrAddEntry(L"version").setString(L"0 9 4 28669501");
    std::wstring text;
    for (int i = 0; text.size() < TARGET_UNITS; ++i) {
        corvel::JasmineValue& group = doc.getOrAddEntry(L"app.group" + std::to_wstring(i));
        group.getOrAddEntry(L"name").setString(L"Group number " + std::to_wstring(i) + L" it's here");
        group.getOrAddEntry(L"width").setInt(i * 7 % 1000);
        group.getOrAddEntry(L"ratio").setReal(i / 8.0 + 0.0625); // never whole: whole reals read back as integers
        group.getOrAddEntry(L"visible").setBool(i % 2 == 0);
        corvel::JasmineValue& files = group.getOrAddEntry(L"files");
        files.initPayload(corvel::JasmineValue::TYPE_LIST);
        for (int f = 0; f < 8; ++f)
            files.appendElement().setString(L"C:\\Projects\\corvel\\src\\file" + std::to_wstring(f) + L".cpp");
        corvel::JasmineValue& window = group.getOrAddEntry(L"window");
        window.getOrAddEntry(L"left").setInt(i);
        window.getOrAddEntry(L"top").setInt(-i);
        window.getOrAddEntry(L"state").setString(L"normal");
        if (i % 64 == 63) {
            text.clear();
            doc.writeText(text, 0);
        }
    }
}

double megabytes(size_t units) {
    return units * 2.0 / (1024.0 * 1024.0);
}

} // namespace

int main() {
    zem::RamDisk ram;
    if (!zem::fileAttachDevice(&ram, L"benchmem", 200)) {
        std::printf("cannot attach the memory device\n");
        return 1;
    }
    corvel::JasmineValue doc;
    fillDocument(doc);
    std::wstring text;
    doc.writeText(text, 0);
    const wchar_t* path = L"benchmem:doc.cvConfig";

    double saveSeconds = 1e9;
    double loadSeconds = 1e9;
    double oursSeconds = 1e9;
    double baseSeconds = 1e9;
    bool ok = true;
    for (int round = 0; round < ROUNDS && ok; ++round) {
        Clock::time_point start = Clock::now();
        ok = corvel::JasmineLoader::save(path, doc);
        if (!ok)
            std::printf("save failed: %ls\n", zem::lastErrorMessage().c_str());
        saveSeconds = std::min(saveSeconds, secondsSince(start));

        corvel::JasmineValue loaded;
        start = Clock::now();
        ok = ok && corvel::JasmineLoader::load(path, loaded);
        loadSeconds = std::min(loadSeconds, secondsSince(start));
        if (ok && !(loaded == doc))
            std::printf("the loaded document differs\n");
        ok = ok && loaded == doc;

        corvel::JasmineValue parsed;
        corvel::JasmineParser parser;
        start = Clock::now();
        parser.parse(text.c_str(), text.size(), parsed);
        oursSeconds = std::min(oursSeconds, secondsSince(start));

        try {
            start = Clock::now();
            std::unique_ptr<zem::Value> base(zem::parseJasmine(text));
            baseSeconds = std::min(baseSeconds, secondsSince(start));
            ok = ok && base != nullptr;
        } catch (const zem::Exception& e) {
            std::wstring message = e.message();
            std::printf("base reader refused the text: %ls\n", message.c_str());
            ok = false;
        }
    }
    zem::fileDelete(path);
    zem::fileDetachDevice(L"benchmem");
    if (!ok) {
        std::printf("a round failed\n");
        return 1;
    }
    double mb = megabytes(text.size());
    std::printf("document: %.1f MB of UTF-16 text, %u groups\n", mb, static_cast<unsigned>(doc.dictionarySize() - 1));
    std::printf("JasmineLoader::save (write text, temporary file, replace): %8.1f MB/s\n", mb / saveSeconds);
    std::printf("JasmineLoader::load (read, decode, parse):                %8.1f MB/s\n", mb / loadSeconds);
    std::printf("JasmineParser::parse, in memory:                          %8.1f MB/s\n", mb / oursSeconds);
    std::printf("base Jasmine reader (baseline), in memory:                %8.1f MB/s\n", mb / baseSeconds);
    std::printf("ratio base time / loader time: %.2f (parse only: %.2f)\n", baseSeconds / loadSeconds,
                baseSeconds / oursSeconds);
    return 0;
}
