// What a copy, move or remove asks and tells its owner: questions answered with yes, retry,
// skip or cancel (some remembered for all later questions of one code), throttled progress
// reports, progress counts and an estimate of the time left.
#pragma once
#include "zem/base/CallbackList.h"
#include "zem/base/Error.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zem {

// Gives the file layer a state word per path; bits 6-9 receive the last event code.
class FileItemStateProvider {
public:
    virtual uint32_t* lookup(const wchar_t* path) = 0;
    virtual void reset() = 0;

protected:
    ~FileItemStateProvider() = default;
};

class FileProgressHandler {
public:
    enum Answer : uint32_t {
        UI_Yes = 0,
        UI_Retry = 1,
        UI_Skip = 2,
        UI_Cancel = 3,
        UI_ForAll = 0x1000, // apply to every later question with the same code
        UI_AnswerMask = 0xFFF,
    };
    enum Category : uint32_t {
        CATEGORY_CONFIRM = 0,
        CATEGORY_REPLACE = 1,
        CATEGORY_DELETE = 2,
        CATEGORY_RETRY = 3,
        CATEGORY_FATAL = 4,
    };
    enum Operation : uint32_t {
        OP_CREATE_FILE = 3,
        OP_DELETE_FILE = 4,
        OP_MOVE = 5,
        OP_CREATE_DIRECTORY = 6,
        OP_DELETE_DIRECTORY = 7,
        OP_CHANGE_DIRECTORY = 8,
        OP_SET_ATTRIBUTES = 9,
        OP_GET_ATTRIBUTES = 10,
        OP_READ = 11,
        OP_WRITE = 12,
        OP_OPEN_WRITE = 13,
        OP_OPEN_READ = 14,
        OP_LIST_DIRECTORY = 15,
        OP_COPY_FILE = 16,
    };
    enum Event : uint32_t {
        EVENT_LIST_STARTED = 1,
        EVENT_EXECUTION_STARTED = 2,
        EVENT_FILE_COPIED = 3,
        EVENT_FILE_DELETED = 4,
        EVENT_DIRECTORY_CREATED = 6,
        EVENT_DIRECTORY_REMOVED = 7,
        EVENT_DIRECTORY_FIRST_FILE = 8,
        EVENT_ATTRIBUTES_CHANGED = 9,
    };
    enum Question : uint32_t {
        Q_REPLACE_FILE = 0x20003010,
        Q_REPLACE_READ_ONLY_FILE = 0x20003011,
        Q_FILE_EXISTS = 0x20003012,
        Q_READ_ONLY_EXISTS = 0x20003013,
        Q_DELETE_FILE = 0x20003014,
        Q_DELETE_READ_ONLY_FILE = 0x20003015,
        Q_DELETE_DIRECTORY = 0x20003016,
        Q_CONFIRM = 0x20003017,
        Q_REPLACE_DIRECTORY_CONTENT = 0x20003018,
    };

    static constexpr uint32_t DEFAULT_TICK_INTERVAL_MS = 20;
    static constexpr int32_t ESTIMATE_TOO_LARGE = static_cast<int32_t>(0x80000000u);

    typedef void (*Callback)(void* userData, FileProgressHandler* handler);
    typedef uint32_t (*QuestionCallback)(void* userData, FileProgressHandler* handler);
    typedef void (*Listener)(void* userData, FileProgressHandler* handler, uint32_t event);
    // Milliseconds; only differences between readings matter.
    typedef uint64_t (*ClockFunction)(void* userData);

    FileProgressHandler();
    FileProgressHandler(const FileProgressHandler&) = delete;
    FileProgressHandler& operator=(const FileProgressHandler&) = delete;

    void setTickCallback(Callback callback, void* userData);
    void setItemCallback(Callback callback, void* userData);
    void setByteCallback(Callback callback, void* userData);
    void setQuestionCallback(QuestionCallback callback, void* userData);
    void addListener(Listener listener, void* userData) { m_listeners.add(listener, userData); }
    void removeListener(Listener listener, void* userData) { m_listeners.remove(listener, userData); }
    void setItemStateProvider(FileItemStateProvider* provider) { m_stateProvider = provider; }
    void setClock(ClockFunction clock, void* userData);
    void setTickInterval(uint32_t milliseconds) { m_tickInterval = milliseconds; }

    // Presets the answer to every question of code; it survives reset.
    void setAnswer(uint32_t code, uint32_t answer);
    // The remembered answer of code (UI_ForAll stripped), or false.
    bool findAnswer(uint32_t code, uint32_t* answer) const;
    void clearAnswers() { m_answers.clear(); }
    void requestCancel() { m_cancelRequested = true; }
    bool isCancelRequested() const { return m_cancelRequested; }

