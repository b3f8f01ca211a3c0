#include "ftp/NameEncoding.h"

#include "platform/TextEncoding.h"

namespace kelvane::ftp {

std::optional<QByteArray> NameEncoding::encode(const QString& text) const
{
    if (utf8)
        return text.toUtf8();
    for (const QChar c : text) {
        if (platform::encoding::ansiCode(c) < 0)
            return std::nullopt;
    }
    return platform::encoding::toAnsi(text);
}

QString NameEncoding::decode(QByteArrayView bytes) const
{
    const QByteArray text = bytes.toByteArray();
    if (utf8 && platform::encoding::isValidUtf8(text))
        return QString::fromUtf8(text);
    return platform::encoding::fromAnsi(text);
}

} // namespace kelvane::ftp
