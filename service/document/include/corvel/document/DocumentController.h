// One view's handle on a Document: every editor view, and every tool that changes text,
// reads and edits through one. Edit brackets (beginEdit/endEdit) are the only way in:
// they take the document's edit lock and, for writes, open the undo transaction and
// record the selection and spans around it. The controller owns the view's Selection,
// its span tree and its copy of the document's file settings, and turns the document's
// notifications into its own lists. Main thread only.
#pragma once
#include "corvel/config/TaggedObject.h"
#include "corvel/document/DocumentListener.h"
#include "corvel/document/TextPosition.h"
#include "zem/base/CallbackList.h"
#include "zem/text/Indentation.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zem {
class MatchResults;
}

namespace corvel {

class Document;
class DocumentControllerManager;
class DocumentControllerSearchSession;
class DocumentState;
class FacePreset;
class Finder;
class IEditor;
class ScopePath;
class Selection;
class SelectionRange;
struct SelectionBehaviorRange;
class Span;
class SpanBinding;
class Stream;
class TextChunk;
class TextHighlighter;
struct LineMarker;

class DocumentController : public TaggedObject, public DocumentListener {
public:
    enum EditMode : int32_t { EDIT_NONE = 0, EDIT_READ = 1, EDIT_WRITE = 2, EDIT_WRITE_NO_UNDO = 3 };

    struct Settings {
        uint32_t codePage = 0x8000FDE9;
        int32_t lineEnding = 0;
        zem::Indentation indentation;
        bool operator==(const Settings& other) const {
            return codePage == other.codePage && lineEnding == other.lineEnding && indentation == other.indentation;
        }
        bool operator!=(const Settings& other) const { return !(*this == other); }
    };
    struct ChangeRecord {
        TextPosition from;
        TextPosition to;
    };
    typedef std::vector<std::pair<int32_t, int32_t>> LineRanges; // (first line, last line)
    // Transform of a selected text: false leaves the text as it is.
    // The chunk points into the document: it is good only during the call.
    typedef bool (*TransformFunction)(void* object, const TextChunk& text, std::wstring& out);

    DocumentController(DocumentControllerManager* manager, Document* document, int32_t id);
    ~DocumentController() override;
    DocumentController(const DocumentController&) = delete;
    DocumentController& operator=(const DocumentController&) = delete;

    int32_t getId() const { return m_id; }
    Document* getDocument() const { return m_document; }
    DocumentControllerManager* getManager() const { return m_manager; }
    Selection* getSelection() const { return m_selection.get(); }
    // The view settings the controller's editor shows.
    const FacePreset& getFacePreset() const { return *m_facePreset; }
    // Copies the preset (id included) and tells onFacePresetChanged; nothing when equal.
    void setFacePreset(const FacePreset& preset);
    // The binding without opening a change batch (the controller's own use and tests).
    SpanBinding* spans() const { return m_spans.get(); }

    // --- Edit brackets -------------------------------------------------------------
    // Returns the document for write brackets, null for a read bracket. Nested brackets
    // only count; a write bracket inside a read bracket throws IllegalStateException.
    Document* beginEdit(int32_t mode);
    void endEdit();
    int32_t getEditDepth() const { return m_editDepth; }
    int32_t getEditMode() const { return m_editMode; }
    // Inside a mode-2 bracket: ends the undo group here, later changes start a new one.
    void commitUndoGroup();

    // --- Change batches --------------------------------------------------------------
    Selection* beginChangeBatch();
    void endChangeBatch();
    // Widens the pending change over [a, b] (offsets, either order).
    void markChanged(int32_t a, int32_t b);
    // Opens a change batch, closed by the caller with endChangeBatch.
    SpanBinding* getSpanBinding();

    // --- View --------------------------------------------------------------------------
    // Where the view stood when its editor last let the controller go, so that binding it
    // again, to that editor or another, shows the same place.
    struct ViewState {
        int32_t line = 0;    // top line
        int32_t subLine = 0; // top row within it
        int32_t column = 0;  // horizontal scroll, in columns
        int32_t range = 0;   // the widest line seen, in columns: how far column may go
    };
    const ViewState& getViewState() const { return m_viewState; }
    void setViewState(const ViewState& state) { m_viewState = state; }

