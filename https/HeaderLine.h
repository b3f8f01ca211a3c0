#pragma once

#include <QByteArray>

namespace kelvane::plexant {

// A reply header line as field and value: a line that begins with a blank or another
// control character continues the previous header (field ""); otherwise the field ends at
// the first ":" and the value starts after it and one following blank.
struct HeaderLine {
    QByteArray field;
    QByteArray value;

    static HeaderLine split(const QByteArray& line)
    {
        if (line.isEmpty() || static_cast<unsigned char>(line.at(0)) < '!')
            return {{}, line.mid(1)};
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            return {line, {}};
        QByteArray value = line.mid(colon + 1);
        if (value.startsWith(' '))
            value.remove(0, 1);
        return {line.left(colon), value};
    }
};

} // namespace kelvane::plexant
