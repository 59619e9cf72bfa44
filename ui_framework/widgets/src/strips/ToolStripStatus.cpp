#include "corvel/widgets/ToolStripStatus.h"

#include "corvel/ui/afLayoutParams.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/afSpinner.h"

#include <algorithm>

namespace corvel {

namespace {

constexpr int STATUS_TEXT_FLAGS = 1;
constexpr int BUSY_RIGHT_PADDING = 10;

} // namespace

ToolStripStatus::ToolStripStatus(afView* owner)
    : afLayoutLinear(owner, HORIZONTAL), m_message(new ViewVirtualButton(owner)), m_busy(new afSpinner(owner)),
      m_extra(new afLayoutLinear(owner, HORIZONTAL)) {
    setGravity(GRAVITY_RIGHT | GRAVITY_TOP);
    m_message->setEdges(ViewVirtualButton::EDGE_TOP);
    m_message->setTextFlags(STATUS_TEXT_FLAGS);
    m_message->setPadding(4, 0, 4, 0);
    addChild(m_message, afLayoutParams::WRAP_CONTENT, afLayoutParams::FILL_PARENT);
    m_busy->setPadding(0, 0, BUSY_RIGHT_PADDING, 0);
    auto* busyParams = new afLayoutParamsLinear(afLayoutParams::WRAP_CONTENT, afLayoutParams::WRAP_CONTENT);
    busyParams->gravity = GRAVITY_CENTER_VERTICAL;
    addChild(m_busy, busyParams);
    m_busy->setVisible(false);
    addChild(m_extra, afLayoutParams::WRAP_CONTENT, afLayoutParams::FILL_PARENT);
    m_timer.setInterval(STEP_INTERVAL);
    m_timer.setHandler(this, &ToolStripStatus::onTick);
}

ToolStripStatus::~ToolStripStatus() {
    m_timer.stop();
    for (Entry* entry : m_queue)
        delete entry;
}

ToolStripStatus::Entry* ToolStripStatus::pushStatus(const std::wstring& text) {
    if (text.empty())
        return nullptr;
    Entry* entry = new Entry{this, text, false};
    m_queue.push_back(entry);
    if (m_queue.size() == 1 && !m_timer.isRunning()) {
        m_idle = false;
        if (step())
            m_timer.start();
    }
    return entry;
}

bool ToolStripStatus::isQueued(const Entry* entry) const {
    return std::find(m_queue.begin(), m_queue.end(), entry) != m_queue.end();
}

void ToolStripStatus::removeEntry(Entry* entry) {
    m_queue.erase(std::remove(m_queue.begin(), m_queue.end(), entry), m_queue.end());
    if (m_current == entry)
        m_current = nullptr;
    delete entry;
}

void ToolStripStatus::popStatus(Entry* entry) {
    // Only entries still queued here are ours to free: a second pop must not free twice.
    if (!entry || !isQueued(entry))
        return;
    if (entry == m_current) {
        entry->done = true;
        return;
    }
    removeEntry(entry);
}

bool ToolStripStatus::onTick(afTimer*) {
    return step();
}

bool ToolStripStatus::step() {
    if (m_current && m_current->done)
        removeEntry(m_current);
    if (m_queue.empty()) {
        m_current = nullptr;
        m_busy->setVisible(false);
        m_idle = true;
        showDefault();
        m_timer.stop();
        return false;
    }
    Entry* next = m_queue.front();
    m_queue.erase(m_queue.begin());
    m_busy->setVisible(!next->done);
    m_message->setText(next->text);
    m_message->setTextFlags(STATUS_TEXT_FLAGS);
    m_message->setClick(nullptr, nullptr);
    if (next->done) {
        // Popped before it came round again: shown this once, then gone.
        if (m_current == next)
            m_current = nullptr;
        delete next;
        return true;
    }
    m_queue.push_back(next);
    m_current = next;
    return true;
}

void ToolStripStatus::showDefault() {
    m_message->setText(m_defaultText);
    bool clickable = m_defaultClick.isBound();
    m_message->setTextFlags(clickable ? ViewVirtualButton::TEXT_LINK : 0);
    if (clickable)
        m_message->setClick(this, &ToolStripStatus::onMessageClick);
    else
        m_message->setClick(nullptr, nullptr);
}

void ToolStripStatus::setDefaultText(const std::wstring& text) {
    m_defaultText = text;
    if (m_idle)
        showDefault();
}

void ToolStripStatus::setDefaultClick(void* user, DefaultClick::Function function) {
    m_defaultClick = DefaultClick(user, function);
    if (m_idle)
        showDefault();
}

void ToolStripStatus::onMessageClick(void* self, ViewVirtualButton*, afEvent*) {
    auto* strip = static_cast<ToolStripStatus*>(self);
    if (strip->m_idle && strip->m_defaultClick.isBound())
        strip->m_defaultClick(strip);
}

} // namespace corvel
