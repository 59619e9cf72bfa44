// How long BundleManager::load takes to find, read, validate and install the shipped
// bundles, and the grammars then take until they are compiled and installed; then the same
// with 200 copies of the set under fresh UUIDs. Baseline in the same run: reading and
// parsing the same files with the product's own reader and parser, and compiling each of
// their regular expressions once, which any load must do at the least.
#include "BenchBundles.h"
#include "corvel/bundles/BundleSource.h"
#include "zem/text/RegEx.h"
#include "zem/thread/Thread.h"
#include "zem/value/DictionaryValue.h"
#include "zem/value/ListValue.h"
#include "zem/value/RegExpValue.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace {

constexpr int COPIES = 200;

double nowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1e3 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void compileExpressions(const zem::Value* value, int& count) {
    if (!value)
        return;
    if (value->kind() == zem::Value::KIND_REGEXP) {
        const zem::RegExpValue* regex = static_cast<const zem::RegExpValue*>(value);
        std::wstring source;
        if (!zem::RegEx::rewriteHexEscapes(regex->pattern(), source))
            source = regex->pattern();
        zem::RegExPtr compiled = zem::RegEx::create(source);
        count += compiled->isCompiled() ? 1 : 0;
    } else if (value->kind() == zem::Value::KIND_LIST) {
        const zem::ListValue* list = static_cast<const zem::ListValue*>(value);
        for (size_t i = 0; i < list->size(); ++i)
            compileExpressions(list->at(i), count);
    } else if (value->kind() == zem::Value::KIND_DICTIONARY) {
        for (const zem::DictionaryEntry& entry : static_cast<const zem::DictionaryValue*>(value)->inOrder())
            compileExpressions(entry.value, count);
    }
}

// Reads, decodes and parses every file and compiles each expression once; milliseconds.
double baseline(const std::vector<std::wstring>& files, int& expressions) {
    double start = nowMs();
    expressions = 0;
    corvel::ValidationErrorList errors;
    for (const std::wstring& file : files) {
        std::string bytes = bench::readWhole(file);
        int units = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        std::wstring text(static_cast<size_t>(units), L'\0');
        if (units > 0)
            MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], units);
        std::unique_ptr<zem::DictionaryValue> value(corvel::parseBundleSource(nullptr, text, file, errors));
        compileExpressions(value.get(), expressions);
    }
    return nowMs() - start;
}

void report(const char* what, size_t bundles, size_t files, double loadMs, double compiledMs, double baseMs,
            int expressions) {
    double total = loadMs + compiledMs;
    std::printf("%s: %zu bundles, %zu files: loaded in %.1f ms (%.0f bundles/s), grammars installed %.1f ms "
                "after the load, total %.1f ms; baseline (read, parse, compile %d expressions once) %.1f ms; "
                "ratio %.2f\n",
                what, bundles, files, loadMs, bundles / (loadMs / 1000.0), compiledMs, total, expressions, baseMs,
                baseMs > 0 ? total / baseMs : 0.0);
}

} // namespace

int main() {
    zem::recordMainThread();
    bench::ShippedBundleHost host;
    if (!host.found()) {
        std::printf("bundle_load: the shipped bundles were not found\n");
        return 1;
    }
    size_t shipped = host.shipped().size();
    int expressions = 0;
    // The first load warms the system's file cache and the program's own first-use costs.
    host.reload(nullptr);
    double compiledMs = 0;
    double loadMs = host.reload(&compiledMs);
    double base = baseline(host.files(), expressions);
    report("shipped", shipped, host.files().size(), loadMs, compiledMs, base, expressions);

    host.addCopies(COPIES);
    loadMs = host.reload(&compiledMs);
    base = baseline(host.files(), expressions);
    report("with copies", shipped * (COPIES + 1), host.files().size(), loadMs, compiledMs, base, expressions);
    return 0;
}
