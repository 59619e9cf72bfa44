// Prints how fast the text stack lays out, styles and draws editor lines, against one
// plain ExtTextOutW of the same line into the same buffer in the same run:
//   page: 20,000 lines filled, processed, restyled and drawn (lines per second);
//   edit: 10,000 keystrokes into 100-character lines, each line re-laid and drawn
//         (mean and 99th percentile in microseconds).
// The text is generated source-like code of about 10 MB; eight style ids come from a
// token table, a selection layer marks every seventh line, guides are on, the face is
// "Courier New" at 10 points.
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afUnicode.h"
#include "corvel/ui/afUnicodeContext.h"
#include "corvel/ui/afUnicodeFontManager.h"
#include "corvel/ui/afUnicodeRenderer.h"
#include "zem/thread/Thread.h"

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>

namespace {

using namespace corvel;

constexpr int PAGE_LINES = 20000;
constexpr int KEYSTROKES = 10000;
constexpr int EDIT_LINE_LENGTH = 100;
constexpr int BUFFER_WIDTH = 1000;
constexpr size_t TEXT_BYTES = 10u << 20;

class Clock {
public:
    Clock() {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        m_usPerTick = 1e6 / static_cast<double>(f.QuadPart);
    }
    double now() const {
        LARGE_INTEGER c;
        QueryPerformanceCounter(&c);
        return static_cast<double>(c.QuadPart) * m_usPerTick;
    }

private:
    double m_usPerTick;
};

// Deterministic source-like lines: indentation, keywords, identifiers, numbers,
// strings, operators and comments.
class TextGenerator {
public:
    std::vector<std::wstring> lines(size_t totalUnits) {
        std::vector<std::wstring> out;
        size_t units = 0;
        while (units < totalUnits) {
            out.push_back(line());
            units += out.back().size() + 1;
        }
        return out;
    }

private:
    uint32_t next() {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }
    std::wstring word() {
        static const wchar_t* const words[] = {L"value", L"count", L"index", L"buffer", L"result", L"item",
                                               L"node", L"length", L"first", L"last", L"offset", L"text"};
        return words[next() % 12] + std::to_wstring(next() % 10);
    }
    std::wstring line() {
        static const wchar_t* const keywords[] = {L"if", L"for", L"return", L"int", L"const", L"while", L"auto"};
        std::wstring text(4 * (next() % 5), L' ');
        if (next() % 9 == 0)
            text += L'\t';
        int tokens = static_cast<int>(next() % 12);
        for (int t = 0; t < tokens; ++t) {
            switch (next() % 6) {
            case 0: text += keywords[next() % 7]; break;
            case 1: text += std::to_wstring(next() % 100000); break;
            case 2: text += L"\"" + word() + L" " + word() + L"\""; break;
            case 3: text += L" = "; break;
            default: text += word(); break;
            }
            text += (next() % 3 == 0) ? L"(" : L" ";
        }
        if (next() % 5 == 0)
            text += L"// " + word() + L" " + word() + L" " + word();
        return text;
    }
    uint32_t m_state = 12345;
};

// Style ids by token: 0 blank, 1 keyword, 2 identifier, 3 number, 4 string, 5 comment,
// 6 operator, 7 punctuation.
void styleTokens(const std::wstring& text, std::vector<afUnicodeStyleCell>& cells) {
    static const wchar_t* const keywords[] = {L"if", L"for", L"return", L"int", L"const", L"while", L"auto"};
    cells.assign(text.size() + 1, afUnicodeStyleCell());
    size_t i = 0;
    auto mark = [&](size_t from, size_t to, uint16_t id) {
        for (size_t k = from; k < to; ++k)
            cells[k].styleId = id;
    };
    while (i < text.size()) {
        wchar_t c = text[i];
        size_t start = i;
        if (c == L'/' && i + 1 < text.size() && text[i + 1] == L'/') {
            mark(i, text.size(), 5);
            break;
        }
        if (c == L'"') {
            size_t end = text.find(L'"', i + 1);
            end = end == std::wstring::npos ? text.size() : end + 1;
            mark(i, end, 4);
            i = end;
            continue;
        }
        if (iswalpha(c) || c == L'_') {
            while (i < text.size() && (iswalnum(text[i]) || text[i] == L'_'))
                ++i;
            std::wstring token = text.substr(start, i - start);
            bool keyword = std::find_if(std::begin(keywords), std::end(keywords),
                                        [&](const wchar_t* k) { return token == k; }) != std::end(keywords);
            mark(start, i, keyword ? 1 : 2);
            continue;
        }
        if (iswdigit(c)) {
            while (i < text.size() && iswdigit(text[i]))
                ++i;
            mark(start, i, 3);
            continue;
        }
        mark(i, i + 1, c == L'=' ? 6 : (c == L' ' || c == L'\t') ? 0 : 7);
        ++i;
    }
}

class Styles : public afUnicodeStyleProvider {
public:
    Styles() {
        // As themes colour code: blanks, identifiers and punctuation in the default
        // foreground; keywords (bold), numbers, strings, comments and operators apart.
        const uint32_t foregrounds[8] = {0xFF000000, 0xFF800000, 0xFF000000, 0xFF0000C0,
                                         0xFF008000, 0xFF808080, 0xFF800080, 0xFF000000};
        for (int i = 0; i < 8; ++i)
            m_styles[i] = afUnicodeStyle{0xFFFFFFFF, foregrounds[i], 0, static_cast<uint32_t>(i == 1 ? 1 : 0)};
    }
    const afUnicodeStyle& styleFor(uint16_t id) override { return m_styles[id & 7]; }

private:
    afUnicodeStyle m_styles[8];
};

class SelectionLayer : public afUnicodeStyleLayer {
public:
    void restyle(int lineNumber, int, int, std::vector<afUnicodeStyleCell>& cells) override {
        if (lineNumber % 7 != 0)
            return;
        for (size_t i = 5; i < 25 && i < cells.size(); ++i)
            cells[i].layerMask |= mask();
    }
    void getStyle(afUnicodeBlendedStyle* style) override {
        style->background = ColorF::fromPacked(0xFFFFC080);
        style->foreground = ColorF();
    }
};

// A one-row 32-bit buffer and the two ways of drawing into it.
class Bench {
public:
    Bench() : m_renderer(&m_context) {
        afUnicodeFontFamily* family = afUnicodeFontManager::instance()->getFontGroup({L"Courier New"}, 10);
        m_context.setFontFamily(family, 0, 0);
        m_context.setStyleProvider(&m_styles);
        m_context.addStyleLayer(&m_selection);
        m_renderer.setShowIndentGuides(true);
        m_font = afUnicodeFontManager::instance()->fontForSlot(family->group(0), afUnicodeFontGroup::PRIMARY_SLOT,
                                                               m_context.memoryDC())
                     ->handle();
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = BUFFER_WIDTH;
        info.bmiHeader.biHeight = -m_context.lineHeight();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_oldBitmap = SelectObject(m_dc, m_bitmap);
        m_canvas = afCanvas::create(m_dc);
    }
    ~Bench() {
        m_canvas.reset();
        SelectObject(m_dc, m_oldBitmap);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }

