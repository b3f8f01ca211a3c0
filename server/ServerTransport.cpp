#include "server/ServerTransport.h"

#include "https/CertificateHandles.h"
#include "https/HTTPS.h"
#include "model/AbstractProgressBar.h"
#include "platform/RuntimeError.h"
#include "platform/TextEncoding.h"
#include "server/MessageText.h"
#include "server/TextFiles.h"

#include <QDir>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QUrl>

namespace kelvane {

namespace {

constexpr qint16 kResponse = 1;

} // namespace

ServerTransport::ServerTransport(ServerEndpoint endpoint, int timeLimitSeconds)
    : m_endpoint(std::move(endpoint))
    , m_trusted(m_endpoint.TrustedCertificates)
    , m_HTTPS1(std::make_unique<plexant::HTTPS>())
{
    m_HTTPS1->setObjectName(QStringLiteral("HTTPS1"));
    m_HTTPS1->setTimeout(qint16(timeLimitSeconds));
    QObject::connect(m_HTTPS1.get(), &plexant::HTTPS::Header, m_HTTPS1.get(),
                     [this](QString& field, QString& value) { HTTPS1_Header(field, value); });
    QObject::connect(m_HTTPS1.get(), &plexant::HTTPS::Transfer, m_HTTPS1.get(),
                     [this](qint16& direction, qint32& bytes, QString& text) { HTTPS1_Transfer(direction, bytes, text); });
    QObject::connect(m_HTTPS1.get(), &plexant::HTTPS::SSLServerAuthentication, m_HTTPS1.get(),
                     [this](qint32& handle, QString&, QString&, QString&, bool& accept) {
                         HTTPS1_SSLServerAuthentication(handle, accept);
                     });
}

ServerTransport::~ServerTransport() = default;

QString ServerTransport::RequestFile() const
{
    return m_requestFolder ? m_requestFolder->filePath(QStringLiteral("xmlrpc.txt")) : QString();
}

QString ServerTransport::Post(const QString& request, AbstractProgressBar* progress)
{
    // The control lets the program's events run while it waits; a request started from one
    // of them must not take over the reply of the request under way.
    if (m_posting)
        raiseError(err::InvalidProcedureCall, QStringLiteral("The knowledge server is still answering another request."));
    const QScopedValueRollback posting(m_posting, true);
    if (!m_requestFolder || !m_requestFolder->isValid()) {
        m_requestFolder = std::make_unique<QTemporaryDir>(QDir(m_endpoint.RequestFolder).filePath(QStringLiteral("request-XXXXXX")));
        if (!m_requestFolder->isValid())
            raiseError(err::PathFileAccess, QStringLiteral("No folder for the request can be made in %1: %2")
                                                .arg(QDir::toNativeSeparators(m_endpoint.RequestFolder), m_requestFolder->errorString()));
    }
    server::WriteTextFile(RequestFile(), request + server::kCRLF);

    const QString url = m_endpoint.URL ? m_endpoint.URL() : QString();
    m_reply.clear();
    m_expectedLength = 0;
    m_replyTooLarge = false;
    m_progress = progress;
    m_host = QUrl(url).host();
    const auto done = qScopeGuard([this] {
        if (m_progress)
            m_progress->setValue(0);
        m_progress = nullptr;
        m_reply.clear();
    });

    m_HTTPS1->setAttachedFile(RequestFile());
    m_HTTPS1->setPostData(QString());
    try {
        m_HTTPS1->Post(url);
    } catch (...) {
        // A connection left open by a request that timed out or broke would carry the next
        // request to a server that no longer answers, whatever address it was meant for.
        disconnect();
        if (!m_replyTooLarge)
            throw;
    }
    if (m_replyTooLarge) {
        disconnect();
        raiseError(err::OutOfMemory, QStringLiteral("The knowledge server's reply is larger than %1 bytes.").arg(m_replyLimit));
    }
    return platform::encoding::decodeStored(m_reply);
}

void ServerTransport::disconnect()
{
    try {
        m_HTTPS1->Interrupt();
    } catch (const std::exception&) {
        // Nothing left to drop.
    }
}

void ServerTransport::HTTPS1_Header(const QString& field, const QString& value)
{
    if (field.compare(QStringLiteral("Content-Length"), Qt::CaseInsensitive) != 0)
        return;
    bool ok = false;
    const qint64 length = value.trimmed().toLongLong(&ok);
    m_expectedLength = ok && length > 0 ? length : 0;
}

void ServerTransport::HTTPS1_Transfer(qint16 direction, qint32 /*bytesTransferred*/, const QString& text)
{
    if (direction != kResponse || m_replyTooLarge)
        return;
    if (m_reply.size() + text.size() > m_replyLimit) {
        // Stops the transfer; Post reports it once the control has returned.
        m_replyTooLarge = true;
        m_reply.clear();
        disconnect();
        return;
    }
    // The control hands the bytes over one character each; they go back to bytes here, so
    // the length is counted in bytes and the text is decoded once, whole.
    m_reply += platform::encoding::toAnsi(text);
    if (m_progress && m_expectedLength > 0)
        m_progress->setValue(int(std::min<qint64>(100, m_reply.size() * 100 / m_expectedLength)));
}

void ServerTransport::HTTPS1_SSLServerAuthentication(qint32 certHandle, bool& accept)
{
    if (accept)
        return;
    const auto certificate = plexant::certificateHandles::find(certHandle);
    if (certificate && m_trusted.Configured())
        accept = m_trusted.Trusts(*certificate, m_host);
}

} // namespace kelvane
