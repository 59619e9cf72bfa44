#include "zem/base/Error.h"

#include "zem/base/Assert.h"
#include "zem/base/Format.h"
#include "zem/thread/CriticalSection.h"
#include "zem/thread/TLS.h"

#include <map>
#include <windows.h>

namespace zem {
namespace {

struct TableEntry {
    int paramCount;
    std::wstring text;
};

struct ErrorTable {
    CriticalSection lock;
    std::map<uint32_t, TableEntry> entries; // guarded by lock
};

std::wstring hexCode(uint32_t value) { return format(L"0x%08X", value); }

const ErrorTableEntry kBaseTable[] = {
    {0x00000000, 0, L"Success."},
    {0x20000000, 0, L"Invalid call. Please check your parameters."},
    {0x20000001, 2, L"Internal error.\n\nFile: %1\nLine: %2"},
    {0x20000002, 1, L"Unknown text database identifier %1."},
    {0x20000003, 0, L"Requested operation was cancelled."},
    {-1, 0, nullptr},
};

const ErrorTableEntry kFileTable[] = {
    {0x20001000, 0, L"Too many registered devices in Corvel's file system."},
    {0x20001001, 1, L"The device name in path is too long."},
    {0x20001002, 1, L"Unknown file system device '%1'."},
    {0x20001003, 0, L"Can't release FileIO subsystem, because some devices are still active."},
    {0x20001004, 1, L"Wrong device parameter in the path."},
    {0x20001005, 1, L"The target device has read only flag."},
    {0x20001006, 2, L"The target device doesn't support requested file operation '%2'."},
    {0x20001007, 1, L"Attempt to create unique file name failed."},
    {0x20001008, 1, L"Attempt to create unique directory failed."},
    {0x20001009, 0, L"Unable to move file to another file system."},
    {0x2000100a, 0, L"Moving directory to another file system isn't allowed."},
    {0x2000100b, 0, L"The operation cannot be performed on two different devices."},
    {0x2000100c, 0, L"Internal error: FileIO subsystem is initialized without root device."},
    {0x2000100d, 1, L"Moving directory to itself is not allowed."},
    {0x2000100e, 1, L"Moving file to itself is not allowed."},
    {0x2000100f, 1, L"Moving file to directory is not allowed."},
    {0x20001010, 1, L"Moving directory to file is not allowed."},
    {0x20001011, 1, L"Unable to move directory to to another existing directory. This is an internal error."},
    {0x20001012, 1, L"Copying directory to itself is not allowed."},
    {0x20001013, 1, L"Copying file to itself is not allowed."},
    {0x20001014, 1, L"Copying file to directory is not allowed."},
    {0x20001015, 1, L"Copying directory to file is not allowed."},
    {-1, 0, nullptr},
};

const ErrorTableEntry kProjectTable[] = {
    {0x20002000, 1, L"The project folder does not exist."},
    {0x20002001, 1, L"The system cannot find the project file."},
    {0x20002002, 1, L"Error occured while opening a project file. See log for more informations."},
    {0x20003010, 0, L"Do you really want to replace this file?"},
    {0x20003011, 0, L"Do you really want to replace this read only file?"},
    {0x20003012, 1, L"The file already exists, do you want to replace it?"},
    {0x20003013, 1, L"The file is READ ONLY. Do you want to replace it?"},
    {0x20003014, 1, L"Do you want to delete file?"},
    {0x20003015, 1, L"The file is READ ONLY. Do you want to delete file?"},
    {0x20003016, 1, L"Are you sure you want to delete this directory?"},
    {0x20003017, 1, L"%1\n\nAre you sure you want to do that?"},
    {0x20003018, 1, L"Do you want to replace content of directory?"},
    {-1, 0, nullptr},
};

const ErrorTableEntry kErrorDbTable[] = {
    {0x20008000, 1, L"Error code %1 already exists in error db."},
    {0x20008001, 0, L"Missing some parameters for the error code %0. Error formating failed."},
    {0x20008002, 0, L"Formatting the error code %0 failed."},
    {0x20008003, 0, L"Wrong error message format for error code %0."},
    {-1, 0, nullptr},
};

ErrorTable& rawTable() {
    static ErrorTable* t = new ErrorTable;
    return *t;
}

bool registerInto(const ErrorTableEntry* entries);

// The library's own tables go in before anything else can claim their codes.
ErrorTable& table() {
    static const bool registered = [] {
        bool result = registerInto(kBaseTable) && registerInto(kFileTable) && registerInto(kProjectTable) &&
                      registerInto(kErrorDbTable);
        ZEM_ASSERT(result);
        return result;
    }();
    (void)registered;
    return rawTable();
}

} // namespace

void ErrorParams::add(const wchar_t* text) {
    if (m_starts.size() >= MAX_PARAMS)
        return;
    m_starts.push_back(m_buffer.size());
    m_buffer += text ? text : L"NULL_PTR";
    m_buffer += L'\0';
}

void ErrorParams::addHex(uint32_t value) { add(hexCode(value)); }

void ErrorParams::clear() {
    m_buffer.clear();
    m_starts.clear();
}

void ErrorParams::assign(const ErrorParams& other) {
    m_buffer = other.m_buffer;
    m_starts = other.m_starts;
}

std::wstring ErrorParams::get(size_t index) const {
    if (index >= m_starts.size())
        return std::wstring();
    return std::wstring(m_buffer.c_str() + m_starts[index]);
}

ErrorRecord& currentError() { return TLSSlot<ErrorRecord>::get(); }

ErrorParams* setError(uint32_t code) {
    SetLastError(code);
    ErrorRecord& record = currentError();
    record.code = code;
    record.params.clear();
    if (code == 0)
        return nullptr;
    record.params.addHex(code);
    return &record.params;
}

ErrorParams* setErrorFromLastError() { return setError(GetLastError()); }

ErrorRecord& captureLastError() {
    ErrorRecord& record = currentError();
    record.code = GetLastError();
    if (record.code == 0)
        record.params.clear();
    return record;
}

uint32_t lastErrorCode() { return currentError().code; }

ErrorObject::ErrorObject() : m_record(currentError()) {}
ErrorObject::ErrorObject(const ErrorRecord& record) : m_record(record) {}
std::wstring ErrorObject::message() const { return formatErrorMessage(m_record); }

bool registerErrorTable(const ErrorTableEntry* entries) {
    table();
    return registerInto(entries);
}

namespace {
bool registerInto(const ErrorTableEntry* entries) {
    if (!entries) {
        setError(ERR_INVALID_CALL);
        return false;
    }
    ErrorTable& t = rawTable();
    CriticalSectionLock guard(t.lock);
    for (const ErrorTableEntry* e = entries; e->code != -1; ++e) {
        uint32_t code = static_cast<uint32_t>(e->code);
        if (t.entries.count(code)) {
            setError(ERR_ERROR_CODE_EXISTS)->addHex(code);
            return false;
        }
        const wchar_t* text = e->text ? e->text : L"";
        for (const wchar_t* p = text; *p; ++p) {
            if (*p != L'%')
                continue;
            wchar_t d = p[1];
            if (d < L'0' || d > L'3' || (d - L'0') > e->paramCount) {
                setError(ERR_WRONG_MESSAGE_FORMAT);
                return false;
            }
            ++p;
        }
        t.entries.emplace(code, TableEntry{e->paramCount, text});
    }
    return true;
}
} // namespace

void formatErrorMessage(const ErrorRecord& record, std::wstring& out) {
    out.clear();
    std::wstring templ;
    bool found = false;
    {
        ErrorTable& t = table();
        CriticalSectionLock guard(t.lock);
        auto it = t.entries.find(record.code);
        if (it != t.entries.end()) {
            templ = it->second.text;
            found = true;
        }
    }
    if (found) {
        for (size_t i = 0; i < templ.size(); ++i) {
            if (templ[i] == L'%' && i + 1 < templ.size() && templ[i + 1] >= L'0' && templ[i + 1] <= L'3') {
                size_t n = static_cast<size_t>(templ[i + 1] - L'0');
                out += n < record.params.count() ? record.params.get(n) : std::wstring(L"<< EMPTY PARAM >>");
                ++i;
                continue;
            }
            out += templ[i];
        }
        return;
    }
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, record.code, 0x400, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (n > 0 && buffer) {
        // The system ends its texts with a line break, which a label shows as boxes.
        while (n > 0 && (buffer[n - 1] == L'\r' || buffer[n - 1] == L'\n' || buffer[n - 1] == L' '))
            --n;
        out.assign(buffer, n);
        LocalFree(buffer);
        return;
    }
    if (buffer)
        LocalFree(buffer);
    out = L"Unknown error code: " + hexCode(record.code);
}

std::wstring formatErrorMessage(const ErrorRecord& record) {
    std::wstring out;
    formatErrorMessage(record, out);
    return out;
}

std::wstring lastErrorMessage() { return formatErrorMessage(currentError()); }

} // namespace zem
