// A context over the made monospaced face, a table of styles and a line to fill.
#pragma once
#include "MonoFace.h"
#include "corvel/ui/afUnicode.h"
#include "corvel/ui/afUnicodeContext.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace uitest {

class StyleTable : public corvel::afUnicodeStyleProvider {
public:
    const corvel::afUnicodeStyle& styleFor(uint16_t styleId) override {
        auto found = styles.find(styleId);
        return found == styles.end() ? fallback : found->second;
    }
    std::map<uint16_t, corvel::afUnicodeStyle> styles;
    corvel::afUnicodeStyle fallback{0xFFFFFFFF, 0xFF000000, 0, 0};
};

class TextFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(monoFontManager().hasFont(L"CorvelMono"));
        context.reset(new corvel::afUnicodeContext(&monoFontManager()));
        context->setFontFamily(monoFontManager().getFontGroup({L"CorvelMono"}, MONO_POINTS), 0, 0);
        context->setStyleProvider(&styles);
    }
    // Fills the line with text, one cell of style 0 per character plus extra cells, and lays it out.
    bool lay(const std::wstring& text, size_t extraCells = 0) {
        line.reset();
        line.setText(text);
        line.cells().assign(text.size() + extraCells, corvel::afUnicodeStyleCell());
        line.setLogicalLength(static_cast<int>(text.size()));
        return line.process(*context);
    }

    StyleTable styles;
    std::unique_ptr<corvel::afUnicodeContext> context;
    corvel::afUnicode line;
};

} // namespace uitest
