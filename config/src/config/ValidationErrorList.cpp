#include "corvel/config/ValidationErrorList.h"

#include "zem/base/Assert.h"

#include <memory>

namespace corvel {

namespace {
const uint32_t MAX_SEVERITY = 0x100;
}

ValidationErrorList::~ValidationErrorList() {
    clear();
}

void ValidationErrorList::add(ValidationError* error) {
    zem::throwIfNull(error);
    std::unique_ptr<ValidationError> owned(error);
    uint32_t severity = error->getSeverity();
    // Severities index the counters: a wild one would make the vector enormous.
    ZEM_ASSERT_MSG(severity < MAX_SEVERITY, L"severity < MAX_SEVERITY");
    if (severity >= m_counts.size())
        m_counts.resize(static_cast<size_t>(severity) + 1, 0);
    m_errors.push_back(owned.get());
    owned.release();
    ++m_counts[severity];
}

void ValidationErrorList::clear() {
    for (ValidationError* error : m_errors)
        delete error;
    m_errors.clear();
    m_counts.clear();
}

void ValidationErrorList::assign(const ValidationErrorList& other) {
    if (&other == this)
        return;
    clear();
    m_errors.reserve(other.m_errors.size());
    for (const ValidationError* error : other.m_errors)
        m_errors.push_back(error->clone());
    m_counts = other.m_counts;
}

} // namespace corvel
