// A range of a document's text kept in step with edits: a node of the controller's span
// tree with a start and length (absolute document offsets), a name, children in text
// order and listeners. Every length change travels up to the root (parents grow or
// shrink) and to the right (later siblings move), so the tree stays consistent with the
// text while a field is typed into. The tree owns its nodes: remove() deletes a span
// with its children.
#pragma once
#include "zem/base/CallbackList.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace corvel {

class DocumentController;
class Span;
class SpanContext;
class Stream;

// The spans of one journal record in pre-order: a span's index is its place in the list.
class SpanTable {
public:
    void add(Span* span);
    Span* at(int32_t index) const;
    // -1 when the span is not in the table.
    int32_t indexOf(const Span* span) const;
    int32_t size() const { return static_cast<int32_t>(m_spans.size()); }

private:
    std::vector<Span*> m_spans;
    std::map<const Span*, int32_t> m_indices;
};

class Span {
public:
    // The class tag stored in journal records in place of a creation function.
    typedef Span* (*Factory)();
    static const uint32_t CLASS_TAG; // "Span"

    typedef zem::CallbackList<void(Span*, int32_t /*oldStart*/, int32_t /*oldLength*/)> ChangeList;
    typedef zem::CallbackList<void(Span*)> RemovalList;

    explicit Span(const std::wstring& name = std::wstring(), int32_t length = 0);
    Span(const Span&) = delete;
    Span& operator=(const Span&) = delete;

    // Slot 0: the class tag that makes an empty span of this class again.
    virtual uint32_t getCreator() const { return CLASS_TAG; }
    // Slots 1 and 2: the span's own data. read() is false, with the span unchanged, when
    // the record is short or not what it should be.
    virtual void write(Stream& stream, const SpanTable& table) const;
    virtual bool read(Stream& stream, const SpanTable& table);
    // Deletes the children still linked, without notifications.
    virtual ~Span();
    // Slot 4: tells the removal listeners, removes every child, deletes the span.
    virtual void remove();
    // Slot 5.
    virtual SpanContext* getContext() const { return m_context; }
    // Slot 6: replaces the span's text in the document by length units of text, then
    // rewrites its mirrors.
    virtual void replaceText(DocumentController* controller, int32_t length, const wchar_t* text);
    virtual const wchar_t* getClassName() const { return L"Span"; }

    // Creation by class tag: "Span" and "SpanContext" are known; other classes register.
    static void registerClass(uint32_t tag, Factory factory);
    // Null for an unknown tag.
    static Span* create(uint32_t tag);

    // Links span as parent's last child at offset (-1: after parent's last child, or at
    // the parent's start). With a controller the span's length in units of text are
    // inserted into the document there and the parent stretches over them. Nothing when
    // the span already has a parent.
    static void attachWithText(DocumentController* controller, Span* span, Span* parent, int32_t offset,
                               const wchar_t* text);
    // Unlinks child; the following siblings move back by its length; its context hears
    // of it. The child is not deleted.
    void removeChild(Span* child);
    // Unlinks child as removeChild does, but the siblings stay where they are: for a span
    // given up while its text stays in the document.
    void detachChild(Span* child);
    // Removes and deletes every child.
    void removeAllChildren();
    void setLength(int32_t length);
    void setStart(int32_t start);
    // When this span is the master of its placeholder group, copies its text into every
    // mirror (skipping active mirrors with skipActive), then does the same for the parent.
    void updateMirrors(DocumentController* controller, bool skipActive);

    int32_t getStart() const { return m_start; }
    int32_t getLength() const { return m_length; }
    int32_t getEnd() const { return m_start + m_length; }
    const std::wstring& getName() const { return m_name; }
    void setName(const std::wstring& name) { m_name = name; }
    // -1 at construction: a negative order leaves a child out of a selection.
    int32_t getOrder() const { return m_order; }
    void setOrder(int32_t order) { m_order = order; }
    // 1: selected forward from start to end; otherwise backward.
    int32_t getDirection() const { return m_direction; }
    void setDirection(int32_t direction) { m_direction = direction; }
    int32_t getChildCount() const { return m_childCount; }
    Span* getFirstChild() const { return m_firstChild; }
    Span* getLastChild() const { return m_lastChild; }
    Span* getNextSibling() const { return m_next; }
    Span* getPreviousSibling() const { return m_previous; }
    Span* getParent() const { return m_parent; }
    void setContext(SpanContext* context) { m_context = context; }
    int32_t getPlaceholder() const { return m_placeholder; }
    void setPlaceholder(int32_t number) { m_placeholder = number; }
    bool isActive() const { return m_active != 0; }
    void setActive(bool active) { m_active = active ? 1 : 0; }
    bool covers(int32_t start, int32_t end) const { return m_start <= start && end <= getEnd(); }
    bool isMasterOfGroup() const;

    ChangeList& changeListeners() { return m_changed; }
    RemovalList& removalListeners() { return m_removed; }

protected:
    // The Span fields of a record; used by subclasses around their own fields.
    void writeSpanFields(Stream& stream) const;
    // Reads into the given copies; false when the record is short or damaged.
    struct Fields {
        std::wstring name;
        int32_t start = 0;
        int32_t length = 0;
        int32_t order = -1;
        int32_t direction = 1;
        int32_t placeholder = -1;
        uint32_t flags = 0;
    };
    static bool readSpanFields(Stream& stream, Fields& fields);
    // Installs fields read by readSpanFields.
    void applySpanFields(const Fields& fields);

private:
    void moveFollowingSiblings(Span* from, int32_t delta);
    // Rewrites mirrors that are childless siblings all at once, so that typing at many
    // carets moves each sibling once rather than once per mirror before it. False, with
    // nothing done, when the mirrors are not such siblings.
    bool replaceSiblingMirrors(DocumentController* controller, const std::vector<Span*>& mirrors,
                               const std::wstring& text);
    void unlinkChild(Span* child, bool moveSiblings);

    ChangeList m_changed;
    RemovalList m_removed;
    int32_t m_length;
    int32_t m_start = 0;
    std::wstring m_name;
    int32_t m_order = -1;
    int32_t m_direction = 1;
    // Tree links, none owning: the tree owns through remove().
    int32_t m_childCount = 0;
    Span* m_firstChild = nullptr;
    Span* m_lastChild = nullptr;
    Span* m_next = nullptr;
    Span* m_previous = nullptr;
    Span* m_parent = nullptr;
    SpanContext* m_context = nullptr; // a context is its own context
    int32_t m_placeholder = -1;
    uint8_t m_active = 1;
};

} // namespace corvel
