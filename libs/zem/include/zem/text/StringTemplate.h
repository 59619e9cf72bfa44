// A text with numbered placeholders such as "{1}", expanded from a table of typed
// parameters. Malformed placeholders are not errors: they stay in the output as written,
// and "{{" is left alone.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zem {

class StringTemplate {
public:
    // A typed value for a placeholder. The plain text kinds only point at the caller's
    // text, which must outlive the expansion; the copying kinds keep their own.
    class Parameter {
    public:
        enum Type : int32_t {
            TYPE_INT = 0,        // signed decimal
            TYPE_TEXT = 4,       // UTF-16, not owned
            TYPE_ASCII = 5,      // 8-bit, each byte one unit, not owned
            TYPE_TEXT_COPY = 6,  // UTF-16, owned copy
            TYPE_ASCII_COPY = 7, // 8-bit, owned copy
        };

        explicit Parameter(int value = 0);
        static Parameter text(const wchar_t* text);
        static Parameter ascii(const char* text);
        static Parameter textCopy(const wchar_t* text);
        static Parameter asciiCopy(const char* text);

        Parameter(const Parameter& other);
        Parameter& operator=(const Parameter& other);
        virtual ~Parameter();

        int32_t type() const { return m_type; }
        // Appends the value as its type says; a type outside the table throws
        // IllegalStateException "Unexpected state". A null text appends nothing.
        void appendTo(std::wstring& out) const;

    protected:
        // A parameter of any type code; text types start without a text.
        Parameter(int32_t type, int value);

    private:
        void copyFrom(const Parameter& other);
        void release();

        int32_t m_type;
        union {
            int integer;
            const wchar_t* wide;
            const char* narrow;
        } m_value;
    };

    typedef std::map<unsigned, Parameter> Parameters;

    explicit StringTemplate(const std::wstring& text);
    ~StringTemplate();
    StringTemplate(const StringTemplate&) = delete;
    StringTemplate& operator=(const StringTemplate&) = delete;

    // Stores a copy under index, replacing one stored before, and forgets the expansion.
    void setParameter(unsigned index, const Parameter& parameter);
    // The expansion, rebuilt when it is empty. A placeholder without a parameter expands
    // to nothing.
    const std::wstring& getText();
    const std::wstring& source() const { return m_source; }

    class Node {
    public:
        virtual ~Node() = default;
        virtual void append(const Parameters& parameters, std::wstring& out) const = 0;
    };

private:
    void parse();
    void parseSegment(const wchar_t* text, int length, std::wstring& pending);
    void flushText(std::wstring& pending);

    std::wstring m_source;
    std::wstring m_text;                        // the cached expansion
    std::vector<std::unique_ptr<Node>> m_nodes; // in source order
    Parameters m_parameters;
};

typedef StringTemplate::Node StringTemplateNode;

class StringTemplateTextNode : public StringTemplateNode {
public:
    explicit StringTemplateTextNode(std::wstring text) : m_text(std::move(text)) {}
    void append(const StringTemplate::Parameters& parameters, std::wstring& out) const override;

private:
    std::wstring m_text;
};

class StringTemplateParameterNode : public StringTemplateNode {
public:
    explicit StringTemplateParameterNode(unsigned index) : m_index(index) {}
    void append(const StringTemplate::Parameters& parameters, std::wstring& out) const override;
    unsigned index() const { return m_index; }

private:
    unsigned m_index;
};

} // namespace zem
