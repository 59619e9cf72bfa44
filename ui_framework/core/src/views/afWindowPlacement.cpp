// A window's placement under "app.windows": saved when it is destroyed, restored when
// it is created. The setting is user-editable: bad members take the defaults and a
// rectangle that cannot fit the desktop is ignored.
#include "corvel/ui/afWindow.h"

#include "corvel/config/ConfigManager.h"
#include "corvel/jasmine/JasmineValue.h"
#include "zem/thread/CriticalSection.h"

namespace corvel {

namespace {

const wchar_t WINDOWS_KEY[] = L"app.windows";

int32_t memberOr(const JasmineValue& entry, const wchar_t* key, int32_t fallback) {
    const JasmineValue& value = entry.find(key);
    if (value.getType() != JasmineValue::TYPE_INT && value.getType() != JasmineValue::TYPE_UNSIGNED)
        return fallback;
    return value.asInt(fallback);
}

// Computed in 64 bits: a stored rectangle may be anything.
bool fitsDesktop(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    int64_t width = right - left;
    int64_t height = bottom - top;
    if (width <= 0 || height <= 0)
        return false;
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    return width <= desktop.right && height <= desktop.bottom;
}

} // namespace

void afWindow::restorePlacement(Config& config) {
    if (m_placementOff || !m_hwnd)
        return;
    ConfigValue* windows = config.getValue(WINDOWS_KEY);
    const JasmineValue* all = windows ? windows->getJasmine() : nullptr;
    if (!all || !all->isDictionary())
        return;
    const JasmineValue& entry = all->find(m_placementKey);
    if (!entry.isDictionary())
        return;
    int32_t left = memberOr(entry, L"left", 32);
    int32_t top = memberOr(entry, L"top", 32);
    int32_t right = memberOr(entry, L"right", 732);
    int32_t bottom = memberOr(entry, L"bottom", 465);
    int32_t state = memberOr(entry, L"state", 1);
    memberOr(entry, L"maximized", 0); // read, not used
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(m_hwnd, &placement))
        return;
    if (!fitsDesktop(left, top, right, bottom))
        return;
    placement.rcNormalPosition = RECT{left, top, right, bottom};
    placement.showCmd = m_restoreState ? static_cast<UINT>(state) : SW_HIDE;
    SetWindowPlacement(m_hwnd, &placement);
    markGeometryStale();
}

void afWindow::savePlacement(Config& config) {
    if (m_placementOff || !m_hwnd)
        return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(m_hwnd, &placement))
        return;
    ConfigValue* windows = config.getValue(WINDOWS_KEY);
    if (!windows)
        windows = config.declareValue(WINDOWS_KEY, ConfigValue::TYPE_JASMINE);
    if (!windows)
        return;
    JasmineValue all(JasmineValue::TYPE_DICTIONARY);
    if (const JasmineValue* old = windows->getJasmine()) {
        if (old->isDictionary())
            all = *old;
    }
    JasmineValue& entry = all.getOrAddEntry(m_placementKey);
    if (!entry.isDictionary())
        entry = JasmineValue(JasmineValue::TYPE_DICTIONARY);
    entry.getOrAddEntry(L"left").setInt(placement.rcNormalPosition.left);
    entry.getOrAddEntry(L"top").setInt(placement.rcNormalPosition.top);
    entry.getOrAddEntry(L"right").setInt(placement.rcNormalPosition.right);
    entry.getOrAddEntry(L"bottom").setInt(placement.rcNormalPosition.bottom);
    entry.getOrAddEntry(L"state").setInt(static_cast<int32_t>(placement.showCmd));
    windows->setJasmine(all);
}

namespace {

// Runs step on the given configuration, or on the application's under its lock.
template <class Step> void onConfig(Config* config, Step step) {
    if (config) {
        step(*config);
        return;
    }
    ConfigManager* manager = ConfigManager::current();
    if (!manager)
        return;
    Config& global = manager->getConfig();
    zem::CriticalSectionLock guard(global.getLock());
    step(global);
}

} // namespace

void afWindow::saveState(Config* config) {
    onConfig(config, [this](Config& target) { savePlacement(target); });
}

void afWindow::loadState(Config* config) {
    onConfig(config, [this](Config& target) { restorePlacement(target); });
}

} // namespace corvel
