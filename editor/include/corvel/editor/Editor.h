// The view that shows one document through its DocumentController and lets the user
// edit it: a native child window with a gutter on the left and the text beside it. Lines
// are laid out through a LineCache, painted one row at a time through a one-row buffer,
// and the scroll position is a row iterator, so wrapped lines scroll by visual rows.
// The controller drives it through IEditor; every change of view state happens inside
// beginUpdate/endUpdate, and repaints are coalesced per outermost bracket. Main thread.
#pragma once
#include "corvel/document/ColorF.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/FacePreset.h"
#include "corvel/document/IEditor.h"
#include "corvel/editor/EditorPositionMap.h"
#include "corvel/editor/SearchSubscriber.h"
#include "corvel/editor/SubLineIterator.h"
#include "corvel/ui/afTimer.h"
#include "corvel/ui/afWidget.h"
#include "zem/base/CallbackList.h"
#include "zem/base/Uuid.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace corvel {

class ControllerLineSource;
class afDataObjectComposite;
class afDataObjectFiles;
class afDataObjectText;
class afDropTarget;
class Hint;
class afMenu;
class DocumentTheme;
class EditorCaret;
class EditorCmd;
class FacePresetManager;
class HighlighterLayer;
class LineCache;
class TextHighlighter;
class ThemeBundleItem;
class afUnicodeContext;
class afUnicodeRenderer;

class Editor : public afWidget, public IEditor, public SearchSubscriber {
public:
    enum Border { BORDER_NONE = 0, BORDER_LINE = 1, BORDER_CLIENT_EDGE = 2 };
    // Drag modes of a mouse gesture.
    enum DragMode { DRAG_CHARACTERS = 0, DRAG_WORDS = 1, DRAG_LINES = 2, DRAG_SELECTION = 3 };
    // Options of select(): 1 resets the desired x, 2 allows virtual space.
    enum : uint32_t { SELECT_RESET_X = 1, SELECT_VIRTUAL = 2 };

    // Gutter metrics that never change.
    static constexpr int32_t NUMBER_PADDING = 6;
    static constexpr int32_t MIN_DIGITS = 2;
    static constexpr int32_t SHADOW_WIDTH = 2;
    static constexpr int32_t SPARE_WIDTH = 0;
    static constexpr int32_t MARKER_WIDTH = 16;
    static constexpr int32_t GUTTER_MARGIN = 4;

    // A new editor whose window exists, owned by parent; border 0 none, 1 WS_BORDER,
    // 2 WS_EX_CLIENTEDGE. Null for a null parent.
    static Editor* create(afView* parent, int border);

    explicit Editor(afView* parent);
    ~Editor() override;

    // --- View ------------------------------------------------------------------------
    const wchar_t* getTypeName() const override;
    void addScopeEntries(ScopePath& path) override;
    void scrollBy(int columns, int rows) override;
    bool onMouseMove(afEvent* event) override;
    bool onMouseLeave(afEvent* event) override;
    bool onMouseDown(afEvent* event) override;
    bool onMouseUp(afEvent* event) override;
    bool onMouseWheel(afEvent* event, int notches) override;
    bool onKeyDown(afEvent* event) override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;
    bool buildSeed(Seed& seed) override;
    void onFocusIn() override;
    void onFocusOut() override;
    bool onRawMessage(afMessage* message) override;
    void onCreated() override;
    void onBeforeDestroy() override;

    // --- IEditor ---------------------------------------------------------------------
    void setDocumentController(DocumentController* controller) override;
    DocumentController* getDocumentController() const override { return m_controller; }
    void beginUpdate() override;
    void endUpdate() override;
    // relayout: non-zero drops the lines' layouts as textChanged does.
    void invalidateLines(int32_t first, int32_t last, bool textChanged, int32_t relayout) override;
    void invalidateLine(int32_t line) override { invalidateLines(line, line, false, 0); }
    // Whole-line x with virtual columns, as rectangular selections measure.
    int32_t getXAtPosition(const TextPosition& position) override;
    TextPosition getPositionAtX(int32_t x, int32_t line) override;

    // --- Positions (callers hold a read bracket) ---------------------------------------
    int32_t getXAtPosition(const TextPosition& position, bool wholeLine, int32_t* outRow);
    void getPositionAtX(int32_t x, int32_t line, int32_t row, TextPosition& out, bool allowVirtual, bool wholeLine);
    // Client point to position; false when unbound.
    bool pointToPosition(int x, int y, TextPosition& out, bool allowVirtual);
    // Position to client point; true when the point lies in the client area.
    bool positionToPoint(const TextPosition& position, POINT& out);
    // The row under client y, pulled into the document.
    SubLineIterator rowAt(int y);
    // y of a row: 0 at the top row, -1 above the page, (rows + 1) x line height below it.
    int rowTop(int32_t line, int32_t subLine);
    EditorPositionMap::Move computeMove(const TextPosition& from, int code, bool allowVirtual, int32_t desiredX);
    EditorPositionMap& positions() { return *m_positions; }