    void drawStack(const std::wstring& text, int lineNumber) {
        m_line.reset();
        m_line.setText(text);
        styleTokens(text, m_line.cells());
        m_line.setLogicalLength(static_cast<int>(text.size()));
        m_line.setEndOfLineColor(0xFFFFFFFF);
        m_line.setIndent(static_cast<int>(text.find_first_not_of(L' ') == std::wstring::npos
                                              ? text.size()
                                              : text.find_first_not_of(L' ')));
        m_line.process(m_context);
        m_context.applyStyleLayers(m_line, lineNumber, 0);
        afUnicodeRenderer::Request request;
        request.canvas = m_canvas.get();
        request.rightClip = BUFFER_WIDTH;
        request.rowBottom = m_context.lineHeight();
        request.background = RECT{0, 0, BUFFER_WIDTH, m_context.lineHeight()};
        request.layout = &m_line;
        m_renderer.drawLine(request);
    }
    void drawPlain(const std::wstring& text) {
        HGDIOBJ previous = SelectObject(m_dc, m_font);
        SetBkColor(m_dc, 0xFFFFFF);
        RECT area{0, 0, BUFFER_WIDTH, m_context.lineHeight()};
        ExtTextOutW(m_dc, 0, 0, ETO_OPAQUE, &area, text.c_str(), static_cast<UINT>(text.size()), nullptr);
        SelectObject(m_dc, previous);
    }
    void flush() { GdiFlush(); }

private:
    Styles m_styles;
    SelectionLayer m_selection;
    afUnicodeContext m_context;
    afUnicodeRenderer m_renderer;
    afUnicode m_line;
    HFONT m_font = nullptr;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    std::unique_ptr<afCanvas> m_canvas;
};

struct Figures {
    double mean;
    double p99;
};

Figures summarise(std::vector<double>& samples) {
    double sum = 0;
    for (double s : samples)
        sum += s;
    std::sort(samples.begin(), samples.end());
    return Figures{sum / samples.size(), samples[samples.size() * 99 / 100]};
}

} // namespace

