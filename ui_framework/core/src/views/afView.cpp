#include "corvel/ui/afView.h"

#include "corvel/document/ScopePath.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afTypeNames.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace corvel {

namespace {
constexpr uint32_t FRAMEWORK_LOG_SOURCE = 0x629b9e5bu;
}

afView::afView(afView* owner) : m_owner(owner), m_layoutParams(new afLayoutParams()) {
    if (owner)
        owner->addNode(this);
}

afView::~afView() {
    // A destructor must not throw: a view deleted while still in a parent leaves it first.
    if (m_parent) {
        zem::logMessage(3, FRAMEWORK_LOG_SOURCE, L"A view has not been unbound from it's parent");
        afView* parent = m_parent;
        auto& siblings = parent->m_children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        m_parent = nullptr;
    }
    while (!m_children.empty()) {
        afView* child = m_children.front();
        try {
            removeChild(child);
        } catch (...) {
            m_children.erase(m_children.begin());
            child->m_parent = nullptr;
        }
    }
    if (m_attachmentOwned)
        delete m_attachment;
    delete m_layoutParams;
    if (m_background) {
        m_background->setListener(nullptr);
        delete m_background;
    }
}

const wchar_t* afView::getTypeName() const {
    return afTypeName::VIEW;
}

bool afView::isMnemonic(wchar_t) const {
    return false;
}

void afView::addScopeEntries(ScopePath&) {}

void afView::rebuildContextName() {
    m_contextName = getTypeName();
    if (!m_name.empty()) {
        m_contextName += L'.';
        m_contextName += m_name;
    }
    m_contextNameBuilt = true;
}

void afView::setName(const std::wstring& name) {
    if (name == m_name && m_contextNameBuilt)
        return;
    m_name = name;
    rebuildContextName();
}

const std::wstring& afView::getContextName() {
    // The type name is virtual: it cannot be read in the constructor.
    if (!m_contextNameBuilt)
        rebuildContextName();
    return m_contextName;
}

ScopePath& afView::getScopePath() {
    if (!m_scopePath)
        m_scopePath.reset(new ScopePath());
    ScopePath& path = *m_scopePath;
    path.clear();
    for (afView* view = this; view;) {
        view->addScopeEntries(path);
        const std::wstring& context = view->getContextName();
        path.push(context.c_str(), static_cast<uint32_t>(context.size()), true, view);
        if (view->isRoot())
            break;
        view = view->m_parent ? view->m_parent : view->m_owner;
    }
    return path;
}

afView* afView::findPlatformHost() {
    for (afView* view = this; view; view = view->m_parent) {
        if (!view->isVirtual())
            return view;
    }
    return nullptr;
}

void afView::addChild(afView* child, int index) {
    if (child->m_parent == this)
        return;
    if (std::find(m_children.begin(), m_children.end(), child) != m_children.end())
        throw zem::IllegalStateException(L"View hierarchy corrupted.");
    // A platform child needs a native host: check before anything changes.
    afView* host = findPlatformHost();
    if (!host && !child->isVirtual())
        throw zem::IllegalStateException(L"Owner not found in tree. Owner is NULL.");
    if (child->m_parent)
        child->m_parent->removeChild(child);
    ObjectNode* previousOwner = child->getNodeOwner();
    bool adopted = !ownsNode(child);
    if (adopted)
        addNode(child);
    afView* previousHost = child->m_owner;
    child->m_parent = this;
    if (host)
        child->setOwner(host);
    if (index < 0 || index >= static_cast<int>(m_children.size()))
        m_children.push_back(child);
    else
        m_children.insert(m_children.begin() + index, child);
    try {
        child->attach();
    } catch (...) {
        // A view that refuses to be attached (a window) leaves both trees as they were.
        m_children.erase(std::find(m_children.begin(), m_children.end(), child));
        child->m_parent = nullptr;
        child->m_owner = previousHost;
        if (adopted) {
            removeNode(child);
            if (previousOwner)
                previousOwner->addNode(child);
        }
        throw;
    }
    for (afView* view = this; view; view = view->m_parent)
        view->onChildAdded(child, index);
}

void afView::removeChild(afView* child) {
    if (child->m_parent != this)
        throw zem::IllegalStateException(L"Removing view from invalid parent.");
    auto found = std::find(m_children.begin(), m_children.end(), child);
    if (found == m_children.end())
        return;
    for (afView* view = this; view; view = view->m_parent)
        view->onChildRemoved(child);
    child->detach();
    found = std::find(m_children.begin(), m_children.end(), child);
    if (found != m_children.end())
        m_children.erase(found);
    child->m_parent = nullptr;
}

bool afView::hasChild(const afView* view) const {
    return std::find(m_children.begin(), m_children.end(), view) != m_children.end();
}