    // --- Caret and selection -------------------------------------------------------------
    // Moves the primary caret by a movement code (EditorPositionMap::Code) and selects
    // with kind (Selection::ID_START_OVER for a plain move, ID_NORMAL / ID_RECTANGLE /
    // ID_CURRENT to extend); options bit 2 allows virtual space.
    void moveCaret(uint32_t kind, int code, uint32_t options);
    // Inside an update bracket: select from the current anchor to caret.
    void selectTo(const TextPosition& caret, uint32_t options, uint32_t kind);
    EditorCaret& getCaret() { return *m_caret; }
    EditorCmd& getCmd() { return *m_cmd; }

    // --- View state ------------------------------------------------------------------------
    void applyFacePreset(const FacePreset& preset);
    // The preset last given; what is shown differs from it in distraction-free mode.
    const FacePreset& getFacePreset() const { return m_givenPreset; }
    const FacePreset& getShownPreset() const { return m_preset; }
    // Distraction-free: no line numbers, no margin line, the text wrapped at the preset's
    // margin column and centred; presets given meanwhile are shown that way too.
    void setDistractionFree(bool on);
    bool isDistractionFree() const { return m_distractionFree; }
    void onFontChanged();
    // False when nothing changed (unless forced).
    bool scrollTo(int32_t column, int32_t line, int32_t subLine, bool force);
    void scrollToCaret();
    void setFollowCaret(bool on) { m_followCaret = on; }
    bool isFollowCaret() const { return m_followCaret; }
    void setTabNeedsCtrl(bool on) { m_tabNeedsCtrl = on; }
    bool getTabNeedsCtrl() const { return m_tabNeedsCtrl; }
    void setEscapeCollapses(bool on) { m_escapeCollapses = on; }
    bool getEscapeCollapses() const { return m_escapeCollapses; }

    LineCache& getLineCache() { return *m_cache; }
    afUnicodeContext& getTextContext() { return *m_context; }
    const SubLineIterator& getTopIterator() const { return m_top; }
    const SubLineIterator& getBottomIterator() const { return m_bottom; }
    int32_t getHorizontalColumn() const { return m_hscroll; }
    int32_t getVisibleRows() const { return m_rows; }
    int32_t getVisibleColumns() const { return m_columns; }
    int32_t getHorizontalRange() const { return m_hrange; }
    int32_t getLineCount() const { return m_lineCount; }
    int32_t getGutterWidth() const { return m_gutterWidth; }
    int32_t getDigitCount() const { return m_digits; }
    int32_t getLeftPadding() const { return m_leftPadding; }
    int32_t getLineHeight() const;
    int32_t getSpaceWidth() const;
    // x in the client area where the text column starts.
    int32_t getTextLeft() const { return m_gutterWidth + m_leftPadding; }
    const std::shared_ptr<DocumentTheme>& getTheme() const { return m_theme; }

    // --- Input ------------------------------------------------------------------------------
    // 2 gutter, 1 on the selection, 0 text (client coordinates).
    int hitTestText(int x, int y);
    // The context menu at a client point (what a right click opens).
    void onContextMenu(POINT clientPoint);
    // Screen rectangle a keyboard-opened context menu aligns to: the caret's, or the client area.
    RECT getContextMenuPoint();
    bool onChar(wchar_t code);
    // Moves to the next (previous) field of the snippet being filled in; false outside one.
    bool navigateSnippetField(bool backward);
    // During a burst of typing, paints what was typed when the last paint is old enough.
    void paintWhileTyping();
    // Rows (or columns) an auto-scroll tick moves for a distance d past the page edge at tick t.
    static int autoScrollStep(int d, int t);
    // The pop-up a command attached to the editor; hidden by most keys, clicks and scrolls.
    void setCaretPopup(afView* popup) { m_caretPopup = popup; }
    afView* getCaretPopup() const { return m_caretPopup; }
    Hint* getMarkerHint() const { return m_hint; }
    // The context menu while it is open (its modal loop runs), else null.
    afMenu* getOpenContextMenu() const { return m_openMenu; }
    int32_t getMarkerHintLine() const { return m_hintLine; }
    int getDragMode() const { return m_dragMode; }
    bool isAutoScrolling() const { return m_autoScroll.isRunning(); }
    int getAutoScrollAxes() const { return m_autoScrollAxes; }
    // Reads the input method's result string (a seam: Wine's input method makes none).
    typedef bool (*ImeResultReader)(HWND hwnd, std::wstring& out);
    static void setImeResultReader(ImeResultReader reader);

