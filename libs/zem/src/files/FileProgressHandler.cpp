#include "zem/files/FileProgressHandler.h"

#include "zem/base/Assert.h"
#include "zem/base/Clock.h"

#include <windows.h>

namespace zem {

namespace {

const wchar_t* const kOperationNames[] = {
    L"Creating file",
    L"Deleting file",
    L"Moving file or directory",
    L"Creating directory",
    L"Deleting directory",
    L"Changing current directory",
    L"Changing file or directory attributes",
    L"Retrieving file or directory attributes",
    L"Reading data",
    L"Writing data",
    L"Opening file for write",
    L"Opening file for read",
    L"Listing content of directory",
    L"Copying file",
};

bool isFatalCode(uint32_t code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
    case 0x20001001:
    case 0x20001002:
    case 0x20001004:
    case 0x20001005:
    case 0x20001006:
        return true;
    default:
        return code >= 0x20001008 && code <= 0x20001015;
    }
}

} // namespace

FileProgressHandler::FileProgressHandler() = default;

void FileProgressHandler::setTickCallback(Callback callback, void* userData) {
    m_tick = callback;
    m_tickData = userData;
}

void FileProgressHandler::setItemCallback(Callback callback, void* userData) {
    m_item = callback;
    m_itemData = userData;
}

void FileProgressHandler::setByteCallback(Callback callback, void* userData) {
    m_byte = callback;
    m_byteData = userData;
}

void FileProgressHandler::setQuestionCallback(QuestionCallback callback, void* userData) {
    m_question = callback;
    m_questionData = userData;
}

void FileProgressHandler::setClock(ClockFunction clock, void* userData) {
    m_clock = clock;
    m_clockData = userData;
}

uint64_t FileProgressHandler::now() const {
    return m_clock ? m_clock(m_clockData) : currentTimeMs();
}

void FileProgressHandler::setAnswer(uint32_t code, uint32_t answer) {
    answer &= UI_AnswerMask;
    ZEM_ASSERT_MSG(answer != UI_Retry, L"result != UI_Retry");
    m_answers[code] = answer;
}

bool FileProgressHandler::findAnswer(uint32_t code, uint32_t* answer) const {
    auto it = m_answers.find(code);
    if (it == m_answers.end())
        return false;
    *answer = it->second;
    return true;
}

void FileProgressHandler::reset(bool confirmSingly) {
    m_operation = 0;
    m_path.clear();
    m_sourcePath.clear();
    m_destinationPath.clear();
    m_itemsToDo = 0;
    m_itemsDone = 0;
    m_bytesToDo = 0;
    m_bytesDone = 0;
    m_lastPosition = 0;
    m_startTime = 0;
    m_lastEstimateTime = 0;
    m_estimate = -1;
    m_lastAnswer = UI_Yes;
    m_category = CATEGORY_FATAL;
    m_skipNotAllowed = false;
    m_cancelRequested = false;
    m_confirmSingly = confirmSingly;
    m_lastTick = 0;
    m_lastItemReport = 0;
    m_lastByteReport = 0;
    m_itemReportHeld = false;
    m_byteReportHeld = false;
    if (m_stateProvider)
        m_stateProvider->reset();
}

uint32_t FileProgressHandler::categoryOf(uint32_t code) {
    switch (code) {
    case Q_CONFIRM:
        return CATEGORY_CONFIRM;
    case Q_REPLACE_FILE:
    case Q_REPLACE_READ_ONLY_FILE:
    case Q_FILE_EXISTS:
    case Q_READ_ONLY_EXISTS:
    case Q_REPLACE_DIRECTORY_CONTENT:
        return CATEGORY_REPLACE;
    case Q_DELETE_FILE:
    case Q_DELETE_READ_ONLY_FILE:
    case Q_DELETE_DIRECTORY:
        return CATEGORY_DELETE;
    default:
        return isFatalCode(code) ? CATEGORY_FATAL : CATEGORY_RETRY;
    }
}