    void setEditor(IEditor* editor);
    IEditor* getEditor() const { return m_editor; }
    void addHighlighter(TextHighlighter* highlighter);
    void removeHighlighter(TextHighlighter* highlighter);
    const std::vector<TextHighlighter*>& getHighlighters() const { return m_highlighters; }

    // --- Document ------------------------------------------------------------------------
    void setLanguage(const std::wstring& name);
    const std::wstring& getLanguageName() const { return m_languageName; }
    const std::wstring& getTitle() const { return m_title; }
    const std::wstring& getFilePath() const { return m_filePath; }
    const Settings& getSettings() const { return m_settings; }
    bool isModified() const;
    void clearModified();
    // Whether a group was replayed.
    bool undo();
    bool redo();
    bool isFileChangedPending() const { return m_fileChangedPending; }
    // The user chose to keep the text as it is: the flag goes and the list hears of it.
    void clearFileChanged();
    DocumentControllerSearchSession* getSearchSession();
    DocumentControllerSearchSession* findSearchSession() const { return m_searchSession.get(); }

    // --- Reading (read bracket) ------------------------------------------------------------
    // The range is clamped to the text; a negative offset or length gives "".
    void getText(std::wstring& string, int32_t length, int32_t offset);
    void getAllText(std::wstring& string);
    bool getLineText(int32_t line, std::wstring& string, bool withLineEnd = true);
    // Unlike getText a chunk is not clamped: a negative offset or a range past the end
    // leaves the chunk as it was.
    void getTextChunk(TextChunk& chunk, int32_t offset, int32_t length);
    bool getLineChunk(int32_t line, TextChunk& chunk, bool withLineEnd);
    // Null for a line out of range or without markers.
    const std::vector<LineMarker>* getLineMarkers(int32_t line) const;
    // The finder searches the document between the clamped offsets: backward from b down
    // to a, else from a up to c.
    const zem::MatchResults& findInRange(Finder& finder, bool backward, int32_t a, int32_t b, int32_t c);
    void getSelectedText(const std::vector<SelectionRange>& ranges, std::wstring& string);
    bool getScopesAtPosition(const TextPosition& position, ScopePath& scopePath);
    int32_t getLineCount() const;
    // Without the line end; 0 for a line out of range.
    int32_t getLineTextLength(int32_t line) const;
    int32_t getTextLength() const;

    // --- Positions -------------------------------------------------------------------------
    int32_t positionToOffset(const TextPosition& position) const;
    TextPosition offsetToPosition(int32_t offset, bool virtualFlag = false) const;
    TextPosition clampPosition(const TextPosition& position) const;
    bool isVirtualPosition(const TextPosition& position) const;
    TextPosition getEndPosition() const;
    std::pair<int32_t, int32_t> getLineRange(int32_t fromOffset, int32_t toOffset) const;
    TextPosition getLineIndentPosition(int32_t line, bool measure) const;
    TextPosition getLineEndPosition(int32_t line, bool trimmed, bool nextLine) const;
    int32_t getCaretOffset();

    // --- Editing (caller's write bracket unless stated) -------------------------------------
    void setText(const std::wstring& string);
    int32_t insertText(int32_t length, const wchar_t* characters);
    int32_t insertString(const std::wstring& string) {
        return insertText(static_cast<int32_t>(string.size()), string.c_str());
    }
    int32_t insertAt(int32_t offset, int32_t length, const wchar_t* characters);
    int32_t removeAt(int32_t count, int32_t offset);
    int32_t deleteBackwardOrSelection(int32_t count);
    bool removeSelectedText();
    bool isSelectionEmpty() const;
    void prepareInsertText(std::wstring& string, const wchar_t* characters, int32_t count) const;
    void moveLines(int32_t targetLine, LineRanges& lineRanges);
    void duplicateLines(LineRanges& lineRanges);
    bool transformSelection(void* object, TransformFunction function);

    // --- Indentation ---------------------------------------------------------------------------
    int32_t getLineIndentWidth(int32_t line, int32_t maxUnits, bool force) const;
    int32_t getIndentWidthAtOffset(int32_t offset) const;
    void getIndentUnit(std::wstring& string) const;
    void makeIndentString(int32_t columns, std::wstring& string) const;
    void getTabInsertText(int32_t offset, std::wstring& string) const;
    void setLineIndent(int32_t columns, int32_t line);
    void shiftLineIndent(int32_t levels, const LineRanges& lineRanges);

