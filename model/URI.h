#pragma once

#include <QString>
#include <QtGlobal>

namespace kelvane {

// One hyperlink inside a text: the attribute text of its opening tag and where its link
// text lies (counted from 0).
struct URI {
    QString URI;
    qint32 SelStart = 0;
    qint32 SelLength = 0;
};

} // namespace kelvane
