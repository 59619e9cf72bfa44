// The one exception tree every layer throws. Leaf classes add no data: they exist so
// that callers can catch by type. A clone keeps only the family (logic or run-time)
// unless the class defines its own clone.
#pragma once
#include <string>

namespace zem {

class Exception {
public:
    virtual ~Exception() = default;
    virtual void getMessage(std::wstring& out) const = 0;
    virtual std::wstring message() const {
        std::wstring out;
        getMessage(out);
        return out;
    }
    virtual Exception* clone() const = 0;
    // Throws this object as its dynamic type, so a clone can be rethrown.
    virtual void raise() const = 0;
};

class LogicException : public Exception {
public:
    explicit LogicException(std::wstring message) : m_message(std::move(message)) {}
    void getMessage(std::wstring& out) const override { out = m_message; }
    Exception* clone() const override { return new LogicException(m_message); }
    void raise() const override { throw *this; }

protected:
    std::wstring m_message;
};

class RuntimeException : public Exception {
public:
    explicit RuntimeException(std::wstring message) : m_message(std::move(message)) {}
    void getMessage(std::wstring& out) const override { out = m_message; }
    Exception* clone() const override { return new RuntimeException(m_message); }
    void raise() const override { throw *this; }

protected:
    std::wstring m_message;
};

#define ZEM_DECLARE_EXCEPTION(Name, Base)                                                                              \
    class Name : public Base {                                                                                         \
    public:                                                                                                            \
        using Base::Base;                                                                                              \
        void raise() const override { throw *this; }                                                                   \
    };

ZEM_DECLARE_EXCEPTION(AssertionViolationException, LogicException)
ZEM_DECLARE_EXCEPTION(IllegalStateException, LogicException)
ZEM_DECLARE_EXCEPTION(IndexOutOfBoundsException, LogicException)
ZEM_DECLARE_EXCEPTION(InvalidArgumentException, LogicException)
ZEM_DECLARE_EXCEPTION(NotImplementedException, LogicException)
ZEM_DECLARE_EXCEPTION(NullPointerException, LogicException)
ZEM_DECLARE_EXCEPTION(RangeException, LogicException)

ZEM_DECLARE_EXCEPTION(IOException, RuntimeException)
ZEM_DECLARE_EXCEPTION(NotFoundException, RuntimeException)
ZEM_DECLARE_EXCEPTION(OutOfMemoryException, RuntimeException)
ZEM_DECLARE_EXCEPTION(SyntaxException, RuntimeException)
ZEM_DECLARE_EXCEPTION(SystemException, RuntimeException)

// The value exceptions keep their class when cloned.
class ValueException : public RuntimeException {
public:
    using RuntimeException::RuntimeException;
    Exception* clone() const override { return new ValueException(*this); }
    void raise() const override { throw *this; }
};

ZEM_DECLARE_EXCEPTION(FileException, IOException)
ZEM_DECLARE_EXCEPTION(CreateFileException, FileException)
ZEM_DECLARE_EXCEPTION(DirNotEmptyException, FileException)
ZEM_DECLARE_EXCEPTION(DiskIsFullException, FileException)
ZEM_DECLARE_EXCEPTION(FileAccessDeniedException, FileException)
ZEM_DECLARE_EXCEPTION(FileEOFException, FileException)
ZEM_DECLARE_EXCEPTION(FileExistsException, FileException)
ZEM_DECLARE_EXCEPTION(FileLockViolationException, FileException)
ZEM_DECLARE_EXCEPTION(FileNegativeSeekException, FileException)
ZEM_DECLARE_EXCEPTION(FileNotFoundException, FileException)
ZEM_DECLARE_EXCEPTION(FileReadOnlyException, FileException)
ZEM_DECLARE_EXCEPTION(FileSharingViolationException, FileException)
ZEM_DECLARE_EXCEPTION(PathNotFoundException, FileException)
ZEM_DECLARE_EXCEPTION(ReadFileException, FileException)
ZEM_DECLARE_EXCEPTION(WriteFileException, FileException)

ZEM_DECLARE_EXCEPTION(PathSyntaxException, SyntaxException)
ZEM_DECLARE_EXCEPTION(URIParseSyntaxException, SyntaxException)

namespace net {
ZEM_DECLARE_EXCEPTION(NetException, IOException)
ZEM_DECLARE_EXCEPTION(HTTPException, NetException)
ZEM_DECLARE_EXCEPTION(MessageException, NetException)
ZEM_DECLARE_EXCEPTION(NoMessageException, NetException)
} // namespace net

// The parser exceptions (ParserException and below) and the value exceptions below
// ValueException are declared with the readers and the value tree that throw them.

} // namespace zem
