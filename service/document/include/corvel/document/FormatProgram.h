// A replacement format ("$1", "(?1:yes:no)", "\u$2") parsed once into a tree and then run
// for every match with a callback that hands out the group texts. Find and replace and
// the snippet transformations share it.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

class FormatProgram {
public:
    enum Kind : int32_t {
        LITERAL = 0,
        GROUP = 1,
        CONDITIONAL = 2,
        SEPARATOR = 3,
        THEN_BRANCH = 4,
        ELSE_BRANCH = 5,
        ESCAPED = 6,
        NEWLINE = 7,
        TAB = 8,
        UPPER_NEXT = 9,
        LOWER_NEXT = 10,
        UPPER_ALL = 11,
        LOWER_ALL = 12,
        END_CASE = 13,
        CONDITIONAL_END = 14
    };
    enum CaseMode : int32_t {
        CASE_NONE = 0,
        CASE_UPPER = 1,
        CASE_LOWER = 2,
        CASE_UPPER_FIRST = 3,
        CASE_LOWER_FIRST = 4
    };

    // Whether group number matched; when out is given the group's text is stored there.
    typedef std::function<bool(int32_t group, std::wstring* out)> GroupCallback;

    struct Element {
        size_t begin; // into the program's text
        size_t end;
        Kind kind;
        int32_t group = -1; // GROUP and CONDITIONAL
        std::vector<std::unique_ptr<Element>> children;
        Element(size_t b, Kind k) : begin(b), end(b), kind(k) {}
    };

    // Conditionals nested deeper than this are refused with a zem::ParserException.
    static const int MAX_NESTING = 512;

    explicit FormatProgram(const std::wstring& text);
    ~FormatProgram();
    FormatProgram(const FormatProgram&) = delete;
    FormatProgram& operator=(const FormatProgram&) = delete;

    // Appends the result to out; caseMode is the mode the run starts in.
    void execute(const GroupCallback& callback, std::wstring& out, int32_t caseMode = CASE_NONE) const;

    const std::wstring& getText() const { return m_text; }
    const std::vector<std::unique_ptr<Element>>& getElements() const { return m_elements; }

private:
    typedef std::vector<std::unique_ptr<Element>> ElementList;

    // Returns the kind of the element that stopped the list (SEPARATOR or
    // CONDITIONAL_END), or LITERAL when the text ran out.
    Kind parse(ElementList& list, wchar_t stop);
    std::unique_ptr<Element> readElement(wchar_t stop, bool& stopped);
    bool readConditionalHead(int32_t& group);
    void execute(const ElementList& list, const GroupCallback& callback, std::wstring& out, int32_t& caseMode) const;
    void appendCased(const std::wstring& text, std::wstring& out, int32_t& caseMode) const;

    std::wstring m_text;
    size_t m_read = 0;
    int m_depth = 0; // conditionals being parsed
    ElementList m_elements;
};

} // namespace corvel
