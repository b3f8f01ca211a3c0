#pragma once

#include "platform/RuntimeError.h"

#include <QString>
#include <array>

// The common library of the whole program: GUID texts, text and path routines, files,
// the password scrambling, and the common error reporter.
namespace basLibrary {

// Process-wide values.
inline bool DebugMode = false;   // nothing in the system turns it on
inline QString DocumentsFolder;  // set by TemplatesDirectory at start-up
inline QString TempFolder;       // set by TemplatesDirectory at start-up

// The common error reporter: silent unless DebugMode is on; then a modal message box with
// the exclamation icon names the routine, the module and the error.
void ReportError(const QString& moduleName, const QString& procedureName, const kelvane::RuntimeError& error);

// GUID texts: "01", a 10-digit time stamp, then the fields of a new platform GUID.
QString NewGUIDString();
QString HexLong8(qint32 value);
QString HexInt4(qint16 value);
QString HexBytes8(const std::array<quint8, 8>& bytes);

// Every occurrence of `search` replaced, left to right, never searching a replacement.
QString ReplaceAll(const QString& text, const QString& search, const QString& replacement);

} // namespace basLibrary
