// Settings files as the configuration loader reads them: the bytes go to a memory file,
// the loader decodes and parses them and the file applies them to its declared keys
// (those of the session, preferences and projects files). What a file accepted is saved,
// loaded into a fresh configuration and must build the same document again.
#include "MemoryFiles.h"

#include "corvel/config/Config.h"
#include "corvel/config/ConfigFile.h"
#include "corvel/jasmine/JasmineValue.h"
#include "zem/base/ParserException.h"

namespace {

// The keys of three of the user's files, declared as at start-up.
void declareKeys(corvel::ConfigFile& file, int kind) {
    using corvel::ConfigValue;
    if (kind == 0) {
        ConfigValue windows(ConfigValue::TYPE_JASMINE);
        windows.setJasmine(corvel::JasmineValue(corvel::JasmineValue::TYPE_DICTIONARY));
        file.declareWithDefault(L"app.windows", windows);
        file.declare(ConfigValue::TYPE_LIST, L"app.files.recent");
        ConfigValue visible(ConfigValue::TYPE_BOOL);
        visible.setBool(false);
        file.declareWithDefault(L"app.sidebar.left.visible", visible);
        ConfigValue width(ConfigValue::TYPE_INT);
        width.setInt(256);
        file.declareWithDefault(L"app.sidebar.left.width", width);
        file.declare(ConfigValue::TYPE_LIST, L"app.docks");
    } else if (kind == 1) {
        file.declare(ConfigValue::TYPE_LIST, L"app.editor.font.names");
        ConfigValue size(ConfigValue::TYPE_INT);
        size.setInt(10);
        file.declareWithDefault(L"app.editor.font.size", size);
        ConfigValue encoding(ConfigValue::TYPE_STRING);
        encoding.setString(L"UTF-8-PLAIN");
        file.declareWithDefault(L"app.file_defaults.encoding", encoding);
        ConfigValue threads(ConfigValue::TYPE_UNSIGNED);
        threads.setUnsigned(0);
        file.declareWithDefault(L"app.parser.threads_count", threads);
        ConfigValue ratio(ConfigValue::TYPE_FLOAT);
        ratio.setFloat(0.5f);
        file.declareWithDefault(L"app.editor.ratio", ratio);
    } else {
        file.declare(ConfigValue::TYPE_LIST, L"app.projects");
    }
}

// Loads path into a fresh configuration; the built document when the whole file applied.
bool loadInto(const wchar_t* path, int kind, corvel::JasmineValue& built) {
    corvel::Config config;
    corvel::ConfigFile* file = config.getFile(path, false);
    declareKeys(*file, kind);
    if (!file->load())
        return false;
    file->buildDocument(built);
    return true;
}

fuzz::Verdict run(const std::string& input) {
    static const fuzz::MemoryFolder folder(L"fuzzcfg");
    static const std::wstring path = folder.path(L"input.cvConfig");
    folder.put(path, input);
    const int kind = static_cast<int>(input.size() % 3);
    corvel::JasmineValue first;
    try {
        corvel::Config config;
        corvel::ConfigFile* file = config.getFile(path.c_str(), false);
        declareKeys(*file, kind);
        if (!file->load())
            return fuzz::REJECTED;
        file->buildDocument(first);
        // Every key read must be written back, or the next save would lose the user's text.
        if (!file->save()) {
            std::wstring text;
            std::wstring badKey;
            first.writeText(text, 0, &badKey);
            throw fuzz::Changed{"an accepted file cannot be saved (key " + fuzz::printable(badKey) + ")"};
        }
    } catch (const zem::ParserException&) {
        return fuzz::REJECTED;
    }
    corvel::JasmineValue second;
    if (!loadInto(path.c_str(), kind, second))
        throw fuzz::Changed{"the saved file does not load"};
    fuzz::expectSameValue(first, second);
    return fuzz::ACCEPTED;
}

} // namespace

int main(int argc, char** argv) {
    fuzz::Target target{
        "fuzz_config",
        {"{",          "}",    "[", "]",   "version : '0 9 4 0'", "app",      ":",    "'",    "\"", "//",
         "/*",         "*/",   "+", "/a/", "\xEF\xBB\xBF",        "\xFF\xFE", "null", "true", "12", "-1",
         "4294967296", "1.5e3"},
        &run};
    return fuzz::runFuzzer(argc, argv, target);
}
