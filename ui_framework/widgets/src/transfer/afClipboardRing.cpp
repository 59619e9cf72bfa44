#include "corvel/widgets/afClipboardRing.h"

#include "WidgetsLog.h"
#include "zem/log/LogManager.h"

#include <cstring>
#include <new>

namespace corvel {

const size_t afClipboardRing::CAPACITY;
const size_t afClipboardRing::MAX_TEXT_LENGTH;
const size_t afClipboardRing::SUMMARY_LENGTH;

std::wstring afClipboardRing::summarize(const wchar_t* text, size_t length) {
    std::wstring summary;
    size_t i = 0;
    while (i < length && text[i] <= 32)
        ++i;
    for (; i < length; ++i) {
        wchar_t c = text[i];
        if (c > 32)
            summary += c;
        else if (c == L'\t' || c == L'\n' || c == L' ')
            summary += L' ';
        if (summary.size() > 28) {
            summary += L"...";
            break;
        }
    }
    return summary;
}

bool afClipboardRing::putText(const wchar_t* text, size_t length) {
    if (!text || length == 0) {
        zem::logMessage(1, WIDGETS_LOG_SOURCE, L"afClipboardRing::putText(): Cannot put NULL text.");
        return false;
    }
    if (m_entries.size() >= CAPACITY)
        m_entries.erase(m_entries.begin());
    std::unique_ptr<afClipboardRingEntry> entry(new afClipboardRingEntry);
    if (length >= MAX_TEXT_LENGTH) {
        entry->status = afClipboardRingEntry::TOO_LONG;
        entry->summary = L"ERROR: Text exceeds capacity of the ring.";
    } else {
        entry->summary = summarize(text, length);
        entry->text.reset(new (std::nothrow) wchar_t[length + 1]);
        if (!entry->text) {
            entry->status = afClipboardRingEntry::OUT_OF_MEMORY;
            entry->summary = L"ERROR: Unable to allocate memory.";
        } else {
            std::memcpy(entry->text.get(), text, length * sizeof(wchar_t));
            entry->text[length] = 0;
            entry->length = static_cast<uint32_t>(length);
        }
    }
    bool stored = entry->status == afClipboardRingEntry::STORED;
    m_entries.push_back(std::move(entry));
    return stored;
}

} // namespace corvel
