#pragma once

#include "https/Certificate.h"
#include "https/CertificatePolicy.h"
#include "https/ConnectionEvents.h"
#include "https/EngineEvents.h"
#include "https/ReceiveBuffer.h"
#include "https/SocketEngine.h"

#include <QByteArray>
#include <memory>
#include <vector>

#include <openssl/ssl.h>

namespace kelvane::plexant {

// The TLS layer between the socket engine (with its firewall negotiation) and the HTTP
// engine. With TLS on for a connection it runs the client handshake over a pair of memory
// buffers, so the socket engine still carries every byte; checks the server's certificate
// and asks the host for its verdict; then encrypts what is sent and decrypts what arrives,
// cutting the plain text into pieces with the delimiter the layer above set. With TLS off
// it passes every call and notification through.
class TlsLayer : public ConnectionEvents {
public:
    static constexpr int kMaxRecord = 16384; // the largest message a record carries

    TlsLayer(ConnectionEvents& upper, EngineEvents& events);
    ~TlsLayer() override;
    TlsLayer(const TlsLayer&) = delete;
    TlsLayer& operator=(const TlsLayer&) = delete;

    SocketEngine& socket() { return m_socket; }
    const SocketEngine& socket() const { return m_socket; }

    // TLS for the next connection; the receive delimiter moves with it.
    void setTls(bool on);
    bool tls() const { return m_tls; }

    int connect();
    int disconnect(int code);
    int send(const char* data, int length, int& sent);
    bool isConnected() const;
    void setDelimiter(const QByteArray& delimiter);

    // Settings of the secure channel.
    QByteArray Provider = "Microsoft Unified Security Protocol Provider"; // kept; OpenSSL does the work
    quint32 EnabledProtocols = 255; // 255 and 0: TLS 1.2 and later; else its TLS 1.2 and 1.3 bits
    qint16 CipherStrength = 40;     // the least number of key bits a cipher must have
    quint32 SecurityFlags = 0;      // checks to ignore; bit 31 skips the host name check

    // The client certificate: by handle (0 clears it), or searched in a store by subject.
    const QByteArray& certificateStore() const { return m_certificateStore; }
    const QByteArray& certificateSubject() const { return m_certificateSubject; }
    qint32 certificateHandle() const { return m_certificateHandle; }
    void selectCertificate(qint32 handle);
    int setCertificateStore(const QByteArray& store);
    int setCertificateSubject(const QByteArray& subject);
    // Sets the texts alone, as saved properties restore them.
    void restoreCertificateStore(const QByteArray& store) { m_certificateStore = store; }
    void restoreCertificateSubject(const QByteArray& subject) { m_certificateSubject = subject; }
    std::shared_ptr<const Certificate> clientCertificate() const { return m_clientCertificate; }

    void onConnected(int code) override;
    void onDisconnected(int code) override;
    void onDataIn(const QByteArray& piece, bool complete) override;
    void onError(int code, const QByteArray& text) override;
    void onReadyToSend() override;

    // The protocol range of an enabled-protocols value: {least, most} (0 = no limit).
    static std::pair<int, int> protocolRange(quint32 enabledProtocols);

private:
    enum class State { None, Handshaking, Established };
    struct SslFree {
        void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
        void operator()(SSL* connection) const { SSL_free(connection); }
    };

    int acquireCredentials();
    void startHandshake();
    void handshakeStep();
    bool checkServerCertificate();
    // The certificates the server sent after its own.
    std::vector<X509Ptr> presentedChain() const;
    void established();
    void decrypt();
    void deliverPlainText();
    void serverEndedSession();
    void refuseLongLine();
    bool flushHandshake(const char* statusFormat);
    int flushPending();
    QByteArray takeOutput();
    void endSession();
    void failHandshake(int code, const QByteArray& text);
    void status(const QByteArray& message) { m_events.sslStatus(message); }
    int findCertificate();
    QByteArray targetHost() const;
    QByteArray negotiatedParameters() const;
    static int clientCertificateRequested(SSL* connection, X509** certificate, EVP_PKEY** key);

    ConnectionEvents& m_upper;
    EngineEvents& m_events;
    SocketEngine m_socket;
    bool m_tls = true;

    State m_state = State::None;
    std::unique_ptr<SSL_CTX, SslFree> m_context;
    std::unique_ptr<SSL, SslFree> m_connection;
    std::unique_ptr<CertificatePolicy> m_policy;
    BIO* m_input = nullptr;  // owned by m_connection
    BIO* m_output = nullptr; // owned by m_connection
    unsigned long m_lastStatus = 0;
    QByteArray m_pendingOutput;
    ReceiveBuffer m_plain;

    QByteArray m_certificateStore = "MY";
    QByteArray m_certificateSubject;
    qint32 m_certificateHandle = 0;
    std::shared_ptr<const Certificate> m_clientCertificate;
};

} // namespace kelvane::plexant
