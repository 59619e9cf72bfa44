#include "zem/jasmine/JasmineTokenStream.h"

#include "zem/base/Assert.h"

namespace zem {

const JasmineToken& JasmineLexerTokenStream::advance(bool skipTrivia) {
    do {
        m_lexer.nextToken(m_current);
    } while (skipTrivia && isJasmineTrivia(m_current.kind));
    return m_current;
}

const JasmineToken& JasmineStoreTokenStream::advance(bool skipTrivia) {
    // The last stored token (end-of-stream) is never passed, so a parser reading too
    // far keeps seeing the end instead of running out of the store.
    if (!atLast())
        ++m_iterator;
    while (skipTrivia && !atLast() && isJasmineTrivia(m_store.getToken(m_iterator).kind))
        ++m_iterator;
    return current();
}

const JasmineToken& JasmineStoreTokenStream::current() const {
    ZEM_ASSERT_MSG(m_iterator != -1, L"m_iterator != (xindex)-1");
    return m_store.getToken(m_iterator);
}

} // namespace zem
