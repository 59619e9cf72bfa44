// The owner of all documents. Here: the indentation detectors every load consults.
#pragma once
#include "corvel/document/FormatDetection.h"

#include <memory>
#include <vector>

namespace corvel {

class Document;
class FormatDetector;

class DocumentManager {
public:
    // Registers the mode-line detector, then the soft-tabs detector.
    DocumentManager();
    ~DocumentManager();
    DocumentManager(const DocumentManager&) = delete;
    DocumentManager& operator=(const DocumentManager&) = delete;

    // Not owned; false when already registered.
    bool addDetector(FormatDetector* detector);
    bool removeDetector(FormatDetector* detector);
    // Asks every detector in registration order; takes the most confident tabs-or-spaces
    // guess and the most confident width guess, the earlier detector on a tie. All
    // fields 0 when nothing was found.
    FormatDetection detectFormat(Document* document);

private:
    std::vector<FormatDetector*> m_detectors;
    std::vector<std::unique_ptr<FormatDetector>> m_ownDetectors;
};

} // namespace corvel
