#pragma once

#include <QString>
#include <ostream>

// Readable failure messages for texts in GoogleTest assertions.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
