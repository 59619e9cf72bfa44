// Rectangular selection: on every line between anchor and caret, the text between the
// two horizontal places of the corners, as the editor measures them, so that columns
// stay straight with proportional fonts too. Without an editor there is nothing selected.
#pragma once
#include "corvel/document/SelectionBehaviorNormal.h"
#include "corvel/document/TextPosition.h"

#include <vector>

namespace corvel {

class DocumentController;
class IEditor;

class SelectionBehaviorRectangle : public SelectionBehaviorNormal {
public:
    static constexpr uint32_t ID = 0x4C19FA99;
    static constexpr uint32_t OPTION_VIRTUAL = 2;

    explicit SelectionBehaviorRectangle(DocumentController* controller) : SelectionBehaviorNormal(controller) {}
    ~SelectionBehaviorRectangle() override;

    void begin(const TextPosition& anchor, const TextPosition& caret, uint32_t& options) override;
    void attach() override;
    void detach() override;
    int32_t getRangeCount() override;
    void collapse() override;
    bool getLineRange(int32_t line, int32_t& start, int32_t& end) override;
    int32_t buildRanges(SelectionRangeMap& tree, int32_t index) override;
    bool contains(const TextPosition& position, bool acceptEmpty) override;

    // Marks every line's span not computed.
    void resetSpans();
    // Computes the spans of all lines of the rectangle.
    void recomputeSpans();

private:
    struct LineSpan {
        int32_t start = -1; // -1: not computed
        int32_t end = -1;
    };

    IEditor* editor() const;
    int32_t lineCount() const { return bottom().line - top().line + 1; }
    void sizeTable();
    // Spans of lines first..last, in a read bracket.
    void computeSpans(int32_t first, int32_t last, bool clamp);
    LineSpan* spanOf(int32_t line);
    static void onRecompute(void* self, DocumentController* controller);
    static void onEditorChanged(void* self, DocumentController* controller, IEditor* editor);
    static void onEditorGone(void* self, DocumentController* controller, IEditor* editor);

    std::vector<LineSpan> m_spans; // indexed by line - top line
    int32_t m_computed = 0;
    bool m_attached = false;
};

} // namespace corvel
