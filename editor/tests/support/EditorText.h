// Lines held in memory as a line cache's source, over the made monospaced face (12 x 20
// pixel cells), with a context the cache lays lines out in.
#pragma once
#include "corvel/editor/LineCache.h"
#include "corvel/editor/LineTextSource.h"
#include "support/TextFixture.h"

#include <string>
#include <vector>

namespace edtest {

class TextLines : public corvel::LineTextSource {
public:
    int32_t getLineCount() override { return static_cast<int32_t>(lines.size()); }
    int32_t getTabWidth() override { return 4; }
    void readLine(int32_t line, corvel::afUnicode& record) override {
        ++reads;
        record.setText(lines[line]);
        record.cells().assign(lines[line].size(), corvel::afUnicodeStyleCell());
    }

    std::vector<std::wstring> lines;
    int reads = 0;
};

class CacheFixture : public uitest::TextFixture {
protected:
    void SetUp() override {
        uitest::TextFixture::SetUp();
        cache.reset(new corvel::LineCache(*context));
    }
    // Binds lines to the cache; wrapColumns > 0 wraps at that many cells.
    void bind(const std::vector<std::wstring>& lines, int wrapColumns = 0) {
        text.lines = lines;
        context->setWrap(wrapColumns > 0, wrapColumns * uitest::MONO_CELL);
        cache->setSource(&text);
    }

    TextLines text;
    std::unique_ptr<corvel::LineCache> cache;
};

} // namespace edtest
