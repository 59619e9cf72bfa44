// The update window: four pages (checking, update available, up to date, error) of which
// the update checker's results show one. It keeps its owners disabled while it is open.
#pragma once
#include "corvel/ui/afWindowKinds.h"

#include <string>

namespace corvel {

class afControlButton;
class afLabel;
class afLayoutLinear;
struct UpdateInfo;

class UpdateCheckerDialog : public afTaskWindow {
public:
    enum Page { PAGE_CHECKING = 1, PAGE_AVAILABLE = 2, PAGE_UP_TO_DATE = 3, PAGE_ERROR = 4 };
    static constexpr int MINIMUM_WIDTH = 500;
    static constexpr int MINIMUM_HEIGHT = 300;

    explicit UpdateCheckerDialog(afView* owner);
    // A new dialog owned by owner whose window exists, on page 1 and still hidden; null
    // for a null owner.
    static UpdateCheckerDialog* create(afView* owner);

    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    void onDestroy() override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;

    // Nothing for the current page or one outside 1 to 4; otherwise the page's title, the
    // page alone shown and its primary button made the default.
    void setPage(int page);
    int getPage() const { return m_page; }
    // Takes the download URL and fills the version label and the download button.
    void showInfo(const UpdateInfo& info);
    const std::wstring& getDownloadUrl() const { return m_downloadUrl; }

    // The page's view of that name ("title", "version", "download", "cancel"), or null.
    afView* findOnPage(int page, const std::wstring& name) const;

private:
    struct PageViews {
        afLayoutLinear* row = nullptr;
        afLayoutLinear* content = nullptr;
        afControlButton* primary = nullptr;
    };
    static void onCancel(void* self, afControlButton* button);
    static void onDownload(void* self, afControlButton* button);
    afLayoutLinear* addPage(int page, const wchar_t* heading, int icon);
    afControlButton* addButton(int page, const wchar_t* name, const wchar_t* text);

    int m_page = 0;
    PageViews m_pages[5]; // by page number; 0 unused
    afLabel* m_version = nullptr;
    afControlButton* m_download = nullptr;
    std::wstring m_downloadUrl;
};

} // namespace corvel