    // --- Dropped files ---------------------------------------------------------------------
    // What the editor's owner does with files dragged over the editor: while dragging it
    // decides the drop action (afDropAction values) from the allowed ones, on a drop it
    // takes the paths, and it hears when the drag leaves. Unset parts are skipped; without
    // a handler files get the default answer and dropped text is inserted where it lands.
    struct FileDropHandler {
        void* object = nullptr;
        int (*decide)(void* object, Editor* editor, int allowed) = nullptr;
        void (*drop)(void* object, Editor* editor, const std::vector<std::wstring>& paths) = nullptr;
        void (*leave)(void* object, Editor* editor) = nullptr;
    };
    void setFileDropHandler(const FileDropHandler& handler) { m_fileDrop = handler; }
    afDropTarget* getDropTarget() const { return m_dropTarget; }
    // A drop of data already fetched into the target's data object, at a client point.
    int acceptDrop(POINT clientPoint, int action);

    // --- Search (the subscriber of "Current document" and "Current selection") ---------------
    // Registers both scopes with the search manager and makes the editor take part in search.
    void registerSearchScopes();
    bool isSearchable() const { return m_searchable; }
    // A searchable editor tells the search manager that it gained or lost the focus.
    void notifySearchFocus(bool focused);
    bool ssOnAction(SearchRequest* request, uint32_t action, bool backward) override;
    void fillSearchText(std::wstring& findText, std::wstring& replaceText, uint32_t scopeId) override;
    void focusFromSearch() override;

    // Told (editor, focused) when the editor gains or loses the focus.
    zem::CallbackList<void(Editor*, bool)> focusListeners;
    // Called with the editor's context menu before it opens, to add items.
    zem::CallbackList<void(Editor*, afMenu*)> contextMenuContributors;

private:
    friend class EditorCaret;
    // Binding.
    void detachFromController();
    void unbind();
    void bind(DocumentController* controller);
    void addLayer(TextHighlighter* highlighter);
    void removeLayer(TextHighlighter* highlighter);
    void removeLayers();
    void subscribeTheme(const zem::Uuid& uuid);
    void unsubscribeTheme();
    static void onThemeNotice(void* self, const zem::Uuid& uuid, ThemeBundleItem* theme);
    void onThemeLoaded(const std::shared_ptr<DocumentTheme>& theme);
    static void onFontNotice(void* self, FacePresetManager* manager);
    static void onFacePresetNotice(void* self, DocumentController* controller, const FacePreset* preset);

    // Controller notifications.
    static void onFormatChanged(void* self, DocumentController*, const DocumentController::Settings*,
                                const DocumentController::Settings*);
    static void onCaretNotice(void* self, DocumentController*, const TextPosition* caret, uint32_t options);
    static void onEditBegun(void* self, DocumentController*);
    static void onEditEnded(void* self, DocumentController*);
    static void onTextInserted(void* self, DocumentController*, const TextChange* change);
    static void onTextRemoved(void* self, DocumentController*, const TextChange* change);
    static void onHighlightersChanged(void* self, DocumentController*, TextHighlighter* highlighter, int32_t added);
    static void onSelectionNotice(void* self, DocumentController*, const DocumentController::ChangeRecord* record);
    static bool onCharNotice(void* self, afViewPlatform*, afEvent* event);
    static void onHScrollNotice(void* self, afViewPlatform*, int request, int position);
    static void onVScrollNotice(void* self, afViewPlatform*, int request, int position);
    static void onWidestLine(void* self, int32_t columns);
    void onTabSettingsChanged();
    void onCaretMoved(const TextPosition& position, bool resetX);
    void onLinesInserted(int32_t line, int32_t count);
    void onLinesRemoved(int32_t line, int32_t count);
    void onLineCountChanged(int32_t firstChangedLine);
    void onSelectionChanged(const TextPosition& first, const TextPosition& second);

    // Page and scrolling.
    void updatePageSize(bool force);
    void updateScrollBars();
    void setLineCount(int32_t count);
    void setMaxColumns(int32_t columns);
    void updateGutterWidth(int32_t lineCount);
    void updateWrapLayout();
    // Widths measured under another wrap setting no longer hold.
    void forgetWidestLine();
    void flushRepaint();
    void invalidatePendingLines();
    void onHScroll(int request, int position);
    void onVScroll(int request, int position);
    int clientWidth() const;
    int clientHeight() const;

    // Painting.
    void paintMarkerIcon(afCanvas& buffer, int32_t line, int left, int rowHeight);
    bool paintThemedBorder(afMessage* message);
    void makeDropTarget();
    static int onDragDecide(void* self, afDropTarget* target, afEvent* event, int allowed, int last);
    static int onDropData(void* self, afDropTarget* target, afEvent* event, int allowed, int last);
    static void onDragGone(void* self, afDropTarget* target);
    bool calcThemedClient(afMessage* message);
    void paintGutterRow(afCanvas& buffer, int32_t line, bool continuation, bool current, int rowHeight);
    void readPaletteColors();
    // A dark theme gives the gutter its own shades: the palette's light gutter would stand
    // out beside the text. A light theme keeps the palette's.
    void takeGutterColours(const ColorF& background, const ColorF& foreground);