    // --- Format ----------------------------------------------------------------------------------
    void setEncoding(uint32_t codePage);
    void setLineEnding(int32_t kind);
    void setIndentation(int32_t width, bool softTabs);
    bool getContextScopePath(ScopePath& scopePath);

    // Undo records of the view state, replayed through the controller manager.
    // False when the record is damaged (nothing of it applied).
    bool applyRecord(int32_t operation, Stream& stream);

    // --- Notification lists (each called with the controller as sender) -------------------------
    zem::CallbackList<void(DocumentController*, const Settings*, const Settings*)> formatChanged;
    zem::CallbackList<void(DocumentController*, const wchar_t*)> languageChanged;
    zem::CallbackList<void(DocumentController*, bool)> modifiedChanged;
    zem::CallbackList<void(DocumentController*, const wchar_t*)> titleChanged;
    zem::CallbackList<void(DocumentController*)> fileChangedOnDisk;
    zem::CallbackList<void(DocumentController*, const TextChange*)> textInserted;
    zem::CallbackList<void(DocumentController*, const TextChange*)> textRemoved;
    zem::CallbackList<void(DocumentController*)> editBegun;
    zem::CallbackList<void(DocumentController*)> editEnded;
    zem::CallbackList<void(DocumentController*, IEditor*)> editorAttached;
    zem::CallbackList<void(DocumentController*, IEditor*)> editorDetached;
    zem::CallbackList<void(DocumentController*, TextHighlighter*, int32_t)> highlightersChanged;
    zem::CallbackList<void(DocumentController*, const TextPosition*, uint32_t)> caretMoved;
    zem::CallbackList<void(DocumentController*, const ChangeRecord*)> changed;
    zem::CallbackList<void(DocumentController*, const FacePreset*)> onFacePresetChanged;

    // --- DocumentListener -------------------------------------------------------------------------
    void onTextInserted(Document* document, const TextChange& change) override;
    void onTextRemoved(Document* document, const TextChange& change) override;
    void onEditBegin(Document* document, const LineRange& lines) override;
    void onEditEnd(Document* document, const LineRange& lines) override;
    void onStateChanged(Document* document, const DocumentState& state, uint32_t mask) override;
    void onNameChanged(Document* document, const wchar_t* name) override;
    void onLinesParsed(Document* document, int32_t first, int32_t last) override;
    void onLineMarkersChanged(Document* document, int32_t line, int32_t kind) override;
    void onFileChanged(Document* document, intptr_t argument) override;
    void onReloadBegin(Document* document) override;
    void onReloadEnd(Document* document) override;

private:
    static void onSelectionCaretChanged(void* self, Selection* selection, const TextPosition* caret, uint32_t options);
    static void onSelectionChanged(void* self, Selection* selection, const SelectionBehaviorRange* range);
    void teardown();
    // One group undone or redone in a mode-3 bracket; whether one was replayed.
    bool replayGroup(bool undoing);
    void recordViewState();
    void resetViewState();
    void setParseJobActive(bool active);

    DocumentControllerManager* m_manager;
    int32_t m_id;
    int32_t m_editDepth = 0;
    int32_t m_editMode = EDIT_NONE; // of the outermost open bracket
    Document* m_text = nullptr;     // set while a write bracket is open
    ViewState m_viewState;
    std::unique_ptr<DocumentControllerSearchSession> m_searchSession;
    std::unique_ptr<Selection> m_selection;
    std::unique_ptr<SpanBinding> m_spans;
    std::unique_ptr<FacePreset> m_facePreset;
    Settings m_settings;
    std::wstring m_title;
    std::wstring m_filePath;
    std::wstring m_languageName;
    Document* m_document;
    IEditor* m_editor = nullptr;
    IEditor* m_savedEditor = nullptr; // detached while a reload runs
    bool m_fileChangedPending = false;
    int32_t m_changeDepth = 0;
    ChangeRecord m_changeRecord;
    bool m_changePending = false;
    std::vector<TextHighlighter*> m_highlighters; // not owned
};

} // namespace corvel
