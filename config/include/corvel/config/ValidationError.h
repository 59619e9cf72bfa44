// One problem a validator found: a severity that selects the list's counter and a set of
// tags that say what the problem is about. Subclasses supply the text.
#pragma once
#include "zem/base/Tags.h"

#include <cstdint>
#include <string>

namespace corvel {

class ValidationError {
public:
    // (SEVERITY_ERROR is taken by a platform macro.)
    enum Severity : uint32_t { NOTICE_SEVERITY = 0, WARNING_SEVERITY = 1, ERROR_SEVERITY = 2 };

    explicit ValidationError(uint32_t severity = ERROR_SEVERITY) : m_severity(severity) {}
    virtual ~ValidationError() = default;

    // Writes the text into out (replacing what was there).
    virtual void getMessage(std::wstring& out) const;
    std::wstring getMessage() const {
        std::wstring out;
        getMessage(out);
        return out;
    }
    // A copy of the same class, text, severity and tags, which the caller owns.
    virtual ValidationError* clone() const { return new ValidationError(*this); }

    uint32_t getSeverity() const { return m_severity; }
    void setSeverity(uint32_t severity) { m_severity = severity; }
    zem::Tags<int>& tags() { return m_tags; }
    const zem::Tags<int>& tags() const { return m_tags; }
    bool hasTag(int tag) const { return m_tags.has(tag); }
    void addTag(int tag) { m_tags.add(tag); }

protected:
    ValidationError(const ValidationError&) = default;
    ValidationError& operator=(const ValidationError&) = default;

private:
    uint32_t m_severity;
    zem::Tags<int> m_tags;
};

} // namespace corvel
