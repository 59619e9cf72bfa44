// The validation errors of one subject in the order they were found, with a count per
// severity so that a view can say at once how many errors and warnings there are.
#pragma once
#include "corvel/config/ValidationError.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvel {

class ValidationErrorList {
public:
    ValidationErrorList() = default;
    ~ValidationErrorList();
    ValidationErrorList(const ValidationErrorList&) = delete;
    ValidationErrorList& operator=(const ValidationErrorList&) = delete;

    // Takes ownership. A null error throws NullPointerException and changes nothing.
    void add(ValidationError* error);
    // Deletes every error and empties the counters.
    void clear();
    // Replaces the content with whole copies of other's errors (class, text, severity,
    // tags) and its counters.
    void assign(const ValidationErrorList& other);

    // The number of errors of that severity; 0 for a severity never added.
    uint32_t count(uint32_t severity) const { return severity < m_counts.size() ? m_counts[severity] : 0; }
    const std::vector<uint32_t>& counts() const { return m_counts; }

    size_t size() const { return m_errors.size(); }
    bool empty() const { return m_errors.empty(); }
    const ValidationError* at(size_t index) const { return m_errors.at(index); }
    std::vector<ValidationError*>::const_iterator begin() const { return m_errors.begin(); }
    std::vector<ValidationError*>::const_iterator end() const { return m_errors.end(); }

private:
    std::vector<ValidationError*> m_errors; // owned, never null, in the order added
    std::vector<uint32_t> m_counts;         // by severity; size > every severity added
};

} // namespace corvel
