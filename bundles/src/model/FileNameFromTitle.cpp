#include "corvel/bundles/BundleEntryLocation.h"

#include "zem/text/Inflector.h"

namespace corvel {

namespace {

// Names the platform reserves for devices in every folder, whatever the extension.
bool isReservedDeviceName(const std::wstring& name) {
    static const wchar_t* const PLAIN[] = {L"con", L"prn", L"aux", L"nul"};
    for (const wchar_t* reserved : PLAIN) {
        if (name == reserved)
            return true;
    }
    if (name.size() == 4 && (name.compare(0, 3, L"com") == 0 || name.compare(0, 3, L"lpt") == 0))
        return name[3] >= L'1' && name[3] <= L'9';
    return false;
}

} // namespace

std::wstring makeFileNameFromTitle(const std::wstring& title) {
    std::wstring kept = title;
    zem::Inflector::filter(kept, &zem::Inflector::isAsciiWordOrSeparator);
    std::wstring name;
    zem::Inflector::formatWords(&name, kept.c_str(), kept.size(), zem::Inflector::CASE_LOWER, L'_');
    if (isReservedDeviceName(name))
        name += L'_';
    return name;
}

} // namespace corvel
