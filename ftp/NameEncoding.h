#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace kelvane::ftp {

// How a session's names, replies and listings travel: UTF-8 once the server told it uses
// UTF-8 names, else the ANSI code page.
struct NameEncoding {
    bool utf8 = false;

    // Nothing when the ANSI code page lacks one of the characters: such a name would reach the
    // server as another name.
    std::optional<QByteArray> encode(const QString& text) const;
    // A UTF-8 session reads bytes that are no valid UTF-8 in the ANSI code page, as a server
    // that stores older names lists them.
    QString decode(QByteArrayView bytes) const;
};

} // namespace kelvane::ftp