    // Clears totals, counts, times, flags and the estimate; tells the item-state provider.
    void reset(bool confirmSingly);
    // Asks about the thread's last error (see the file operations). Returns the answer code.
    uint32_t ask(bool fatal);
    // Records the current file's position; reports it to the byte callback when forced or
    // a tick interval has passed since the last report.
    void progress(uint64_t position, bool force);
    // Seconds left by the pace so far; -1 until 3 seconds have passed and an item is done,
    // ESTIMATE_TOO_LARGE when it does not fit.
    int32_t getRemainingSeconds();

    static const wchar_t* getOperationName(uint32_t operation);
    static uint32_t categoryOf(uint32_t code);

    uint32_t getOperation() const { return m_operation; }
    const std::wstring& getPath() const { return m_path; }
    const std::wstring& getSourcePath() const { return m_sourcePath; }
    const std::wstring& getDestinationPath() const { return m_destinationPath; }
    uint32_t getItemsToDo() const { return m_itemsToDo; }
    uint32_t getItemsDone() const { return m_itemsDone; }
    uint64_t getBytesToDo() const { return m_bytesToDo; }
    uint64_t getBytesDone() const { return m_bytesDone; }
    uint32_t getLastAnswer() const { return m_lastAnswer; }
    uint32_t getCategory() const { return m_category; }
    bool isConfirmSingly() const { return m_confirmSingly; }
    bool isSkipAllowed() const { return !m_skipNotAllowed; }
    // The error the last question was about.
    const ErrorRecord& getError() const { return m_error; }
    uint64_t getStartTime() const { return m_startTime; }

    // The steps of the file operations report through these.
    void setOperation(uint32_t operation) { m_operation = operation; }
    void setPath(const wchar_t* path) { m_path = path ? path : L""; }
    void setSourcePath(const wchar_t* path) { m_sourcePath = path ? path : L""; }
    void setDestinationPath(const wchar_t* path) { m_destinationPath = path ? path : L""; }
    void setSkipAllowed(bool allowed) { m_skipNotAllowed = !allowed; }
    void setConfirmSingly(bool singly) { m_confirmSingly = singly; }
    void setTotals(uint32_t items, uint64_t bytes);
    void startClock();
    // A new file starts at position 0.
    void startFile() { m_lastPosition = 0; }
    void itemDone();
    // Gives the tick callback its chance, at most once per tick interval.
    void tick();
    // Tells the listeners and marks the path's state word.
    void notify(uint32_t event, const wchar_t* path);
    std::vector<char>& copyBuffer() { return m_copyBuffer; }
    uint64_t now() const;

private:
    // Sends held-back item and byte reports.
    void flushReports();

    Callback m_tick = nullptr;
    void* m_tickData = nullptr;
    Callback m_item = nullptr;
    void* m_itemData = nullptr;
    Callback m_byte = nullptr;
    void* m_byteData = nullptr;
    QuestionCallback m_question = nullptr;
    void* m_questionData = nullptr;
    CallbackList<void(FileProgressHandler*, uint32_t)> m_listeners;
    FileItemStateProvider* m_stateProvider = nullptr;
    ClockFunction m_clock = nullptr;
    void* m_clockData = nullptr;

    uint32_t m_operation = 0;
    std::wstring m_path;
    std::wstring m_sourcePath;
    std::wstring m_destinationPath;

    uint32_t m_itemsToDo = 0;
    uint32_t m_itemsDone = 0;
    uint64_t m_bytesToDo = 0;
    uint64_t m_bytesDone = 0;
    uint64_t m_lastPosition = 0; // of the current file

    uint64_t m_startTime = 0;
    uint64_t m_lastEstimateTime = 0;
    int32_t m_estimate = -1;

    uint32_t m_lastAnswer = UI_Yes;
    uint32_t m_category = CATEGORY_FATAL;
    bool m_skipNotAllowed = false;
    bool m_cancelRequested = false;
    bool m_confirmSingly = false;
    std::map<uint32_t, uint32_t> m_answers; // error code -> answer without UI_ForAll

    std::vector<char> m_copyBuffer;
    ErrorRecord m_error;

    uint32_t m_tickInterval = DEFAULT_TICK_INTERVAL_MS;
    uint64_t m_lastTick = 0;
    uint64_t m_lastItemReport = 0;
    uint64_t m_lastByteReport = 0;
    bool m_itemReportHeld = false;
    bool m_byteReportHeld = false;
};

} // namespace zem
