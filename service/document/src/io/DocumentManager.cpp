#include "corvel/document/DocumentManager.h"

#include "corvel/document/EmacsDetector.h"
#include "corvel/document/SoftTabsDetector.h"

#include <algorithm>

namespace corvel {

DocumentManager::DocumentManager() {
    m_ownDetectors.push_back(std::make_unique<EmacsDetector>());
    m_ownDetectors.push_back(std::make_unique<SoftTabsDetector>());
    for (const std::unique_ptr<FormatDetector>& detector : m_ownDetectors)
        addDetector(detector.get());
}

DocumentManager::~DocumentManager() {
    for (const std::unique_ptr<FormatDetector>& detector : m_ownDetectors)
        removeDetector(detector.get());
}

bool DocumentManager::addDetector(FormatDetector* detector) {
    if (std::find(m_detectors.begin(), m_detectors.end(), detector) != m_detectors.end())
        return false;
    m_detectors.push_back(detector);
    return true;
}

bool DocumentManager::removeDetector(FormatDetector* detector) {
    const auto found = std::find(m_detectors.begin(), m_detectors.end(), detector);
    if (found == m_detectors.end())
        return false;
    m_detectors.erase(found);
    return true;
}

FormatDetection DocumentManager::detectFormat(Document* document) {
    FormatDetection best;
    for (FormatDetector* detector : m_detectors) {
        FormatDetection result;
        if (!detector->detect(document, result))
            continue;
        if (result.tabsConfidence > best.tabsConfidence) {
            best.tabsConfidence = result.tabsConfidence;
            best.usesSpaces = result.usesSpaces;
        }
        if (result.widthConfidence > best.widthConfidence) {
            best.widthConfidence = result.widthConfidence;
            best.tabWidth = result.tabWidth;
        }
    }
    return best;
}

} // namespace corvel
