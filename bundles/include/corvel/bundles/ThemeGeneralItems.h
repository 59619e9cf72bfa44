// The settings a theme holds beside its scope rules: the default text colours and the
// colour around a centred editing canvas. Appearance pages list them by these rows.
#pragma once
#include <vector>

namespace corvel {

struct ThemeGeneralItem {
    const wchar_t* name;
    int number;
    const wchar_t* description;
    int flag;
};

const std::vector<ThemeGeneralItem>& themeGeneralItems();

} // namespace corvel