    // Input.
    bool onAutoScrollTimer(afTimer* timer);
    POINT clientPoint(const afEvent* event) const;
    void pressAt(POINT point, unsigned clicks, int modifiers);
    void dragSelectTo(POINT point, int modifiers);
    bool showMarkerHint(POINT point);
    void destroyMarkerHint();
    void hideCaretPopup();
    bool handleTabKey(int keyCode);
    bool indentOrInsertTab(bool backward);
    bool expandTabTrigger();
    // The caret line's text up to the caret, blanks for virtual space.
    void textBeforeCaret(std::wstring& before);
    bool handleEscape();
    void placeImeWindow();
    bool insertImeResult(afMessage* message);
    void setCursorShape(int index);

    // --- Fields ---
    DocumentController* m_controller = nullptr; // not owned
    int m_border = BORDER_NONE;
    std::unique_ptr<EditorCmd> m_cmd;
    bool m_tabNeedsCtrl = false;
    bool m_escapeCollapses = true;
    std::shared_ptr<DocumentTheme> m_theme;
    zem::Uuid m_themeUuid;
    bool m_themeSubscribed = false;
    std::unique_ptr<EditorCaret> m_caret;
    std::unique_ptr<afUnicodeContext> m_context;
    std::unique_ptr<afUnicodeRenderer> m_renderer;
    FacePreset m_preset;      // as shown
    FacePreset m_givenPreset; // as given
    bool m_distractionFree = false;
    // Update bracket state.
    int32_t m_depth = 0;
    bool m_scrollBarsDirty = false;
    bool m_relayoutPending = false;
    bool m_fullRepaint = false;
    bool m_linesPending = false;
    bool m_pullBackScroll = false;
    int32_t m_pendingFirst = 0;
    int32_t m_pendingLast = 0; // -1: to the end
    std::unique_ptr<ControllerLineSource> m_source;
    std::unique_ptr<LineCache> m_cache;
    std::unique_ptr<EditorPositionMap> m_positions;
    std::vector<std::unique_ptr<HighlighterLayer>> m_layers;
    SubLineIterator m_top;
    SubLineIterator m_bottom;
    int32_t m_hscroll = 0; // columns
    int32_t m_columns = 0; // visible
    int32_t m_rows = 0;    // visible, whole rows
    int32_t m_hrange = 0;  // widest line seen, columns
    int32_t m_lineCount = 0;
    SCROLLINFO m_lastVertical{}; // as last set; fMask 0 before the first
    SCROLLINFO m_lastHorizontal{};
    afTimer m_autoScroll;
    int m_autoScrollAxes = 0; // 1 vertical, 2 horizontal, 3 both
    // Gutter.
    int32_t m_leftPadding = 0;
    int32_t m_gutterWidth = GUTTER_MARGIN + MARKER_WIDTH + SPARE_WIDTH + SHADOW_WIDTH;
    int32_t m_digits = 0;
    int32_t m_digitsWidth = 0;
    COLORREF m_gutterCurrent = 0, m_gutterOther = 0;
    COLORREF m_numberCurrent = 0, m_numberOther = 0, m_numberTenth = 0;
    COLORREF m_separatorCurrent = 0, m_separatorOther = 0;
    COLORREF m_shadow[2] = {RGB(0xC8, 0xC8, 0xC8), RGB(0xE6, 0xE6, 0xE6)}; // the gutter's edge, outward
    COLORREF m_areaBackground = 0xFFFFFF, m_areaCurrent = 0xFFFFFF;
    COLORREF m_textBackground = 0xFFFFFF, m_textCurrent = 0xFFFFFF;
    ColorF m_lineHighlight;
    bool m_followCaret = true;
    uint32_t m_lastPaintTick = 0; // GetTickCount at the last paint
    // Drag gesture.
    TextPosition m_dragAnchor;
    TextPosition m_dragCaret;
    int m_dragMode = DRAG_CHARACTERS;
    POINT m_pressPoint{0, 0};
    Hint* m_hint = nullptr;                 // owned by the view tree
    afDropTarget* m_dropTarget = nullptr;   // owned by the platform view
    afDataObjectText* m_dropText = nullptr; // parts of the target's data object
    afDataObjectFiles* m_dropFiles = nullptr;
    FileDropHandler m_fileDrop;
    int32_t m_hintLine = -1;
    afView* m_caretPopup = nullptr; // not owned
    afMenu* m_openMenu = nullptr;
    bool m_searchable = false;
    // View states of the controllers this editor showed (by controller id).
};

} // namespace corvel
