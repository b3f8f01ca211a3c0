#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Splits a command line of the old platform's form (as registered open commands are written)
// into the program and its arguments: blanks and tabs separate the parts, double quotes
// group blanks into a part and are dropped; backslashes are plain characters (they are
// path separators there). An unmatched quote runs to the end of the line.
QStringList splitCommandLine(const QString& commandLine);

} // namespace platform
