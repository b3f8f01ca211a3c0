#pragma once

#include "model/basLibrary.h"

#include <exception>
#include <utility>
#include <vector>

namespace kelvane {

namespace errortrap {

// Hands an error of the procedure to the common reporter.
inline void report(const char* moduleName, const char* procedureName, const RuntimeError& error)
{
    basLibrary::ReportError(QString::fromLatin1(moduleName), QString::fromLatin1(procedureName), error);
}

// Runs the body; on any error gives `failed` the error as the reporter sees it and returns
// false.
template <class Body, class Failed>
bool catching(Body&& body, Failed&& failed)
{
    try {
        std::forward<Body>(body)();
        return true;
    } catch (...) {
        failed(toRuntimeError(std::current_exception()));
        return false;
    }
}

} // namespace errortrap

// The error trap of a procedure that reports its own failures: runs the body; on any
// error calls the common reporter with the module and procedure names and returns the
// neutral result. Whatever the body did before the error stays done.
template <class Result, class Body>
Result trapped(const char* moduleName, const char* procedureName, Result neutral, Body&& body)
{
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        errortrap::report(moduleName, procedureName, toRuntimeError(std::current_exception()));
        return neutral;
    }
}

// The same for a procedure without a result (or one that returns what it built so far
// through a variable the body fills). Returns false when the body failed.
template <class Body>
bool trappedVoid(const char* moduleName, const char* procedureName, Body&& body)
{
    return errortrap::catching(std::forward<Body>(body), [&](const RuntimeError& error) {
        errortrap::report(moduleName, procedureName, error);
    });
}

// Runs one step of a routine that goes on after a failing step: the step's error is dropped.
template <class Step>
void skippingErrors(Step&& step)
{
    try {
        std::forward<Step>(step)();
    } catch (...) {
    }
}

// The error trap of steps run where errors cannot be reported (on another thread): a failing
// step's error is held, and reported with the others, in the order they came, by report().
class HeldErrors {
public:
    template <class Body>
    bool trappedVoid(const char* moduleName, const char* procedureName, Body&& body)
    {
        return errortrap::catching(std::forward<Body>(body), [&](RuntimeError error) {
            m_errors.push_back({moduleName, procedureName, std::move(error)});
        });
    }

    void report() const
    {
        for (const Held& held : m_errors)
            errortrap::report(held.moduleName, held.procedureName, held.error);
    }

private:
    struct Held {
        const char* moduleName;
        const char* procedureName;
        RuntimeError error;
    };
    std::vector<Held> m_errors;
};

} // namespace kelvane
