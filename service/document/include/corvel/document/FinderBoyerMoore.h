// Finds literal text, optionally ignoring case and only as a whole word, reading the
// document in place. Boyer-Moore tables are built once per pattern and direction.
#pragma once
#include "corvel/document/Finder.h"

#include <memory>
#include <string>
#include <vector>

namespace corvel {

class LiteralScanner;

class FinderBoyerMoore : public Finder {
public:
    FinderBoyerMoore(const std::wstring& pattern, bool ignoreCase, bool wholeWord);
    ~FinderBoyerMoore() override;

    const zem::MatchResults& find(const Document& document, int32_t lower, int32_t upper, bool backward) override;

    // Forward searches scan for candidates eight positions at a time when the pattern
    // allows; off, every search runs the table-driven scan (the two agree).
    void setFastScan(bool on) { m_fastScan = on; }

private:
    struct Tables {
        int32_t badChar[256];
        std::vector<int32_t> goodSuffix; // entry k: the shift after a mismatch at pattern index k
    };

    const Tables& tables(bool backward);
    bool isWholeWord(const Document& document, int32_t start) const;
    const zem::MatchResults& scanForward(const Document& document, int32_t lower, int32_t upper);

    std::wstring m_pattern; // upper-cased when ignoring case
    int32_t m_last;         // pattern length - 1
    bool m_ignoreCase;
    bool m_wholeWord;
    zem::MatchResultsSimple m_results;
    std::unique_ptr<Tables> m_forward;         // built on first use
    std::unique_ptr<Tables> m_backward;        // over the reversed pattern
    const wchar_t* m_fold = nullptr;           // the upper-case table when ignoring case
    std::unique_ptr<LiteralScanner> m_scanner; // null when the pattern cannot use it
    bool m_fastScan = true;
};

// Fills Boyer-Moore tables for pattern (exposed for tests).
void buildBadCharTable(const std::wstring& pattern, int32_t table[256]);
std::vector<int32_t> buildGoodSuffixTable(const std::wstring& pattern);

} // namespace corvel
