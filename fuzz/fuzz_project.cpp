// Project files (".cvProject") as a project reads them from a memory file: the tree of
// virtual folders, real folders and files. A project that loaded is saved and loaded
// again, and must build the same value.
#include "FuzzHarness.h"

#include "corvel/jasmine/JasmineValue.h"
#include "corvel/projects/Project.h"
#include "zem/files/FileIO.h"
#include "zem/files/RamDisk.h"

namespace {

const wchar_t* const INPUT_FILE = L"fuzzprj:input.cvProject";

bool writeBytes(const wchar_t* path, const std::string& bytes) {
    zem::File* file = zem::fileOpen(path, zem::FILE_MODE_WRITE);
    if (!file)
        return false;
    uint32_t size = static_cast<uint32_t>(bytes.size());
    bool ok = size == 0 || file->write(bytes.data(), size) == size;
    return zem::fileClose(file) && ok;
}

fuzz::Verdict run(const std::string& input) {
    static zem::RamDisk* disk = [] {
        auto* made = new zem::RamDisk;
        zem::fileAttachDevice(made, L"fuzzprj", 100);
        return made;
    }();
    (void)disk;
    if (!writeBytes(INPUT_FILE, input))
        throw fuzz::Changed{"the memory file refused the input"};
    corvel::JasmineValue first;
    {
        corvel::Project project(nullptr);
        if (!project.load(INPUT_FILE))
            return fuzz::REJECTED;
        first = project.buildValue();
        if (!project.save(nullptr))
            throw fuzz::Changed{"a project that loaded cannot be saved"};
    }
    corvel::Project again(nullptr);
    if (!again.load(INPUT_FILE))
        throw fuzz::Changed{"the saved project does not load"};
    corvel::JasmineValue second = again.buildValue();
    if (first != second) {
        std::wstring a;
        std::wstring b;
        first.writeText(a, 0);
        second.writeText(b, 0);
        throw fuzz::Changed{"built again " + fuzz::difference(a, b)};
    }
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
