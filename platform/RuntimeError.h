#pragma once

#include <QString>
#include <exception>
#include <string>

namespace kelvane {

// Run-time error numbers the system raises and reports. They keep the numbering that
// stored data, message texts and automation clients already know.
namespace err {
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int DivisionByZero = 11;
inline constexpr int TypeMismatch = 13;
inline constexpr int FileNotFound = 53;
inline constexpr int BadFileMode = 54;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int ObjectNotSet = 91;
inline constexpr int InvalidFileFormat = 321;
inline constexpr int ControlArrayElementMissing = 340;
inline constexpr int ObjectAlreadyLoaded = 360;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int CantCreateObject = 429;
inline constexpr int ObjectDoesNotSupport = 438;
inline constexpr int ArgumentNotOptional = 449;
inline constexpr int WrongNumberOfArguments = 450;
inline constexpr int DuplicateKey = 457;

// The standard description of a number; empty for numbers the system does not know.
QString describe(int number);
} // namespace err

// The one error type of the system: a number and a description, as the error trap
// and the common reporter see them.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(int number, QString description = {});

    int Number() const { return m_number; }
    const QString& Description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_description;
    std::string m_what;
};

// Raises the error `number` with its standard description (or the one given).
[[noreturn]] void raiseError(int number, const QString& description = {});

// Any exception turned into the error the trap reports (out of memory stays 7).
RuntimeError toRuntimeError(const std::exception_ptr& failure);

} // namespace kelvane