int main() {
    zem::recordMainThread();
    Clock clock;
    std::vector<std::wstring> text = TextGenerator().lines(TEXT_BYTES / sizeof(wchar_t));
    size_t units = 0;
    for (const std::wstring& line : text)
        units += line.size() + 1;
    std::printf("text: %zu lines, %.1f MB as UTF-16\n", text.size(), units * 2 / 1048576.0);
    Bench bench;

    // Warm the caches of both paths once.
    for (int i = 0; i < 200; ++i) {
        bench.drawStack(text[i], i);
        bench.drawPlain(text[i]);
    }

    double start = clock.now();
    for (int i = 0; i < PAGE_LINES; ++i)
        bench.drawStack(text[i % text.size()], i);
    bench.flush();
    double stackUs = clock.now() - start;
    start = clock.now();
    for (int i = 0; i < PAGE_LINES; ++i)
        bench.drawPlain(text[i % text.size()]);
    bench.flush();
    double plainUs = clock.now() - start;
    double stackRate = PAGE_LINES / (stackUs / 1e6);
    double plainRate = PAGE_LINES / (plainUs / 1e6);
    std::printf("page: text stack %.0f lines/s, ExtTextOutW %.0f lines/s, ratio %.2fx (aim: 10000 lines/s, at most 6x)\n",
                stackRate, plainRate, plainRate / stackRate);

    std::vector<double> stackSamples, plainSamples;
    stackSamples.reserve(KEYSTROKES);
    plainSamples.reserve(KEYSTROKES);
    std::wstring line;
    for (int k = 0; k < KEYSTROKES; ++k) {
        if (k % EDIT_LINE_LENGTH == 0) {
            // A fresh 100-character line from the text, typed into from its middle.
            line = text[(k / EDIT_LINE_LENGTH) % text.size()];
            while (line.size() < EDIT_LINE_LENGTH)
                line += L" value += 1;";
            line.resize(EDIT_LINE_LENGTH);
        }
        line.insert(line.begin() + 50 + (k % 40), static_cast<wchar_t>(L'a' + k % 26));
        line.pop_back();
        double t0 = clock.now();
        bench.drawStack(line, k);
        bench.flush();
        double t1 = clock.now();
        bench.drawPlain(line);
        bench.flush();
        double t2 = clock.now();
        stackSamples.push_back(t1 - t0);
        plainSamples.push_back(t2 - t1);
    }
    Figures stack = summarise(stackSamples);
    Figures plain = summarise(plainSamples);
    std::printf("edit: text stack mean %.1f us, p99 %.1f us; ExtTextOutW mean %.1f us, p99 %.1f us; ratio %.2fx "
                "(aim: 200 us mean, 500 us p99)\n",
                stack.mean, stack.p99, plain.mean, plain.p99, stack.mean / plain.mean);
    return 0;
}
