#pragma once

#include "ftp/FTPCtrl.h"
#include "platform/automation/AutomationError.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QStringList>
#include <functional>

namespace kelvane::test {

// Everything an FTP control tells through its events.
struct FtpEvents {
    QStringList trail;  // "<direction> <message>"
    QStringList errors; // "<code> <description>"
    QStringList dirList;
    QByteArray data;    // the texts of Transfer, joined
    QList<qint32> counts;
    int starts = 0;
    int ends = 0;
    // Runs in each Transfer event, with the count so far, and in each PITrail event.
    std::function<void(qint32)> onTransfer;
    std::function<void(const QString&)> onTrail;

    explicit FtpEvents(ftp::CFTPCtrl& ftp)
    {
        QObject::connect(&ftp, &ftp::CFTPCtrl::PITrail, &ftp, [this](qint16& direction, QString& message) {
            trail << QStringLiteral("%1 %2").arg(direction).arg(message);
            if (onTrail)
                onTrail(trail.constLast());
        });
        QObject::connect(&ftp, &ftp::CFTPCtrl::Error, &ftp, [this](qint16& code, QString& description) {
            errors << QStringLiteral("%1 %2").arg(code).arg(description);
        });
        QObject::connect(&ftp, &ftp::CFTPCtrl::DirList, &ftp, [this](QString& entry) { dirList << entry; });
        QObject::connect(&ftp, &ftp::CFTPCtrl::StartTransfer, &ftp, [this] { ++starts; });
        QObject::connect(&ftp, &ftp::CFTPCtrl::EndTransfer, &ftp, [this] { ++ends; });
        QObject::connect(&ftp, &ftp::CFTPCtrl::Transfer, &ftp, [this](qint32& count, QString& text) {
            counts << count;
            data += text.toLatin1();
            if (onTransfer)
                onTransfer(count);
        });
    }

    // The commands sent, in order.
    QStringList commands() const
    {
        QStringList sent;
        for (const QString& line : trail) {
            if (line.startsWith(u'0'))
                sent << line.mid(2);
        }
        return sent;
    }
};

// The error an operation raises: "<number> <description>", or empty for none.
inline QString raised(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const RuntimeError& e) {
        return QStringLiteral("%1 %2").arg(e.Number()).arg(e.Description());
    }
    return {};
}

} // namespace kelvane::test
