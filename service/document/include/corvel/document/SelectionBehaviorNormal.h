// The behaviour that selects the text between anchor and caret.
#pragma once
#include "corvel/document/SelectionBehavior.h"

namespace corvel {

class SelectionBehaviorNormal : public SelectionBehavior {
public:
    static constexpr uint32_t ID = 0x218568E4;

    explicit SelectionBehaviorNormal(DocumentController* controller) : m_controller(controller) {}

    void begin(const TextPosition& anchor, const TextPosition& caret, uint32_t& options) override;
    int32_t getRangeCount() override { return 1; }
    void collapse() override { m_anchor = m_caret; }
    std::pair<TextPosition, TextPosition> getPositions() const override { return {m_anchor, m_caret}; }
    bool getLineRange(int32_t line, int32_t& start, int32_t& end) override;
    int32_t buildRanges(SelectionRangeMap& tree, int32_t index) override;
    bool contains(const TextPosition& position, bool acceptEmpty) override;

    bool isEmptySelection() const { return m_anchor.samePlace(m_caret); }
    const TextPosition& top() const { return m_caret.before(m_anchor) ? m_caret : m_anchor; }
    const TextPosition& bottom() const { return m_caret.before(m_anchor) ? m_anchor : m_caret; }

    // The columns of line (length lineLength) that the ordered range from..to covers.
    static bool lineSpan(int32_t line, int32_t lineLength, const TextPosition& from, const TextPosition& to,
                         int32_t& start, int32_t& end);

protected:
    DocumentController* m_controller;
    TextPosition m_anchor; // the virtual flag is the end's flag byte
    TextPosition m_caret;
};

} // namespace corvel
