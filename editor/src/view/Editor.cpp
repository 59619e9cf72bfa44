#include "corvel/editor/Editor.h"

#include "ControllerLineSource.h"
#include "EditorBrackets.h"
#include "HighlighterLayer.h"
#include "corvel/bundles/ThemeBundleItem.h"
#include "corvel/bundles/ThemeManager.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentStyler.h"
#include "corvel/document/DocumentTheme.h"
#include "corvel/document/FacePresetManager.h"
#include "corvel/document/ScopePath.h"
#include "corvel/document/Selection.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/document/SpanHighlighter.h"
#include "corvel/document/TextChange.h"
#include "corvel/editor/EditorCaret.h"
#include "corvel/editor/EditorCmd.h"
#include "corvel/editor/EditorContext.h"
#include "corvel/editor/LineCache.h"
#include "corvel/ui/afUnicodeContext.h"
#include "corvel/ui/afUnicodeFontManager.h"
#include "corvel/ui/afUnicodeRenderer.h"
#include "corvel/widgets/WidgetPalette.h"
#include "corvel/widgets/afActionRegistry.h"

#include "zem/thread/Thread.h"

#include <algorithm>

namespace corvel {

namespace {

const wchar_t* const TYPE_NAME = L"ui.editor";
const wchar_t* const CLASS_NAME = L"CorvelEditor";

// The theme's current-line colour: bg moved toward the highlight by its alpha.
COLORREF blendToward(const ColorF& background, const ColorF& highlight) {
    return background.blend(highlight, highlight.alpha).toColorRef();
}

} // namespace

// --- Construction ---------------------------------------------------------------------------

Editor* Editor::create(afView* parent, int border) {
    if (!parent)
        return nullptr;
    auto* editor = new Editor(parent);
    if (border == BORDER_LINE)
        editor->setBorder(1);
    editor->m_border = border;
    editor->afViewPlatform::create();
    return editor;
}

Editor::Editor(afView* parent) : afWidget(parent) {
    zem::checkMainThread();
    readPaletteColors();
    afActionRegistry* registry = afActionRegistry::getInstance();
    m_cmd.reset(new EditorCmd(*this, registry));
    static bool tablesRegistered = false;
    if (!tablesRegistered && registry) {
        tablesRegistered = true;
        EditorCmd::registerCommandTables(registry);
    }
    m_autoScroll.setInterval(30);
    m_autoScroll.setHandler(this, &Editor::onAutoScrollTimer);
}

Editor::~Editor() {
    m_autoScroll.stop();
    detachFromController();
    unsubscribeTheme();
}

void Editor::readPaletteColors() {
    const WidgetPalette* palette = WidgetPalette::instance();
    if (!palette) {
        // Before the application made its palette: plain system colours.
        m_gutterCurrent = m_gutterOther = m_separatorCurrent = m_separatorOther = GetSysColor(COLOR_WINDOW);
        m_numberCurrent = GetSysColor(COLOR_WINDOWTEXT);
        m_numberOther = m_numberTenth = GetSysColor(COLOR_GRAYTEXT);
        return;
    }
    m_gutterCurrent = palette->color(1);
    m_gutterOther = palette->color(0);
    m_numberCurrent = palette->color(11);
    m_numberOther = palette->color(5);
    m_numberTenth = palette->color(8);
    m_separatorCurrent = palette->color(0);
    m_separatorOther = palette->color(0);
}

void Editor::takeGutterColours(const ColorF& background, const ColorF& foreground) {
    float luminance = 0.299f * background.red + 0.587f * background.green + 0.114f * background.blue;
    if (luminance >= 0.5f) {
        readPaletteColors();
        m_shadow[0] = RGB(0xC8, 0xC8, 0xC8);
        m_shadow[1] = RGB(0xE6, 0xE6, 0xE6);
        return;
    }
    const ColorF black(0, 0, 0, 1);
    ColorF gutter = background.blend(foreground, 0.06f);
    m_gutterOther = gutter.toColorRef();
    m_gutterCurrent = gutter.blend(foreground, 0.08f).toColorRef();
    m_numberCurrent = foreground.toColorRef();
    m_numberOther = background.blend(foreground, 0.45f).toColorRef();
    m_numberTenth = background.blend(foreground, 0.65f).toColorRef();
    m_separatorCurrent = m_separatorOther = m_gutterOther;
    m_shadow[0] = background.blend(black, 0.35f).toColorRef();
    m_shadow[1] = background.blend(black, 0.15f).toColorRef();
}

const wchar_t* Editor::getTypeName() const {
    return TYPE_NAME;
}

void Editor::addScopeEntries(ScopePath& path) {
    afWidget::addScopeEntries(path);
    if (!m_controller)
        return;
    // Commands that act on selected text only (indent on Tab) match this atom.
    ReadScopeGuard read(m_controller);
    for (const SelectionRange& range : m_controller->getSelection()->getRanges()) {
        if (!range.isEmpty()) {
            path.push(L"ui.editor.selection");
            break;
        }
    }
    m_controller->getContextScopePath(path);
}

bool Editor::buildSeed(Seed& seed) {
    static bool registered = false;
    afWindowClass windowClass;
    windowClass.className = CLASS_NAME;
    windowClass.cursor = LoadCursorW(nullptr, IDC_IBEAM);
    windowClass.style = CS_DBLCLKS;
    registerClass(windowClass, registered);
    seed.className = CLASS_NAME;
    seed.windowName = L"Editor";
    seed.style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
    if (m_border == BORDER_LINE)
        seed.style |= WS_BORDER;
    if (m_border == BORDER_CLIENT_EDGE)
        seed.exStyle |= WS_EX_CLIENTEDGE;
    seed.x = 0;
    seed.y = 0;
    seed.width = 0;
    seed.height = 0;
    return true;
}

void Editor::onCreated() {
    afWidget::onCreated();
    m_caret.reset(new EditorCaret(*this));
    m_context.reset(new afUnicodeContext(EditorContext::get().fonts));
    m_context->setNoDocumentMark(true);
    if (FacePresetManager* presets = EditorContext::get().facePresets)
        presets->fontChanged.add(&Editor::onFontNotice, this);
    onFontChanged();
    m_context->setWrap(false, 0);
    m_context->setSubLineDisplay(true);
    m_renderer.reset(new afUnicodeRenderer(m_context.get()));
    m_cache.reset(new LineCache(*m_context));
    m_cache->setWidthCallback(this, &Editor::onWidestLine);
    m_positions.reset(new EditorPositionMap(*m_cache));
    m_top = m_cache->makeIterator(0, 0);
    m_bottom = m_top;
    onThemeLoaded(std::shared_ptr<DocumentTheme>());
    makeDropTarget();
}

void Editor::onBeforeDestroy() {
    detachFromController();
    if (FacePresetManager* presets = EditorContext::get().facePresets)
        presets->fontChanged.remove(&Editor::onFontNotice, this);
    afWidget::onBeforeDestroy();
}

void Editor::detachFromController() {
    if (!m_controller)
        return;
    if (m_controller->getEditor() == this)
        m_controller->setEditor(nullptr); // comes back through setDocumentController(null)
    else
        setDocumentController(nullptr);
}

int32_t Editor::getLineHeight() const {
    int height = m_context ? m_context->lineHeight() : 0;
    return height > 0 ? height : 16;
}

int32_t Editor::getSpaceWidth() const {
    int width = m_context ? m_context->spaceWidth() : 0;
    return width > 0 ? width : 8;
}

// --- Binding ---------------------------------------------------------------------------------

void Editor::setDocumentController(DocumentController* controller) {
    if (controller == m_controller)
        return;
    // The controller records its view first; it calls back here.
    if (controller && controller->getEditor() != this) {
        controller->setEditor(this);
        return;
    }
    if (!m_caret)
        return; // no window yet
    const bool hadController = m_controller != nullptr;
    if (m_controller)
        unbind();
    if (controller) {
        bind(controller);
        return;
    }
    if (hadController && hasFocus())
        onFocusOut();
    notifySearchFocus(false);
}

void Editor::unbind() {
    DocumentController* controller = m_controller;
    DocumentController::ViewState state;
    state.line = m_top.line;
    state.subLine = m_top.subLine;
    state.column = m_hscroll;
    state.range = m_hrange;
    controller->setViewState(state);
    removeLayers();
    m_cache->setSource(nullptr);
    m_context->setStyleProvider(nullptr);
    m_source.reset();
    controller->formatChanged.remove(&Editor::onFormatChanged, this);
    controller->caretMoved.remove(&Editor::onCaretNotice, this);
    controller->editBegun.remove(&Editor::onEditBegun, this);
    controller->editEnded.remove(&Editor::onEditEnded, this);
    controller->textInserted.remove(&Editor::onTextInserted, this);
    controller->textRemoved.remove(&Editor::onTextRemoved, this);
    controller->highlightersChanged.remove(&Editor::onHighlightersChanged, this);
    controller->changed.remove(&Editor::onSelectionNotice, this);
    controller->onFacePresetChanged.remove(&Editor::onFacePresetNotice, this);
    charCallback.set(nullptr, nullptr);
    hScrollCallback.set(nullptr, nullptr);
    vScrollCallback.set(nullptr, nullptr);
    m_controller = nullptr;
    m_depth = 0;
    m_lineCount = 0;
    m_top = m_cache->makeIterator(0, 0);
    m_bottom = m_top;
    m_context->setNoDocumentMark(true);
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

void Editor::bind(DocumentController* controller) {
    m_controller = controller;
    ReadScopeGuard read(controller);
    beginUpdate();
    controller->highlightersChanged.add(&Editor::onHighlightersChanged, this);
    controller->changed.add(&Editor::onSelectionNotice, this);
    for (TextHighlighter* highlighter : controller->getHighlighters())
        addLayer(highlighter);
    hScrollCallback.set(this, &Editor::onHScrollNotice);
    vScrollCallback.set(this, &Editor::onVScrollNotice);
    m_source.reset(new ControllerLineSource(*controller));
    m_context->setStyleProvider(m_source.get());
    m_context->setTabWidth(controller->getSettings().indentation.getWidth());
    m_cache->setSource(m_source.get());
    onThemeLoaded(m_theme);
    // The stored view state, pulled into the document. The widest line seen comes with it:
    // the lines are laid out only as they are painted, and without it the restored column
    // would be pulled back to 0 (or the previous document's widest line would stand).
    const DocumentController::ViewState state = controller->getViewState();
    m_cache->setWidestLine(state.range);
    m_hrange = std::max(0, state.range);
    const int32_t lines = controller->getLineCount();
    m_top = m_cache->makeIterator(state.line, state.subLine);
    if (state.line < 0) {
        m_top = m_cache->makeIterator(0, 0);
    } else if (state.line >= lines) {
        m_top = m_cache->makeIterator(lines - 1, 0);
        m_top.subLine = m_cache->getSubLineCount(lines - 1, true) - 1;
    } else {
        m_top.subLine = std::max(0, std::min(state.subLine, m_cache->getSubLineCount(state.line, true) - 1));
    }
    m_hscroll = std::max(0, state.column);
    m_lineCount = -1;
    setLineCount(lines);
    controller->onFacePresetChanged.add(&Editor::onFacePresetNotice, this);
    applyFacePreset(controller->getFacePreset());
    controller->formatChanged.add(&Editor::onFormatChanged, this);
    onTabSettingsChanged();
    controller->caretMoved.add(&Editor::onCaretNotice, this);
    onCaretMoved(controller->getSelection()->getCaret(), true);
    controller->editBegun.add(&Editor::onEditBegun, this);
    controller->editEnded.add(&Editor::onEditEnded, this);
    controller->textInserted.add(&Editor::onTextInserted, this);
    controller->textRemoved.add(&Editor::onTextRemoved, this);
    updatePageSize(true);
    charCallback.set(this, &Editor::onCharNotice);
    m_fullRepaint = true;
    endUpdate();
    if (hasFocus())
        onFocusIn();
}

void Editor::addLayer(TextHighlighter* highlighter) {
    if (!highlighter)
        return;
    for (const auto& layer : m_layers) {
        if (&layer->highlighter() == highlighter)
            return;
    }
    if (m_layers.size() >= afUnicodeContext::MAX_LAYERS)
        return;
    m_layers.emplace_back(new HighlighterLayer(*highlighter));
    m_context->addStyleLayer(m_layers.back().get());
}

void Editor::removeLayer(TextHighlighter* highlighter) {
    for (auto it = m_layers.begin(); it != m_layers.end(); ++it) {
        if (&(*it)->highlighter() == highlighter) {
            m_context->removeStyleLayer(it->get());
            m_layers.erase(it);
            return;
        }
    }
}

void Editor::removeLayers() {
    for (const auto& layer : m_layers)
        m_context->removeStyleLayer(layer.get());
    m_layers.clear();
}

// --- Face preset, font, theme ---------------------------------------------------------------

void Editor::setDistractionFree(bool on) {
    if (on == m_distractionFree)
        return;
    m_distractionFree = on;
    if (m_cache)
        applyFacePreset(FacePreset(m_givenPreset));
}

void Editor::applyFacePreset(const FacePreset& given) {
    ReadScopeGuard read(m_controller);
    beginUpdate();
    m_givenPreset = given;
    FacePreset preset = given;
    if (m_distractionFree) {
        preset.gutterLineNumbers = false;
        preset.boundaryShow = false;
        preset.wordWrap = true;
        preset.boundaryBreak = true;
        preset.center = true;
    }
    m_preset = preset;
    m_context->setSubLineDisplay(preset.wordWrap && preset.sublinesAlign);
    const int space = getSpaceWidth();
    int wrapWidth = space * preset.boundary;
    const bool wrapChanged = wrapWidth < 1 ? m_context->setWrap(false, 0)
                                           : m_context->setWrap(preset.wordWrap, std::max(wrapWidth, 30 * space));
    if (wrapChanged)
        forgetWidestLine();
    m_renderer->setMargin(preset.boundaryShow ? preset.boundary * space : 0);
    m_renderer->setWhitespace(preset.showWhitespaceBefore, preset.showWhitespaceInside, preset.showWhitespaceAfter);
    m_renderer->setShowIndentGuides(preset.showIndentGuides);
    m_caret->setHeight(getLineHeight());
    if (m_caret->isActive())
        m_caret->recreate();
    zem::Uuid uuid;
    if (!uuid.fromString(preset.themeId))
        uuid.fromString(FacePreset::DEFAULT_THEME);
    // The gutter first: centring measures what is left beside it.
    updateGutterWidth(m_lineCount);
    updateWrapLayout();
    if (!(uuid == m_themeUuid) || !m_themeSubscribed)
        subscribeTheme(uuid);
    m_relayoutPending = true;
    m_scrollBarsDirty = true;
    invalidateLines(-1, -1, false, 1);
    endUpdate();
}

void Editor::onFacePresetNotice(void* self, DocumentController*, const FacePreset* preset) {
    static_cast<Editor*>(self)->applyFacePreset(*preset);
}

void Editor::onFontNotice(void* self, FacePresetManager*) {
    static_cast<Editor*>(self)->onFontChanged();
}

void Editor::onFontChanged() {
    EditorContext& services = EditorContext::get();
    afUnicodeFontManager* fonts = services.fonts ? services.fonts : afUnicodeFontManager::instance();
    std::vector<std::wstring> names = services.fallbackFontNames;
    int size = services.fallbackFontSize;
    int paddingTop = 0, paddingBottom = 0;
    if (FacePresetManager* presets = services.facePresets) {
        names = presets->fontNames();
        size = presets->fontSize();
        paddingTop = presets->paddingTop();
        paddingBottom = presets->paddingBottom();
    }
    if (names.empty())
        names.push_back(FacePresetManager::FALLBACK_FONT);
    if (afUnicodeFontFamily* family = fonts->getFontGroup(names, static_cast<uint16_t>(size)))
        m_context->setFontFamily(family, paddingTop, paddingBottom);
    m_context->updateMetrics();
    if (m_caret) {
        m_caret->setHeight(getLineHeight());
        if (m_caret->isActive())
            m_caret->recreate();
    }
    if (!m_cache)
        return;
    beginUpdate();
    m_digits = -1;
    updateGutterWidth(m_lineCount);
    invalidateLines(-1, -1, false, 1);
    endUpdate();
}

void Editor::subscribeTheme(const zem::Uuid& uuid) {
    unsubscribeTheme();
    m_themeUuid = uuid;
    ThemeManager* themes = EditorContext::get().themes;
    if (!themes) {
        onThemeLoaded(std::shared_ptr<DocumentTheme>());
        return;
    }
    themes->subscribe(uuid, &Editor::onThemeNotice, this);
    m_themeSubscribed = true;
    ThemeBundleItem* theme = themes->getTheme(uuid, true);
    if (!theme)
        theme = themes->getDefaultTheme();
    onThemeLoaded(theme ? theme->getTheme() : std::shared_ptr<DocumentTheme>());
}

void Editor::unsubscribeTheme() {
    if (!m_themeSubscribed)
        return;
    m_themeSubscribed = false;
    if (ThemeManager* themes = EditorContext::get().themes)
        themes->unsubscribe(m_themeUuid, &Editor::onThemeNotice, this);
}

void Editor::onThemeNotice(void* self, const zem::Uuid&, ThemeBundleItem* theme) {
    Editor* editor = static_cast<Editor*>(self);
    if (!theme)
        if (ThemeManager* themes = EditorContext::get().themes)
            theme = themes->getDefaultTheme();
    editor->onThemeLoaded(theme ? theme->getTheme() : std::shared_ptr<DocumentTheme>());
}

void Editor::onThemeLoaded(const std::shared_ptr<DocumentTheme>& theme) {
    static const DocumentTheme builtIn;
    m_theme = theme;
    const DocumentTheme& colours = theme ? *theme : builtIn;
    const ColorF& background = colours.getColor(DocumentTheme::BACKGROUND);
    const ColorF& highlight = colours.getColor(DocumentTheme::LINE_HIGHLIGHT);
    const ColorF& area = colours.getColor(DocumentTheme::AREA_BACKGROUND);
    m_textBackground = background.toColorRef();
    m_textCurrent = blendToward(background, highlight);
    m_areaBackground = area.toColorRef();
    m_areaCurrent = blendToward(area, highlight);
    m_lineHighlight = highlight;
    takeGutterColours(background, colours.getColor(DocumentTheme::FOREGROUND));
    afUnicodeRenderer::Colors set = m_renderer->colors();
    set.colors[0] = colours.getColor(DocumentTheme::FOREGROUND);
    set.colors[1] = background;
    set.colors[2] = colours.getColor(DocumentTheme::INVISIBLES);
    m_renderer->setColors(set);
    if (!m_controller)
        return;
    ReadScopeGuard read(m_controller);
    beginUpdate();
    HighlightStyle selection = m_controller->getSelection()->getStyle();
    selection.fill = colours.getColor(DocumentTheme::SELECTION);
    m_controller->getSelection()->setStyle(selection);
    if (SpanHighlighter* spans = m_controller->spans() ? m_controller->spans()->getHighlighter() : nullptr) {
        HighlightStyle hotspot = spans->getStyle();
        hotspot.fill = colours.getColor(DocumentTheme::HOTSPOT);
        spans->setStyle(hotspot);
    }
    m_context->updateStyles();
    if (Document* document = m_controller->getDocument())
        if (DocumentStyler* styler = document->getStyler())
            styler->setTheme(theme);
    m_source->setBackground(background.packed());
    invalidateLines(-1, -1, false, 1);
    endUpdate();
}

// --- Controller notifications ----------------------------------------------------------------

void Editor::onFormatChanged(void* self, DocumentController*, const DocumentController::Settings*,
                             const DocumentController::Settings*) {
    static_cast<Editor*>(self)->onTabSettingsChanged();
}

void Editor::onTabSettingsChanged() {
    if (!m_controller)
        return;
    const int width = m_controller->getSettings().indentation.getWidth();
    if (width == m_context->tabWidth())
        return;
    m_context->setTabWidth(width);
    beginUpdate();
    updateWrapLayout();
    invalidateLines(-1, -1, false, 1);
    endUpdate();
}

void Editor::onCaretNotice(void* self, DocumentController*, const TextPosition* caret, uint32_t options) {
    if (caret)
        static_cast<Editor*>(self)->onCaretMoved(*caret, (options & SELECT_RESET_X) != 0);
}

void Editor::onCaretMoved(const TextPosition& position, bool resetX) {
    beginUpdate();
    const int32_t oldLine = m_caret->getPosition().line;
    if (oldLine != position.line) {
        invalidateLines(oldLine, oldLine, false, 0);
        invalidateLines(position.line, position.line, false, 0);
    }
    m_caret->setPosition(position, resetX);
    if (m_followCaret)
        scrollToCaret();
    endUpdate();
}

void Editor::onEditBegun(void* self, DocumentController*) {
    static_cast<Editor*>(self)->beginUpdate();
}

void Editor::onEditEnded(void* self, DocumentController*) {
    Editor* editor = static_cast<Editor*>(self);
    if (editor->m_depth > 0)
        editor->endUpdate();
}

void Editor::onTextInserted(void* self, DocumentController* controller, const TextChange* change) {
    Editor* editor = static_cast<Editor*>(self);
    editor->beginUpdate();
    editor->onLinesInserted(change->line, change->lineBreaks);
    editor->invalidateLines(change->line, change->line, true, 0);
    if (change->lineBreaks > 0)
        editor->onLineCountChanged(change->line);
    (void)controller;
    editor->endUpdate();
}

void Editor::onTextRemoved(void* self, DocumentController*, const TextChange* change) {
    Editor* editor = static_cast<Editor*>(self);
    editor->beginUpdate();
    editor->onLinesRemoved(change->line + 1, change->lineBreaks);
    editor->invalidateLines(change->line, change->line, true, 0);
    if (change->lineBreaks > 0)
        editor->onLineCountChanged(change->line);
    editor->endUpdate();
}

void Editor::onLinesInserted(int32_t line, int32_t count) {
    if (count <= 0) {
        invalidateLine(line);
        return;
    }
    m_cache->insertLines(line, count);
    if (line < m_top.line)
        scrollTo(m_hscroll, m_top.line + count, m_top.subLine, false);
}

void Editor::onLinesRemoved(int32_t line, int32_t count) {
    if (count > 0) {
        m_cache->removeLines(line, count);
        if (line < m_top.line)
            scrollTo(m_hscroll, std::max(line, m_top.line - count), m_top.subLine, false);
    }
    invalidateLine(line);
}

void Editor::onLineCountChanged(int32_t firstChangedLine) {
    invalidateLines(firstChangedLine, -1, false, 0);
    setLineCount(m_controller->getLineCount());
}

void Editor::onHighlightersChanged(void* self, DocumentController*, TextHighlighter* highlighter, int32_t added) {
    Editor* editor = static_cast<Editor*>(self);
    if (added) {
        editor->addLayer(highlighter);
        return;
    }
    editor->beginUpdate();
    editor->removeLayer(highlighter);
    editor->m_relayoutPending = true;
    editor->invalidateLines(-1, -1, false, 0);
    editor->endUpdate();
}

void Editor::onSelectionNotice(void* self, DocumentController*, const DocumentController::ChangeRecord* record) {
    if (record)
        static_cast<Editor*>(self)->onSelectionChanged(record->from, record->to);
}

void Editor::onSelectionChanged(const TextPosition& first, const TextPosition& second) {
    const int32_t from = std::min(first.line, second.line);
    const int32_t to = std::max(first.line, second.line);
    beginUpdate();
    m_cache->markDirty(from, to);
    invalidateLines(from, to, false, 0);
    endUpdate();
}

void Editor::onWidestLine(void* self, int32_t columns) {
    static_cast<Editor*>(self)->setMaxColumns(columns);
}

// --- Update brackets ---------------------------------------------------------------------

void Editor::beginUpdate() {
    if (m_depth == 0) {
        if (m_caret)
            m_caret->clearFlags();
        m_scrollBarsDirty = false;
        m_relayoutPending = false;
        m_fullRepaint = false;
        m_linesPending = false;
        m_pullBackScroll = false;
        m_pendingFirst = 0;
        m_pendingLast = 0;
    }
    ++m_depth;
}

void Editor::endUpdate() {
    if (m_depth <= 0)
        return;
    if (m_depth == 1 && m_controller) {
        m_caret->update();
        flushRepaint();
    }
    --m_depth;
}

void Editor::invalidateLines(int32_t first, int32_t last, bool textChanged, int32_t relayout) {
    if (!m_controller)
        return;
    if (textChanged || relayout) {
        // One line whose row count stays leaves the rows below it where they are.
        const bool oneLine = first >= 0 && first == last;
        const int32_t rowsBefore = oneLine ? m_cache->knownSubLineCount(first) : 0;
        if (first < 0 && last < 0)
            m_cache->invalidateAll();
        else if (first < 0)
            m_cache->invalidateUpTo(last);
        else if (last < 0)
            m_cache->invalidateFrom(first);
        else
            m_cache->invalidateRange(first, last);
        updatePageSize(true);
        const bool rowsKept =
            oneLine && rowsBefore > 0 && first < m_lineCount && m_cache->getLineEntry(first).subLineCount == rowsBefore;
        if (m_context->wrapEnabled() && !rowsKept)
            last = -1;
        if (relayout)
            m_relayoutPending = true;
    }
    const bool coversPage = (first <= m_top.line) && (last < 0 || last >= m_bottom.line);
    if (coversPage) {
        m_fullRepaint = true;
        return;
    }
    if (m_fullRepaint)
        return;
    if (!m_linesPending) {
        m_pendingFirst = std::max(0, first);
        m_pendingLast = last;
    } else {
        m_pendingFirst = std::max(0, std::min(m_pendingFirst, first));
        m_pendingLast = (last < 0 || m_pendingLast < 0) ? -1 : std::max(m_pendingLast, last);
    }
    m_linesPending = true;
}

void Editor::flushRepaint() {
    if (m_scrollBarsDirty)
        updateScrollBars();
    if (!m_hwnd)
        return;
    if (m_fullRepaint || m_relayoutPending) {
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return;
    }
    if (m_linesPending)
        invalidatePendingLines();
}

void Editor::invalidatePendingLines() {
    const int32_t first = m_pendingFirst;
    const int32_t last = m_pendingLast;
    if (first > m_bottom.line || (last >= 0 && last < m_top.line))
        return;
    const int height = getLineHeight();
    const int top = first < 0 ? 0 : std::max(0, rowTop(first, 0));
    int bottom = clientHeight();
    if (last >= 0 && last <= m_bottom.line) {
        SubLineIterator from = m_cache->makeIterator(first, 0);
        SubLineIterator to = m_cache->makeIterator(last, m_cache->getSubLineCount(last, true) - 1);
        int firstTop = rowTop(first, 0);
        bottom = firstTop + (m_cache->distance(from, to) + 1) * height;
    }
    RECT area{0, top, clientWidth(), bottom};
    InvalidateRect(m_hwnd, &area, FALSE);
}

// --- Caret moves ---------------------------------------------------------------------------

EditorPositionMap::Move Editor::computeMove(const TextPosition& from, int code, bool allowVirtual, int32_t desiredX) {
    return m_positions->computeMove(from, code, allowVirtual, desiredX, std::max(1, m_rows));
}

void Editor::moveCaret(uint32_t kind, int code, uint32_t options) {
    if (!m_controller)
        return;
    ReadScopeGuard read(m_controller);
    Selection* selection = m_controller->beginChangeBatch();
    const bool allowVirtual = selection->getBehaviorId() == Selection::ID_RECTANGLE ||
                              selection->getVirtualMode() != 0 || (options & SELECT_VIRTUAL) != 0;
    EditorPositionMap::Move move = computeMove(selection->getCaret(), code, allowVirtual, m_caret->getDesiredX());
    uint32_t selectOptions = options & ~SELECT_RESET_X;
    if (move.resetsDesiredX)
        selectOptions |= SELECT_RESET_X;
    if (allowVirtual)
        selectOptions |= SELECT_VIRTUAL;
    selectTo(move.target, selectOptions, kind);
    m_controller->endChangeBatch();
}

void Editor::selectTo(const TextPosition& caret, uint32_t options, uint32_t kind) {
    if (!m_controller)
        return;
    beginUpdate();
    Selection* selection = m_controller->getSelection();
    const TextPosition anchor = kind == Selection::ID_START_OVER ? caret : selection->getAnchor();
    selection->select(anchor, caret, options, kind);
    endUpdate();
}

// --- Positions ---------------------------------------------------------------------------------

int32_t Editor::getXAtPosition(const TextPosition& position) {
    if (!m_controller)
        return 0;
    ReadScopeGuard read(m_controller);
    return m_positions->getXAtPosition(position, true, nullptr);
}

TextPosition Editor::getPositionAtX(int32_t x, int32_t line) {
    TextPosition out(line, 0);
    if (!m_controller)
        return out;
    ReadScopeGuard read(m_controller);
    m_positions->getPositionAtX(x, line, 0, out, true, true);
    return out;
}

int32_t Editor::getXAtPosition(const TextPosition& position, bool wholeLine, int32_t* outRow) {
    if (!m_controller)
        return 0;
    return m_positions->getXAtPosition(position, wholeLine, outRow);
}

void Editor::getPositionAtX(int32_t x, int32_t line, int32_t row, TextPosition& out, bool allowVirtual,
                            bool wholeLine) {
    if (!m_controller) {
        out = TextPosition(std::max(0, line), 0);
        return;
    }
    m_positions->getPositionAtX(x, line, row, out, allowVirtual, wholeLine);
}

SubLineIterator Editor::rowAt(int y) {
    const int height = getLineHeight();
    int rows = y >= 0 ? y / height : -((height - 1 - y) / height);
    SubLineIterator row = m_top.advanced(rows);
    row.normalise();
    return row;
}

bool Editor::pointToPosition(int x, int y, TextPosition& out, bool allowVirtual) {
    if (!m_controller)
        return false;
    const int textX = x + getSpaceWidth() * m_hscroll - m_leftPadding - m_gutterWidth;
    SubLineIterator row = rowAt(y);
    getPositionAtX(textX, row.line, row.clampedSubLine(), out, allowVirtual, false);
    return true;
}

bool Editor::positionToPoint(const TextPosition& position, POINT& out) {
    out = POINT{0, 0};
    if (!m_controller)
        return false;
    int32_t row = 0;
    out.x = m_positions->getXAtPosition(position, false, &row) + m_leftPadding + m_gutterWidth -
            getSpaceWidth() * m_hscroll;
    out.y = rowTop(position.line, row);
    return out.x >= 0 && out.x < clientWidth() && out.y >= 0 && out.y < clientHeight();
}

int Editor::rowTop(int32_t line, int32_t subLine) {
    const int height = getLineHeight();
    SubLineIterator row = m_cache->makeIterator(line, subLine);
    if (row < m_top)
        return -1;
    if (m_bottom < row)
        return (m_rows + 1) * height;
    return height * m_cache->distance(m_top, row);
}

// --- Focus --------------------------------------------------------------------------------------

void Editor::onFocusIn() {
    afWidget::onFocusIn();
    if (!m_controller)
        return;
    ReadScopeGuard read(m_controller);
    beginUpdate();
    if (DocumentControllerManager* manager = m_controller->getManager())
        manager->setActiveController(m_controller);
    m_cmd->activate();
    notifySearchFocus(true);
    focusListeners.invoke(this, true);
    m_caret->setActive(true);
    endUpdate();
}

void Editor::onFocusOut() {
    afWidget::onFocusOut();
    m_cmd->deactivate();
    if (m_caret)
        m_caret->setActive(false);
    focusListeners.invoke(this, false);
}

} // namespace corvel
