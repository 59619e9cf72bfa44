// A span that groups its descendants by placeholder number: each group has a master
// whose edits are copied into the group's mirrors, and the groups give the order in
// which the user tabs through the fields (number 0 is the final stop).
#pragma once
#include "corvel/document/Span.h"

#include <map>
#include <memory>

namespace corvel {

class SpanBinding;

class SpanContext : public Span {
public:
    static const uint32_t CLASS_TAG; // "SpanContext"
    // Flag bits: 1 takes part in placeholder navigation and updates; 4 updating.
    enum : uint32_t { FLAG_NAVIGATES = 1, FLAG_UPDATING = 4 };
    // Bounds read() puts on a record, so that a damaged one cannot ask for unbounded memory.
    static constexpr int32_t MAX_GROUPS = 65536;
    static constexpr int32_t MAX_MIRRORS = 65536;

    struct Group {
        std::vector<Span*> mirrors;
        int32_t number = -1;
        Span* master = nullptr;
        SpanContext* context = nullptr;
        bool updating = false; // the master is copying its text into the mirrors
    };

    explicit SpanContext(const std::wstring& name = std::wstring(), SpanBinding* binding = nullptr, int32_t length = 0);
    ~SpanContext() override;

    uint32_t getCreator() const override { return CLASS_TAG; }
    void write(Stream& stream, const SpanTable& table) const override;
    bool read(Stream& stream, const SpanTable& table) override;
    const wchar_t* getClassName() const override { return L"SpanContext"; }

    // Slot 7: a removed master takes its whole group; a removed mirror leaves its group.
    virtual void onSpanRemoved(Span* span);
    // Slot 8: the span's group becomes current when the span is its active master.
    virtual void activateSpan(Span* span);
    // Slot 9.
    virtual void deactivateSpan(Span* span) { (void)span; }
    // Slot 10: hands every master to the highlighter; slot 11 takes them back.
    virtual void beginUpdate();
    virtual void endUpdate();

    // Null for a negative number, or when missing and not to be created.
    Group* findGroup(int32_t number, bool create);
    void setMaster(int32_t number, Span* span);
    // The mirror is no tab stop of its own: its active flag is cleared.
    void addMirror(int32_t number, Span* span);
    void removeGroup(int32_t number);
    // The next and previous placeholder numbers in tab order; -1 when none.
    int32_t nextPlaceholder() const;
    int32_t previousPlaceholder() const;
    // The master of the group with that number, or null.
    Span* getIndexedChild(int32_t number) const;
    bool hasGroups() const { return !m_groups.empty(); }
    int32_t getCurrentGroup() const { return m_current ? m_current->number : -1; }
    void setCurrentGroup(int32_t number);
    // Rewrites the mirrors of every group whose master is active.
    void refreshMirrors(DocumentController* controller);

    SpanBinding* getBinding() const { return m_binding; }
    void setBinding(SpanBinding* binding) { m_binding = binding; }
    uint32_t getFlags() const { return m_flags; }
    void setFlags(uint32_t flags) { m_flags = flags; }
    bool navigates() const { return (m_flags & FLAG_NAVIGATES) != 0; }
    bool isUpdating() const { return (m_flags & FLAG_UPDATING) != 0; }

private:
    static void onMasterChanged(void* self, Span* span, int32_t oldStart, int32_t oldLength);
    void dropMasterListener(Group& group);
    void repaint(int32_t from, int32_t to);

    SpanBinding* m_binding;
    std::map<int32_t, std::unique_ptr<Group>> m_groups;
    Group* m_current = nullptr;
    uint32_t m_flags = FLAG_NAVIGATES;
};

} // namespace corvel
