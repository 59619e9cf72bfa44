// Prints how fast a 10 MB JSON document and a 10 MB Jasmine document (sizes in bytes of
// UTF-16 text) are parsed into value trees and written back.
#include "zem/base/Clock.h"
#include "zem/base/Exception.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/json/JsonReader.h"
#include "zem/value/Values.h"
#include "zem/writer/ValueWriter.h"

#include <cstdio>
#include <memory>
#include <random>

namespace {

constexpr size_t TARGET_BYTES = 10u * 1024 * 1024;
constexpr int RUNS = 3;

typedef std::unique_ptr<zem::Value> ValuePtr;

// Something like a large grammar or theme: dictionaries of patterns, names and numbers.
zem::Value* makeEntry(std::mt19937& random, int index) {
    zem::DictionaryValue* entry = zem::createDictionaryValue();
    entry->set(L"name", new zem::StringValue(L"entity.name.function.c-" + std::to_wstring(index)));
    entry->set(L"scope", new zem::StringValue(L"meta.block", zem::StringValue::STYLE_SYMBOL));
    entry->set(L"comment", new zem::StringValue(L"A line with \"quotes\", a tab\tand caf\u00e9."));
    entry->set(L"match", zem::createRegExpValue(L"\\b(if|else|while)\\b\\s*\\(", L"i"));
    entry->set(L"priority", new zem::ScalarValue(static_cast<int>(random() % 100000)));
    entry->set(L"weight", new zem::ScalarValue(static_cast<double>(random() % 100000) / 7.0));
    entry->set(L"enabled", zem::createBoolValue(index % 2 == 0));
    zem::ListValue* captures = zem::createListValue();
    for (int i = 0; i < 4; ++i)
        captures->append(new zem::StringValue(L"capture-" + std::to_wstring(i), zem::StringValue::STYLE_SINGLE_QUOTED));
    entry->set(L"captures", captures);
    return entry;
}

// A list of entries whose text in the given format reaches TARGET_BYTES.
ValuePtr makeDocument(bool json, std::wstring& text) {
    std::mt19937 random(12345u);
    zem::DictionaryValue* root = zem::createDictionaryValue();
    ValuePtr owned(root);
    zem::ListValue* patterns = zem::createListValue();
    root->set(L"patterns", patterns);
    // Measure one batch to know how many entries fill the target.
    for (int i = 0; i < 100; ++i)
        patterns->append(makeEntry(random, i));
    json ? zem::formatJson(root, text) : zem::formatJasmine(root, text);
    size_t perEntry = text.size() * sizeof(wchar_t) / 100;
    size_t total = TARGET_BYTES / perEntry + 1;
    for (size_t i = 100; i < total; ++i)
        patterns->append(makeEntry(random, static_cast<int>(i)));
    json ? zem::formatJson(root, text) : zem::formatJasmine(root, text);
    return owned;
}

double megabytesPerSecond(size_t bytes, int64_t microseconds) {
    if (microseconds <= 0)
        microseconds = 1;
    return static_cast<double>(bytes) / (1024.0 * 1024.0) / (static_cast<double>(microseconds) / 1e6);
}

void bench(bool json) {
    std::wstring text;
    ValuePtr document = makeDocument(json, text);
    const size_t bytes = text.size() * sizeof(wchar_t);

    int64_t bestParse = -1;
    int64_t bestWrite = -1;
    std::wstring written;
    zem::JsonReaderSettings settings;
    settings.allowRegExp = true;
    settings.allowSymbols = true;
    settings.allowSingleQuoted = true;
    for (int run = 0; run < RUNS; ++run) {
        zem::Stopwatch parseTime;
        parseTime.start();
        ValuePtr parsed(json ? zem::parseJson(settings, text) : zem::parseJasmine(text));
        parseTime.stop();
        if (!parsed->equals(document.get())) {
            std::printf("%s: the parsed tree differs from the written one\n", json ? "JSON" : "Jasmine");
            return;
        }
        zem::Stopwatch writeTime;
        writeTime.start();
        json ? zem::formatJson(parsed.get(), written) : zem::formatJasmine(parsed.get(), written);
        writeTime.stop();
        if (bestParse < 0 || parseTime.elapsed() < bestParse)
            bestParse = parseTime.elapsed();
        if (bestWrite < 0 || writeTime.elapsed() < bestWrite)
            bestWrite = writeTime.elapsed();
    }
    std::printf("%-8s %6.2f MB (%zu code units): parse %7.2f MB/s (%lld ms), write %7.2f MB/s (%lld ms)\n",
                json ? "JSON" : "Jasmine", bytes / (1024.0 * 1024.0), text.size(), megabytesPerSecond(bytes, bestParse),
                static_cast<long long>(bestParse / 1000), megabytesPerSecond(bytes, bestWrite),
                static_cast<long long>(bestWrite / 1000));
}

} // namespace

int main() {
    try {
        bench(true);
        bench(false);
    } catch (zem::Exception& e) {
        std::printf("failed: %ls\n", e.message().c_str());
        return 1;
    }
    return 0;
}
