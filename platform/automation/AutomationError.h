#pragma once

#include "platform/RuntimeError.h"

#include <QString>

namespace platform::automation {

// The result of an automation call: 0 for success, a negative value for a failure.
using HResult = qint32;

namespace hresult {
inline constexpr HResult Ok = 0;
inline constexpr HResult False = 1;
inline constexpr HResult Fail = qint32(0x80004005);
inline constexpr HResult OutOfMemory = qint32(0x8007000E);
inline constexpr HResult ClassNotAvailable = qint32(0x80040111);
// The facility of errors that objects raise to their callers: 0x800A0000 + the error number.
inline constexpr HResult ControlFacility = qint32(0x800A0000);
} // namespace hresult

// An error an automation object raises to its caller, with what the caller's error object
// shows besides number and description: the source (the object's ProgID), a help file and a
// help context.
//
// How automation errors travel: the error 0x800A0000 + n is a RuntimeError with Number n, so
// error traps, Err.Number and kelvane::test::errorNumberOf see n; out of memory, 0x800A0007,
// is Number 7 (err::OutOfMemory). Any other HRESULT travels as its signed 32-bit value.
// Objects raise AutomationError when they have a source or help to give, RuntimeError otherwise.
class AutomationError : public kelvane::RuntimeError {
public:
    AutomationError(int number, QString description, QString source = {}, QString helpFile = {},
                    quint32 helpContext = 0);

    const QString& Source() const { return m_source; }
    const QString& HelpFile() const { return m_helpFile; }
    quint32 HelpContext() const { return m_helpContext; }
    HResult hresult() const { return hresultOf(Number()); }

    // The HRESULT an error number travels as, and the error number of an HRESULT.
    static HResult hresultOf(int number);
    static int numberOf(HResult result);

private:
    QString m_source;
    QString m_helpFile;
    quint32 m_helpContext;
};

[[noreturn]] void raiseAutomationError(int number, const QString& description, const QString& source = {},
                                       const QString& helpFile = {}, quint32 helpContext = 0);

} // namespace platform::automation
