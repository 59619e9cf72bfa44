// Work handed between threads as an object: a plain function with its context and up to
// two stored arguments. Whoever takes a closure out of a queue invokes it once and
// deletes it.
#pragma once

namespace corvel {

class Closure {
public:
    virtual ~Closure() = default;
    virtual void invoke() = 0;
};

class Closure_0 : public Closure {
public:
    typedef void (*Function)(void* context);
    Closure_0(Function function, void* context) : m_function(function), m_context(context) {}
    void invoke() override { m_function(m_context); }

private:
    Function m_function;
    void* m_context;
};

template <class T> class Closure_1 : public Closure {
public:
    typedef void (*Function)(void* context, T argument);
    Closure_1(Function function, void* context, T argument)
        : m_function(function), m_context(context), m_argument(argument) {}
    void invoke() override { m_function(m_context, m_argument); }

private:
    Function m_function;
    void* m_context;
    T m_argument;
};

template <class A, class B> class Closure_2 : public Closure {
public:
    typedef void (*Function)(void* context, A first, B second);
    Closure_2(Function function, void* context, A first, B second)
        : m_function(function), m_context(context), m_first(first), m_second(second) {}
    void invoke() override { m_function(m_context, m_first, m_second); }

private:
    Function m_function;
    void* m_context;
    A m_first;
    B m_second;
};

} // namespace corvel
