// Turns a document's scopes into text styles: a style is computed once per style number
// (a scope's index in the document's scope store) from the theme and the scope path of
// the first scope that asks for it, and kept until the theme changes. Main thread only.
#pragma once
#include "corvel/document/TextStyler.h"

#include "zem/base/Allocator.h"

#include <memory>
#include <vector>

namespace corvel {

class DocumentScope;
class DocumentTheme;

class DocumentStyler : public TextStyler {
public:
    DocumentStyler();
    ~DocumentStyler() override;
    DocumentStyler(const DocumentStyler&) = delete;
    DocumentStyler& operator=(const DocumentStyler&) = delete;

    // The record of a style number; a fresh one ({0, 0, 0, 8}, not filled) when none
    // existed, which existed (when given) tells.
    TextStyle* getStyle(uint16_t styleNumber) override;
    TextStyle* getStyle(uint16_t styleNumber, bool* existed);

    // The scope's style number, its record filled from the theme (parents first).
    uint16_t resolveStyle(const DocumentScope* scope);

    // Drops every style, then takes the theme.
    void setTheme(std::shared_ptr<DocumentTheme> theme);
    std::shared_ptr<DocumentTheme> getTheme() const { return m_theme; }
    void clearStyles();

    size_t getStyleCount() const { return m_styles.size(); }

private:
    typedef zem::TAllocator<sizeof(TextStyle), 40, 2> StylePool;

    const DocumentTheme& themeInUse();

    std::shared_ptr<DocumentTheme> m_theme;    // empty until set
    std::unique_ptr<DocumentTheme> m_defaults; // stands in while no theme is set
    StylePool m_pool;
    std::vector<TextStyle*> m_styles; // by style number; null where none is made; records from m_pool
};

} // namespace corvel
