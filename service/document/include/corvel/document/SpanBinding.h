// A controller's handle on its span tree: the root context, the current span and the
// innermost active context. Every insertion and removal goes through the span that
// encloses it (so placeholders and mirrored carets follow edits), placeholders are
// visited in tab order, and the tree is written into the undo journal and read back.
// Owns the SpanHighlighter that paints the spans.
#pragma once
#include "corvel/document/CellMarks.h"

#include <cstdint>
#include <memory>
#include <string>

namespace corvel {

class DocumentController;
class ScopePath;
class Span;
class SpanContext;
class SpanHighlighter;
class Stream;

class SpanBinding {
public:
    // Bound on the spans a record may hold, so that a damaged count cannot run long.
    static constexpr int32_t MAX_RECORD_SPANS = 1 << 20;

    // Takes the root into the binding and makes it current.
    SpanBinding(DocumentController* controller, SpanContext* root);
    ~SpanBinding();
    SpanBinding(const SpanBinding&) = delete;
    SpanBinding& operator=(const SpanBinding&) = delete;

    void setSpan(Span* span);
    // Back to a bare root covering the whole document.
    void reset();
    // The span that encloses [start, end], closing the placeholder contexts it leaves.
    Span* findEnclosingSpan(int32_t start, int32_t end);
    // Edits through the enclosing span; return the offset as the span fix-up moved it.
    int32_t insert(int32_t offset, int32_t count, const wchar_t* characters);
    int32_t remove(int32_t count, int32_t offset);
    Span* leaveSpan(Span* span);
    bool gotoNextSpan(bool backward);
    void appendScopes(ScopePath& scopePath);
    // A span context named name (none for an empty name) holding one child per
    // selection range, at the ranges; returns the child of the primary range.
    Span* createSelectionSpans(const std::wstring& name);

    void writeState(Stream& stream);
    // False, with the tree unchanged, for a record that is short or damaged.
    bool readState(Stream& stream);
    static void dumpState(Stream& stream, const wchar_t* prefix, std::wstring& text);

    // Line repaint marks shared by the highlighters and the text layout.
    void markLines(int32_t start, int32_t end, uint8_t bits) { m_lineMarks.mark(start, end, bits); }
    void clearMarks() { m_lineMarks.clear(); }
    const CellMarks& getLineMarks() const { return m_lineMarks; }

    DocumentController* getController() const { return m_controller; }
    SpanContext* getRoot() const { return m_root; }
    Span* getCurrent() const { return m_current; }
    SpanContext* getCurrentContext() const { return m_currentContext; }
    SpanContext* getActiveContext() const { return m_activeContext; }
    SpanHighlighter* getHighlighter() const { return m_highlighter.get(); }

private:
    void refreshMirrors(Span* span);
    void deleteTree(SpanContext* root);

    DocumentController* m_controller;
    SpanContext* m_root; // owned through the tree
    Span* m_current = nullptr;
    SpanContext* m_currentContext = nullptr;
    SpanContext* m_activeContext = nullptr; // innermost from m_currentContext outwards that navigates
    std::unique_ptr<SpanHighlighter> m_highlighter;
    CellMarks m_lineMarks;
};

} // namespace corvel
