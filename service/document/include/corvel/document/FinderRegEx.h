// Finds regular-expression matches, running the engine directly over the document's
// text. Forward it searches; backward it tries anchored matches at successive
// positions going back, so the match starting nearest before the search position wins.
#pragma once
#include "corvel/document/Finder.h"

#include <memory>
#include <string>

namespace corvel {

class FinderRegEx : public Finder {
public:
    // Throws std::exception (the engine's compile error) for a bad pattern.
    FinderRegEx(const std::wstring& pattern, bool ignoreCase);
    ~FinderRegEx() override;

    const zem::MatchResults& find(const Document& document, int32_t lower, int32_t upper, bool backward) override;

    // The literal scan ahead of the engine; on by default (off for comparisons).
    void setPrefilter(bool on) { m_prefilterOn = on; }

private:
    struct Engine;
    std::unique_ptr<Engine> m_engine;
    zem::MatchResultsSimple m_results;
    int32_t m_lastDistance = 0; // of the last match start from the search origin
    bool m_prefilterOn = true;
};

} // namespace corvel