bool afView::hasDescendant(const afView* view) const {
    for (afView* child : m_children) {
        if (child == view || child->hasDescendant(view))
            return true;
    }
    return false;
}

afView* afView::findChild(const std::wstring& name) const {
    for (afView* child : m_children) {
        if (child->m_name == name)
            return child;
    }
    return nullptr;
}

afView* afView::findDescendant(const std::wstring& name) const {
    if (afView* direct = findChild(name))
        return direct;
    for (afView* child : m_children) {
        if (afView* found = child->findDescendant(name))
            return found;
    }
    return nullptr;
}

void afView::attach() {
    m_flags |= FLAG_ATTACHED;
}

void afView::detach() {
    m_flags &= ~FLAG_ATTACHED;
}

void afView::setOwner(afView* owner) {
    onOwnerChanging(owner);
    m_owner = owner;
}

void afView::onChildAdded(afView*, int) {}
void afView::onChildRemoved(afView*) {}

void afView::getHostRect(afRect& out) const {
    out = getClientFrame();
    // Coordinates of a virtual view are relative to its parent: add the parents' origins
    // up to the platform view that hosts them.
    if ((m_flags & FLAG_ATTACHED) && m_parent && m_parent->isVirtual()) {
        afRect parentRect;
        m_parent->getHostRect(parentRect);
        out.offset(parentRect.left - m_parent->m_scrollX, parentRect.top - m_parent->m_scrollY);
    }
}

void afView::getLocalRect(afRect& out) const {
    afRect frame = getClientFrame();
    out.set(m_scrollX, m_scrollY, m_scrollX + frame.width(), m_scrollY + frame.height());
}

void afView::scrollBy(int dx, int dy) {
    scrollTo(m_scrollX + dx, m_scrollY + dy);
}

void afView::scrollTo(int x, int y) {
    if (x == m_scrollX && y == m_scrollY)
        return;
    int oldX = m_scrollX;
    int oldY = m_scrollY;
    m_scrollX = x;
    m_scrollY = y;
    onScrollChanged(x, y, oldX, oldY);
    invalidate();
}

afView* afView::getChildAt(int index) const {
    if (index < 0 || index >= static_cast<int>(m_children.size()))
        return nullptr;
    return m_children[index];
}

afView* afView::hitTest(int x, int y) {
    return getClientFrame().contains(x, y) ? this : nullptr;
}

void afView::invalidateRect(const afRect& rect) {
    if (!m_parent || !isVisible())
        return;
    afRect frame = getFrame();
    afRect moved = rect;
    moved.offset(frame.left - m_scrollX, frame.top - m_scrollY);
    m_parent->invalidateRect(moved);
}

void afView::invalidate() {
    afRect local;
    getLocalRect(local);
    invalidateRect(local);
}

void afView::onSizeChanged(const afRect&, const afRect&) {}
void afView::onOwnerChanging(afView*) {}
void afView::onScrollChanged(int, int, int, int) {}

std::unique_ptr<afCanvas> afView::getCanvas() {
    if (m_owner && m_owner != this)
        return m_owner->getCanvas();
    return nullptr;
}

void afView::onAncestorVisibilityChanged(afView* view, bool visible) {
    notifyChildrenVisibility(view, visible);
}

