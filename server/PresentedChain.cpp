#include "server/PresentedChain.h"

#include <QSslSocket>

namespace kelvane::server {

QList<QByteArray> PresentedIntermediates(const QString& host, quint16 port, int timeoutMs)
{
    if (host.isEmpty() || !QSslSocket::supportsSsl())
        return {};
    QSslSocket socket;
    // Only the certificates are wanted here; they are verified by the caller.
    socket.setPeerVerifyMode(QSslSocket::VerifyNone);
    socket.connectToHostEncrypted(host, port);
    QList<QByteArray> intermediates;
    if (socket.waitForEncrypted(timeoutMs)) {
        const QList<QSslCertificate> chain = socket.peerCertificateChain();
        for (qsizetype i = 1; i < chain.size(); ++i)
            intermediates.append(chain[i].toDer());
    }
    socket.abort();
    return intermediates;
}

} // namespace kelvane::server