uint32_t FileProgressHandler::ask(bool fatal) {
    uint32_t code = lastErrorCode();
    uint32_t category = fatal ? static_cast<uint32_t>(CATEGORY_FATAL) : categoryOf(code);
    uint32_t answer = UI_Cancel;
    if (!findAnswer(code, &answer)) {
        answer = UI_Cancel;
        if (m_question) {
            m_error.code = currentError().code;
            m_error.params.assign(currentError().params);
            m_category = category;
            flushReports();
            uint64_t asked = now();
            answer = m_question(m_questionData, this);
            // The time the user took is no part of the pace of the work.
            uint64_t spent = now() - asked;
            m_startTime += spent;
            m_lastEstimateTime += spent;
            // The callback may have run other file calls; the error is this question's.
            currentError().code = m_error.code;
            currentError().params.assign(m_error.params);
            SetLastError(m_error.code);
        }
        if (answer & UI_ForAll) {
            answer &= UI_AnswerMask;
            ZEM_ASSERT_MSG(answer != UI_Retry, L"result != UI_Retry");
            m_answers[code] = answer;
        }
    }
    answer &= UI_AnswerMask;
    if (answer == UI_Skip && m_skipNotAllowed)
        answer = UI_Cancel;
    if (category == CATEGORY_FATAL)
        answer = UI_Cancel;
    m_lastAnswer = answer;
    return answer;
}

void FileProgressHandler::progress(uint64_t position, bool force) {
    if (position > m_lastPosition)
        m_bytesDone += position - m_lastPosition;
    m_lastPosition = position;
    if (!m_byte)
        return;
    uint64_t time = now();
    if (!force && time - m_lastByteReport < m_tickInterval) {
        m_byteReportHeld = true;
        return;
    }
    m_byteReportHeld = false;
    m_lastByteReport = time;
    m_byte(m_byteData, this);
}

void FileProgressHandler::itemDone() {
    ++m_itemsDone;
    if (!m_item)
        return;
    uint64_t time = now();
    if (time - m_lastItemReport < m_tickInterval) {
        m_itemReportHeld = true;
        return;
    }
    m_itemReportHeld = false;
    m_lastItemReport = time;
    m_item(m_itemData, this);
}

void FileProgressHandler::flushReports() {
    if (m_byteReportHeld)
        progress(m_lastPosition, true);
    if (m_itemReportHeld && m_item) {
        m_itemReportHeld = false;
        m_lastItemReport = now();
        m_item(m_itemData, this);
    }
}

void FileProgressHandler::tick() {
    if (!m_tick)
        return;
    uint64_t time = now();
    if (time - m_lastTick < m_tickInterval)
        return;
    m_lastTick = time;
    m_tick(m_tickData, this);
}

void FileProgressHandler::setTotals(uint32_t items, uint64_t bytes) {
    m_itemsToDo = items;
    m_bytesToDo = bytes;
}

void FileProgressHandler::startClock() {
    m_startTime = now();
    m_lastEstimateTime = 0;
    m_estimate = -1;
}

void FileProgressHandler::notify(uint32_t event, const wchar_t* path) {
    if (m_stateProvider && path) {
        if (uint32_t* word = m_stateProvider->lookup(path))
            *word = (*word & ~(0xFFu << 6)) | ((event & 0xF) << 6);
    }
    m_listeners.invoke(this, event);
}

int32_t FileProgressHandler::getRemainingSeconds() {
    if (m_itemsToDo == 0 || m_itemsDone == 0)
        return m_estimate;
    uint64_t time = now();
    uint64_t elapsed = time - m_startTime;
    if (elapsed <= 3000 || (m_lastEstimateTime != 0 && time - m_lastEstimateTime < 101))
        return m_estimate;
    m_lastEstimateTime = time;
    uint64_t left = m_itemsToDo > m_itemsDone ? m_itemsToDo - m_itemsDone : 0;
    uint64_t seconds = left * elapsed / m_itemsDone / 1000;
    m_estimate = seconds > 0x7FFFFFFF ? ESTIMATE_TOO_LARGE : static_cast<int32_t>(seconds);
    return m_estimate;
}

const wchar_t* FileProgressHandler::getOperationName(uint32_t operation) {
    if (operation >= OP_CREATE_FILE && operation <= OP_COPY_FILE)
        return kOperationNames[operation - OP_CREATE_FILE];
    return L"File operation";
}

} // namespace zem