void afView::notifyChildrenVisibility(afView* view, bool visible) {
    for (size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->onAncestorVisibilityChanged(view, visible);
}

bool afView::onMouseMove(afEvent*) {
    return false;
}
bool afView::onMouseLeave(afEvent*) {
    return false;
}
bool afView::onMouseDown(afEvent*) {
    return false;
}
bool afView::onMouseUp(afEvent*) {
    return false;
}
bool afView::onMouseWheel(afEvent*, int) {
    return false;
}

bool afView::dispatchMouseMove(afEvent* event) {
    return m_mouseMove.dispatch(this, event) || onMouseMove(event);
}
bool afView::dispatchMouseLeave(afEvent* event) {
    return m_mouseLeave.dispatch(this, event) || onMouseLeave(event);
}
bool afView::dispatchMouseDown(afEvent* event) {
    return m_mouseDown.dispatch(this, event) || onMouseDown(event);
}
bool afView::dispatchMouseUp(afEvent* event) {
    return m_mouseUp.dispatch(this, event) || onMouseUp(event);
}
bool afView::dispatchMouseWheel(afEvent* event, int notches) {
    return onMouseWheel(event, notches);
}

bool afView::dispatchKey(afEvent* event, bool down) {
    for (afView* view = this; view; view = view->m_parent) {
        EventListeners& listeners = down ? view->m_keyDown : view->m_keyUp;
        if (!listeners.empty() && listeners.dispatch(view, event))
            return true;
        if (down ? view->onKeyDown(event) : view->onKeyUp(event))
            return true;
    }
    return false;
}

bool afView::dispatchKeyDown(afEvent* event) {
    return dispatchKey(event, true);
}
bool afView::dispatchKeyUp(afEvent* event) {
    return dispatchKey(event, false);
}
bool afView::onKeyDown(afEvent*) {
    return false;
}
bool afView::onKeyUp(afEvent*) {
    return false;
}
bool afView::onMnemonic(wchar_t) {
    return false;
}

bool afView::paintSelf(afCanvas* canvas, afCanvasRegion* region) {
    if (m_paintFunction)
        return m_paintFunction(m_paintObject, this, canvas, region);
    return onDraw(canvas, region);
}

void afView::paint(afCanvas* canvas, afCanvasRegion* region) {
    paintSelf(canvas, region);
}

bool afView::onDraw(afCanvas* canvas, afCanvasRegion*) {
    if (!m_background || !canvas)
        return false;
    m_background->draw(*canvas, nullptr);
    return true;
}

void afView::requestFocus() {
    if (m_owner)
        m_owner->focusDescendant(this);
}

bool afView::setFocus(afView*) {
    return false;
}

void afView::focusDescendant(afView* view) {
    afView* host = view->isVirtual() ? view->m_owner : view;
    if (!host || host->isVirtual())
        throw zem::InvalidArgumentException(L"Child is not focusable.");
    // Each owner up the chain is asked in turn; the window that holds the host gives it
    // the focus.
    if (setFocus(host))
        return;
    if (m_owner && m_owner != this)
        m_owner->focusDescendant(view);
}

void afView::onDrawableChanged(afDrawable*) {
    invalidate();
}

int afView::indexOfChild(const afView* view) const {
    auto found = std::find(m_children.begin(), m_children.end(), view);
    return found == m_children.end() ? -1 : static_cast<int>(found - m_children.begin());
}

afView* afView::findVisibleChildBefore(const afView* child) const {
    int index = indexOfChild(child);
    for (int i = index - 1; index >= 0 && i >= 0; --i) {
        if (m_children[i]->isVisible())
            return m_children[i];
    }
    return nullptr;
}

afView* afView::findVisibleChildAfter(const afView* child) const {
    int index = indexOfChild(child);
    if (index < 0)
        return nullptr;
    for (size_t i = static_cast<size_t>(index) + 1; i < m_children.size(); ++i) {
        if (m_children[i]->isVisible())
            return m_children[i];
    }
    return nullptr;
}

void afView::mapDescendantRect(afRect& rect, const afView* descendant) const {
    for (const afView* view = descendant; view != this; view = view->m_parent) {
        if (!view || view->isRoot() || !view->m_parent)
            throw zem::InvalidArgumentException(L"Parameter must be a descendant of this view.");
        afRect frame = view->getFrame();
        rect.offset(frame.left - view->m_scrollX, frame.top - view->m_scrollY);
    }
}

POINT afView::hostToLocal(POINT point) const {
    afRect host;
    getHostRect(host);
    return POINT{point.x - host.left, point.y - host.top};
}

void afView::setPadding(int left, int top, int right, int bottom) {
    if (m_padding.left == left && m_padding.top == top && m_padding.right == right && m_padding.bottom == bottom)
        return;
    m_padding.set(left, top, right, bottom);
    needLayout("afView::setPadding");
}

void afView::setMinimumSize(int width, int height) {
    m_minWidth = width;
    m_minHeight = height;
    needLayout("afView::setMinimumSize");
}

void afView::setLayoutParams(afLayoutParams* params) {
    if (!params)
        throw zem::NullPointerException(L"layout_params are null");
    if (params == m_layoutParams)
        return;
    delete m_layoutParams;
    m_layoutParams = params;
    needLayout("afView::setLayoutParams");
}

void afView::requestLayoutWidth(int value, bool show) {
    m_layoutParams->width = std::max(value, m_minWidth);
    if (show)
        setVisible(value != 0 && value >= m_minWidth);
    needLayout("afView::requestLayoutWidth");
}

void afView::requestLayoutHeight(int value, bool show) {
    m_layoutParams->height = std::max(value, m_minHeight);
    if (show)
        setVisible(value != 0 && value >= m_minHeight);
    needLayout("afView::requestLayoutHeight");
}

void afView::setBackground(afDrawable* drawable) {
    if (drawable == m_background)
        return;
    if (m_background) {
        m_background->setListener(nullptr);
        delete m_background;
    }
    m_background = drawable;
    if (!drawable)
        return;
    RECT padding;
    if (drawable->getPadding(padding))
        setPadding(padding);
    drawable->setListener(this);
}

void afView::setAttachment(zem::Object* object, bool owned) {
    if (m_attachmentOwned && m_attachment != object)
        delete m_attachment;
    m_attachment = object;
    m_attachmentOwned = owned;
}

} // namespace corvel
