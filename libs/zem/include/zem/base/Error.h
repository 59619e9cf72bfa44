// Per-thread error records of the file layer: a 32-bit code and up to four text
// parameters, rendered through a process-wide table of templates or the system's texts.
#pragma once
#include "zem/base/Object.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zem {

// Codes with bit 29 set are the library's own; everything else is a Win32 error code.
enum ErrorCode : uint32_t {
    ERR_SUCCESS = 0,
    ERR_INVALID_CALL = 0x20000000,
    ERR_INTERNAL = 0x20000001,
    ERR_UNKNOWN_TEXT_DB = 0x20000002,
    ERR_CANCELLED = 0x20000003,
    ERR_TOO_MANY_DEVICES = 0x20001000,
    ERR_DEVICE_NAME_TOO_LONG = 0x20001001,
    ERR_UNKNOWN_DEVICE = 0x20001002,
    ERR_DEVICES_ACTIVE = 0x20001003,
    ERR_WRONG_DEVICE_PARAMETER = 0x20001004,
    ERR_DEVICE_READ_ONLY = 0x20001005,
    ERR_OPERATION_NOT_SUPPORTED = 0x20001006,
    ERR_UNIQUE_FILE_FAILED = 0x20001007,
    ERR_UNIQUE_DIR_FAILED = 0x20001008,
    ERR_MOVE_FILE_ACROSS_DEVICES = 0x20001009,
    ERR_MOVE_DIR_ACROSS_DEVICES = 0x2000100a,
    ERR_TWO_DEVICES = 0x2000100b,
    ERR_NO_ROOT_DEVICE = 0x2000100c,
    ERR_MOVE_DIR_TO_ITSELF = 0x2000100d,
    ERR_MOVE_FILE_TO_ITSELF = 0x2000100e,
    ERR_MOVE_FILE_TO_DIR = 0x2000100f,
    ERR_MOVE_DIR_TO_FILE = 0x20001010,
    ERR_MOVE_DIR_TO_EXISTING_DIR = 0x20001011,
    ERR_COPY_DIR_TO_ITSELF = 0x20001012,
    ERR_COPY_FILE_TO_ITSELF = 0x20001013,
    ERR_COPY_FILE_TO_DIR = 0x20001014,
    ERR_COPY_DIR_TO_FILE = 0x20001015,
    ERR_PROJECT_FOLDER_MISSING = 0x20002000,
    ERR_PROJECT_FILE_MISSING = 0x20002001,
    ERR_PROJECT_FILE_OPEN = 0x20002002,
    ERR_ERROR_CODE_EXISTS = 0x20008000,
    ERR_MISSING_PARAMETERS = 0x20008001,
    ERR_FORMATTING_FAILED = 0x20008002,
    ERR_WRONG_MESSAGE_FORMAT = 0x20008003,
};

class ErrorParams {
public:
    static constexpr size_t MAX_PARAMS = 4;

    // Ignored once four are held; a null text is stored as "NULL_PTR".
    void add(const wchar_t* text);
    void add(const std::wstring& text) { add(text.c_str()); }
    void addHex(uint32_t value);
    void clear();
    void assign(const ErrorParams& other);
    size_t count() const { return m_starts.size(); }
    std::wstring get(size_t index) const;

private:
    std::wstring m_buffer;       // parameters one after another, each zero-terminated
    std::vector<size_t> m_starts; // start offset of each parameter
};

struct ErrorRecord {
    uint32_t code = 0;
    ErrorParams params;
};

// The calling thread's record.
ErrorRecord& currentError();
// SetLastError(code); a nonzero code clears the parameters and adds itself as
// parameter 0. Returns the parameters for the caller's own (null for code 0).
ErrorParams* setError(uint32_t code);
ErrorParams* setErrorFromLastError();
ErrorRecord& captureLastError();
uint32_t lastErrorCode();

// A copy of a thread's record that outlives later calls on the thread.
class ErrorObject : public Object {
public:
    ErrorObject();
    explicit ErrorObject(const ErrorRecord& record);
    uint32_t code() const { return m_record.code; }
    const ErrorParams& params() const { return m_record.params; }
    std::wstring message() const;

private:
    ErrorRecord m_record;
};

struct ErrorTableEntry {
    int64_t code; // -1 ends a table
    int paramCount;
    const wchar_t* text;
};

bool registerErrorTable(const ErrorTableEntry* entries);
void formatErrorMessage(const ErrorRecord& record, std::wstring& out);
std::wstring formatErrorMessage(const ErrorRecord& record);
// The current thread's error as text.
std::wstring lastErrorMessage();

} // namespace zem
