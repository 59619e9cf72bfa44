#include "corvel/document/DocumentManager.h"

#include "../text/UniquePointers.h"
#include "corvel/document/EmacsDetector.h"
#include "corvel/document/SoftTabsDetector.h"

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
    return addUnique(m_detectors, detector);
}

bool DocumentManager::removeDetector(FormatDetector* detector) {
    return removeKeepingOrder(m_detectors, detector);
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
