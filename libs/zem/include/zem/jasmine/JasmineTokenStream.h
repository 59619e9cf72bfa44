// A stream of Jasmine tokens for the parser: straight from a lexer (tokens read on
// demand), or over a token store that holds the whole text.
#pragma once
#include "zem/jasmine/JasmineLexer.h"
#include "zem/jasmine/JasmineTokenStore.h"

namespace zem {

class JasmineTokenStream {
public:
    virtual ~JasmineTokenStream() = default;
    // Moves to the next token, and on past comments and white space with skipTrivia;
    // returns the new current token. At the end the stream stays on end-of-stream.
    virtual const JasmineToken& advance(bool skipTrivia) = 0;
    virtual const JasmineToken& current() const = 0;
};

class JasmineLexerTokenStream : public JasmineTokenStream {
public:
    // The lexer is not owned.
    explicit JasmineLexerTokenStream(JasmineLexer& lexer) : m_lexer(lexer) {}
    const JasmineToken& advance(bool skipTrivia) override;
    // Its text is valid until the next advance.
    const JasmineToken& current() const override { return m_current; }

private:
    JasmineLexer& m_lexer;
    JasmineToken m_current;
};

class JasmineStoreTokenStream : public JasmineTokenStream {
public:
    // The store is not owned; it should end with an end-of-stream token.
    explicit JasmineStoreTokenStream(const JasmineTokenStore& store) : m_store(store) {}
    const JasmineToken& advance(bool skipTrivia) override;
    // Asserts that advance was called at least once.
    const JasmineToken& current() const override;

private:
    bool atLast() const { return m_iterator + 1 >= m_store.size(); }

    const JasmineTokenStore& m_store;
    int32_t m_iterator = -1; // -1 before the first advance
};

} // namespace zem
