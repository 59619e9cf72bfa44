// Project files (".cvProject") as a project reads them from a memory file: the tree of
// virtual folders, real folders and files. A project that loaded is saved and loaded
// again, and must build the same value.
#include "MemoryFiles.h"

#include "corvel/jasmine/JasmineValue.h"
#include "corvel/projects/Project.h"

namespace {

fuzz::Verdict run(const std::string& input) {
    static const fuzz::MemoryFolder folder(L"fuzzprj");
    static const std::wstring path = folder.path(L"input.cvProject");
    folder.put(path, input);
    corvel::JasmineValue first;
    {
        corvel::Project project(nullptr);
        if (!project.load(path.c_str()))
            return fuzz::REJECTED;
        first = project.buildValue();
        if (!project.save(nullptr))
            throw fuzz::Changed{"a project that loaded cannot be saved"};
    }
    corvel::Project again(nullptr);
    if (!again.load(path.c_str()))
        throw fuzz::Changed{"the saved project does not load"};
    fuzz::expectSameValue(first, again.buildValue());
    return fuzz::ACCEPTED;
}

} // namespace

int main(int argc, char** argv) {
    fuzz::Target target{
        "fuzz_project",
        {"{",        "}",   "[", "]",  "version : '0 9 4 0'", "root",         "vdir", "content", "dir",
         "file",     ":",   "'", "\"", "'.\\\\a.txt'",        "'C:\\\\work'", "//",   "+",       "\xEF\xBB\xBF",
         "\xFF\xFE", "null"},
        &run};
    return fuzz::runFuzzer(argc, argv, target);
}
