// The dotted type names view classes answer: the first half of a view's context name,
// against which key bindings, menus and preferences are matched ("ui.editor").
#pragma once

namespace corvel {
namespace afTypeName {

constexpr const wchar_t VIEW[] = L"ui.view";
constexpr const wchar_t VIEW_VIRTUAL[] = L"ui.view.virtual";
constexpr const wchar_t VIEW_VIRTUAL_BUTTON[] = L"ui.view.virtual.button";
constexpr const wchar_t VIEW_PLATFORM[] = L"ui.view.platform";
constexpr const wchar_t WIDGET[] = L"ui.widget";
constexpr const wchar_t CONTAINER[] = L"ui.container";
constexpr const wchar_t CONTROL_GENERIC[] = L"ui.control.generic";
constexpr const wchar_t CONTROL_SHORTCUT[] = L"ui.control.shortcut";
constexpr const wchar_t BUTTON[] = L"ui.button";
constexpr const wchar_t CHECK_BOX[] = L"ui.check_box";
constexpr const wchar_t COMBO_BOX[] = L"ui.combo_box";
constexpr const wchar_t EDIT[] = L"ui.edit";
constexpr const wchar_t GROUP[] = L"ui.group";
constexpr const wchar_t LISTER[] = L"ui.lister";
constexpr const wchar_t GRID[] = L"ui.grid";
constexpr const wchar_t PROGRESS_BAR[] = L"ui.progress_bar";
constexpr const wchar_t SPLITTER[] = L"ui.splitter";
constexpr const wchar_t TABS[] = L"ui.tabs";
constexpr const wchar_t TREE[] = L"ui.tree";
constexpr const wchar_t LABEL[] = L"ui.label";
constexpr const wchar_t LAYOUT[] = L"ui.layout";
constexpr const wchar_t LAYOUT_LINEAR[] = L"ui.layout.linear";
constexpr const wchar_t LAYOUT_SCROLL_HORIZONTAL[] = L"ui.layout.scroll.horizontal";
constexpr const wchar_t DOCK[] = L"ui.dock";
constexpr const wchar_t DOCK_SIMPLE[] = L"ui.dock.simple";
constexpr const wchar_t DOCK_TABS[] = L"ui.dock.tabs";
constexpr const wchar_t SIDEBAR_DOCK[] = L"ui.sidebar_dock";
constexpr const wchar_t TOOL_STRIP[] = L"ui.tool_strip";
constexpr const wchar_t EDITOR[] = L"ui.editor";
constexpr const wchar_t SUGGESTIONS[] = L"ui.suggestions";
constexpr const wchar_t WINDOW[] = L"ui.window";
constexpr const wchar_t WINDOW_MAIN[] = L"ui.window.main";
constexpr const wchar_t WINDOW_BUNDLE_EDITOR[] = L"ui.window.bundle_editor";

} // namespace afTypeName
} // namespace corvel
