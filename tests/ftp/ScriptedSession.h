#pragma once

#include "tests/ftp/FtpTestSupport.h"
#include "tests/ftp/ScriptedFtpPeer.h"

#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace kelvane::test {

// A control pointed at a scripted peer, logging on as kelvane with the password secret. A
// watchdog stops any wait that outlives it, so a control that hangs fails its test instead of
// the whole run.
class ScriptedSession : public ::testing::Test {
protected:
    static constexpr int WatchdogMilliseconds = 15000;

    void start(const QString& caseName)
    {
        peer = std::make_unique<ScriptedFtpPeer>(caseName);
        ftp.setWinsockLoaded(true);
        ftp.setRemoteHost(QStringLiteral("127.0.0.1"));
        ftp.setRemotePort(peer->port());
        ftp.setUser(QStringLiteral("kelvane"));
        ftp.setPassword(QStringLiteral("secret"));
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, &ftp, [this] { ftp.setAction(ftp::CFTPCtrl::a_Idle); });
        watchdog.start(WatchdogMilliseconds);
    }

    QString run(ftp::CFTPCtrl::TAction action)
    {
        return raised([&] { ftp.setAction(action); });
    }

    QString command(const QString& line)
    {
        return raised([&] { ftp.setCommand(line); });
    }

    ftp::CFTPCtrl ftp;
    FtpEvents events {ftp};
    std::unique_ptr<ScriptedFtpPeer> peer;
    QTimer watchdog;
};

} // namespace kelvane::test
