#include "corvel/document/DocumentStyler.h"

#include "corvel/document/DocumentScope.h"
#include "corvel/document/DocumentTheme.h"
#include "zem/thread/Thread.h"

#include <new>

namespace corvel {

DocumentStyler::DocumentStyler() = default;

DocumentStyler::~DocumentStyler() {
    clearStyles();
}

TextStyle* DocumentStyler::getStyle(uint16_t styleNumber) {
    return getStyle(styleNumber, nullptr);
}

TextStyle* DocumentStyler::getStyle(uint16_t styleNumber, bool* existed) {
    zem::checkMainThread();
    if (styleNumber >= m_styles.size())
        m_styles.resize(static_cast<size_t>(styleNumber) + 1, nullptr);
    TextStyle*& slot = m_styles[styleNumber];
    if (existed)
        *existed = slot != nullptr;
    if (!slot)
        slot = new (m_pool.allocate()) TextStyle();
    return slot;
}

uint16_t DocumentStyler::resolveStyle(const DocumentScope* scope) {
    uint16_t number = scope->getIndex();
    bool existed = false;
    TextStyle* style = getStyle(number, &existed);
    if (existed)
        return number;
    const TextStyle* base = nullptr;
    if (scope->getParent()) {
        uint16_t parentNumber = resolveStyle(scope->getParent());
        base = getStyle(parentNumber);
    }
    themeInUse().computeStyle(scope->getPath(), *style, base);
    return number;
}

void DocumentStyler::setTheme(std::shared_ptr<DocumentTheme> theme) {
    clearStyles();
    m_theme = std::move(theme);
}

void DocumentStyler::clearStyles() {
    for (TextStyle* style : m_styles) {
        if (style)
            m_pool.free(style);
    }
    m_styles.clear();
}

const DocumentTheme& DocumentStyler::themeInUse() {
    if (m_theme)
        return *m_theme;
    if (!m_defaults)
        m_defaults.reset(new DocumentTheme);
    return *m_defaults;
}

} // namespace corvel
