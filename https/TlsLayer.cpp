#include "https/TlsLayer.h"

#include "https/Certificate.h"
#include "https/CertificateHandles.h"
#include "https/CertificateStore.h"
#include "https/ResultCodes.h"
#include "platform/TextEncoding.h"
#include "platform/sockets/SocketErrors.h"

#include <arpa/inet.h>
#include <openssl/err.h>

namespace kelvane::plexant {

namespace {

// Server names are sent for names only, not for addresses.
bool isAddress(const QByteArray& host)
{
    unsigned char buffer[sizeof(in6_addr)];
    return inet_pton(AF_INET, host.constData(), buffer) == 1 || inet_pton(AF_INET6, host.constData(), buffer) == 1;
}

QByteArray hex(unsigned long value) { return "0x" + QByteArray::number(quint64(quint32(value)), 16); }

// Where an SSL connection keeps its layer, for the client-certificate callback.
int layerIndex()
{
    static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

// Protocol bits of the enabled-protocols value (client and server bits alike).
constexpr quint32 kTls12Bits = 0x0C00;
constexpr quint32 kTls13Bits = 0x3000;

QByteArray cipherName(const SSL_CIPHER* cipher)
{
    switch (SSL_CIPHER_get_cipher_nid(cipher)) {
    case NID_aes_128_gcm:
    case NID_aes_256_gcm:
    case NID_aes_128_cbc:
    case NID_aes_256_cbc:
    case NID_aes_128_ccm:
    case NID_aes_256_ccm: return "AES";
    case NID_chacha20_poly1305: return "ChaCha20";
    case NID_des_ede3_cbc: return "Triple DES";
    case NID_des_cbc: return "DES";
    case NID_rc4: return "RC4";
    case NID_rc2_cbc: return "RC2";
    default: return hex(unsigned(SSL_CIPHER_get_cipher_nid(cipher)));
    }
}

QByteArray protocolName(int version)
{
    switch (version) {
    case SSL3_VERSION: return "SSL3";
    case TLS1_VERSION: return "TLS1";
    case TLS1_1_VERSION: return "TLS1.1";
    case TLS1_2_VERSION: return "TLS1.2";
    case TLS1_3_VERSION: return "TLS1.3";
    default: return hex(unsigned(version));
    }
}

} // namespace

TlsLayer::TlsLayer(ConnectionEvents& upper, EngineEvents& events)
    : m_upper(upper)
    , m_events(events)
    , m_socket(*this)
{
}

TlsLayer::~TlsLayer()
{
    m_connection.reset();
    m_context.reset();
    if (m_certificateHandle != 0)
        certificateHandles::release(m_certificateHandle);
}

std::pair<int, int> TlsLayer::protocolRange(quint32 enabledProtocols)
{
    const bool tls12 = (enabledProtocols & kTls12Bits) != 0;
    const bool tls13 = (enabledProtocols & kTls13Bits) != 0;
    // Older protocols are never offered: without a newer bit the modern default holds.
    if (enabledProtocols == 255 || enabledProtocols == 0 || (!tls12 && !tls13))
        return {TLS1_2_VERSION, 0};
    return {tls12 ? TLS1_2_VERSION : TLS1_3_VERSION, tls13 ? 0 : TLS1_2_VERSION};
}

void TlsLayer::setTls(bool on)
{
    if (on == m_tls)
        return;
    m_tls = on;
    if (on) {
        m_plain.setDelimiter(m_socket.delimiter());
        m_socket.setDelimiter({});
    } else {
        m_socket.setDelimiter(m_plain.delimiter());
        m_plain.setDelimiter({});
    }
}

void TlsLayer::setDelimiter(const QByteArray& delimiter)
{
    if (!m_tls) {
        m_socket.setDelimiter(delimiter);
        return;
    }
    // A delivery under way goes on with the new delimiter.
    m_plain.setDelimiter(delimiter);
}

bool TlsLayer::isConnected() const { return m_tls ? m_state == State::Established : m_socket.isConnected(); }

QByteArray TlsLayer::targetHost() const
{
    // A name the firewall resolves carries a leading "*".
    const QByteArray& host = m_socket.remoteHost();
    return host.startsWith('*') ? host.mid(1) : host;
}

int TlsLayer::connect()
{
    if (!m_tls)
        return m_socket.connect();
    if (m_state != State::None || m_socket.hasSocket())
        return m_socket.fail(code::AlreadyConnected,
                             "Already connected. If you want to reconnect, close the current connection first.");
    const int credentials = acquireCredentials();
    if (credentials != code::Ok)
        return credentials;
    m_state = State::Handshaking;
    status("Attempting to connect to server.");
    const int result = m_socket.connect();
    if (result != code::Ok)
        endSession();
    return result;
}

int TlsLayer::acquireCredentials()
{
    ERR_clear_error();
    m_context.reset(SSL_CTX_new(TLS_client_method()));
    if (!m_context)
        return m_socket.fail(code::Credentials, "Could not acquire security credentials: error " + hex(ERR_get_error()) + '.');
    const auto [least, most] = protocolRange(EnabledProtocols);
    SSL_CTX_set_min_proto_version(m_context.get(), least);
    SSL_CTX_set_max_proto_version(m_context.get(), most);
    const bool checkName = (SecurityFlags & 0x80000000u) == 0;
    m_policy = std::make_unique<CertificatePolicy>(SecurityFlags, checkName ? targetHost() : QByteArray(), false);
    m_policy->install(m_context.get());
    SSL_CTX_set_client_cert_cb(m_context.get(), &TlsLayer::clientCertificateRequested);
    return code::Ok;
}

void TlsLayer::startHandshake()
{
    ERR_clear_error();
    m_connection.reset(SSL_new(m_context.get()));
    m_input = BIO_new(BIO_s_mem());
    m_output = BIO_new(BIO_s_mem());
    if (!m_connection || !m_input || !m_output) {
        BIO_free(m_input);
        BIO_free(m_output);
        m_input = m_output = nullptr;
        failHandshake(code::HandshakeFailed, "error during handshake[2]: " + hex(ERR_get_error()));
        return;
    }
    SSL_set_bio(m_connection.get(), m_input, m_output);
    SSL_set_ex_data(m_connection.get(), layerIndex(), this);
    const QByteArray host = targetHost();
    if (!host.isEmpty() && !isAddress(host))
        SSL_set_tlsext_host_name(m_connection.get(), host.constData());
    SSL_set_connect_state(m_connection.get());
    const int result = SSL_do_handshake(m_connection.get());
    m_lastStatus = unsigned(SSL_get_error(m_connection.get(), result));
    if (m_lastStatus != SSL_ERROR_WANT_READ) {
        failHandshake(code::HandshakeFailed, "error during handshake[2]: " + hex(ERR_peek_last_error()));
        return;
    }
    flushHandshake("Sending %1 bytes of handshake data.");
}

QByteArray TlsLayer::takeOutput()
{
    QByteArray bytes;
    char* data = nullptr;
    const long length = m_output ? BIO_get_mem_data(m_output, &data) : 0;
    if (length > 0) {
        bytes = QByteArray(data, length);
        (void)BIO_reset(m_output);
    }
    return bytes;
}

bool TlsLayer::flushHandshake(const char* statusFormat)
{
    const QByteArray bytes = takeOutput();
    if (bytes.isEmpty())
        return true;
    status(QString::fromLatin1(statusFormat).arg(bytes.size()).toLatin1());
    m_pendingOutput += bytes;
    const int result = flushPending();
    return result == code::Ok || result == platform::sockets::error::WouldBlock;
}

int TlsLayer::flushPending()
{
    m_pendingOutput += takeOutput();
    if (m_pendingOutput.isEmpty())
        return code::Ok;
    int sent = 0;
    const int result = m_socket.send(m_pendingOutput.constData(), int(m_pendingOutput.size()), sent);
    m_pendingOutput.remove(0, sent);
    return result;
}

void TlsLayer::onConnected(int code)
{
    if (!m_tls) {
        m_upper.onConnected(code);
        return;
    }
    if (code != code::Ok) {
        // A connect already given up here (a time-out, a failure) was told once already.
        const bool pending = m_state == State::Handshaking;
        endSession();
        if (pending)
            m_upper.onConnected(code);
        return;
    }
    status("Socket connection established.");
    status("Starting secure channel handshake.");
    startHandshake();
}

void TlsLayer::onDataIn(const QByteArray& piece, bool complete)
{
    if (!m_tls || m_state == State::None) {
        if (!m_tls)
            m_upper.onDataIn(piece, complete);
        return;
    }
    BIO_write(m_input, piece.constData(), int(piece.size()));
    if (m_state == State::Handshaking) {
        status(QByteArray("Receiving ") + QByteArray::number(piece.size()) + " bytes of handshake data.");
        handshakeStep();
    } else {
        decrypt();
    }
}

void TlsLayer::handshakeStep()
{
    ERR_clear_error();
    const int result = SSL_do_handshake(m_connection.get());
    m_lastStatus = unsigned(SSL_get_error(m_connection.get(), result));
    const unsigned long failure = ERR_peek_last_error();
    if (!flushHandshake("Sending %1 handshake bytes."))
        return;
    if (result == 1) {
        established();
        return;
    }
    if (m_lastStatus == SSL_ERROR_WANT_READ)
        return;
    failHandshake(code::HandshakeFailed, "error during handshake[2]: " + hex(failure ? failure : m_lastStatus));
}

bool TlsLayer::checkServerCertificate()
{
    X509Ptr peer(SSL_get1_peer_certificate(m_connection.get()));
    if (!peer) {
        m_events.error(code::NoServerCertificate, "can't find server certificate (error " + hex(ERR_peek_last_error()) + ")");
        return false;
    }
    const auto certificate = std::make_shared<Certificate>(std::move(peer), presentedChain());
    const quint32 verdict = m_policy->status();
    if (verdict != 0)
        m_events.error(code::CertificateRejected, "error verifying server certificate: " + hex(verdict));
    bool accept = verdict == 0;
    const qint32 handle = certificateHandles::add(certificate);
    m_events.sslServerAuthentication(handle, certificate->subject(), certificate->issuer(),
                                     CertificatePolicy::statusText(verdict), accept);
    certificateHandles::release(handle);
    return accept;
}

std::vector<X509Ptr> TlsLayer::presentedChain() const
{
    // On this side of the connection the chain begins with the server's own certificate.
    std::vector<X509Ptr> chain;
    const STACK_OF(X509)* sent = SSL_get_peer_cert_chain(m_connection.get());
    for (int i = 1; sent && i < sk_X509_num(sent); ++i) {
        X509* certificate = sk_X509_value(sent, i);
        X509_up_ref(certificate);
        chain.emplace_back(certificate);
    }
    return chain;
}

void TlsLayer::established()
{
    if (!checkServerCertificate()) {
        status("Server certificate verification failed. Aborting connection...");
        m_socket.setMessage("Server certificate verification failed. Connection aborted.");
        disconnect(code::HandshakeFailed);
        return;
    }
    if (m_state != State::Handshaking) // the host dropped the connection meanwhile
        return;
    const SSL_CIPHER* cipher = SSL_get_current_cipher(m_connection.get());
    if (cipher && SSL_CIPHER_get_bits(cipher, nullptr) < CipherStrength) {
        failHandshake(code::HandshakeFailed, "error during handshake[2]: cipher strength "
                                                 + QByteArray::number(SSL_CIPHER_get_bits(cipher, nullptr)));
        return;
    }
    m_state = State::Established;
    status(negotiatedParameters());
    m_upper.onConnected(code::Ok);
    // Records that came with the end of the handshake.
    if (m_state == State::Established)
        decrypt();
}

void TlsLayer::decrypt()
{
    int reason = SSL_ERROR_NONE;
    unsigned long failure = 0;
    while (m_state == State::Established) {
        // Up to a read's worth of plain text at a time goes up before more is decrypted,
        // so it never piles up here.
        reason = SSL_ERROR_NONE;
        while (m_plain.size() < ReceiveBuffer::kReadSize) {
            ERR_clear_error();
            const int count = SSL_read(m_connection.get(), m_plain.reserve(kMaxRecord), kMaxRecord);
            m_plain.commit(count);
            if (count <= 0) {
                reason = SSL_get_error(m_connection.get(), count);
                failure = ERR_peek_last_error();
                break;
            }
        }
        deliverPlainText();
        if (m_state != State::Established) // the layers above closed the connection meanwhile
            return;
        if (m_plain.overflowing()) {
            refuseLongLine();
            return;
        }
        if (reason != SSL_ERROR_NONE)
            break;
    }
    // Answers the protocol may owe the server (key updates).
    flushPending();
    if (reason == SSL_ERROR_ZERO_RETURN) {
        serverEndedSession();
        return;
    }
    if (reason != SSL_ERROR_NONE && reason != SSL_ERROR_WANT_READ) {
        const QByteArray text = "error decrypting data (error " + hex(failure) + ")";
        m_events.error(code::DecryptFailed, text);
        m_socket.setMessage(text);
        disconnect(code::DecryptFailed);
    }
}

void TlsLayer::deliverPlainText()
{
    while (m_state == State::Established) {
        auto piece = m_plain.nextPiece();
        if (!piece)
            return;
        m_upper.onDataIn(*piece, true);
    }
}

void TlsLayer::serverEndedSession()
{
    // The server's close_notify ends its reply: what is left goes up, and ours answers it.
    status("Server signaled end of session.");
    deliverPlainText();
    if (m_state == State::Established && !m_plain.isEmpty())
        m_upper.onDataIn(m_plain.takeRest(), false);
    if (m_state == State::Established)
        disconnect(code::Ok);
}

void TlsLayer::refuseLongLine()
{
    const QByteArray text = "Received line is too long.";
    m_socket.setMessage(text);
    m_upper.onError(platform::sockets::error::NoBufferSpace, text);
    disconnect(platform::sockets::error::NoBufferSpace);
}

int TlsLayer::send(const char* data, int length, int& sent)
{
    sent = 0;
    if (!m_tls)
        return m_socket.send(data, length, sent);
    if (m_state != State::Established) {
        m_socket.api().setLastError(platform::sockets::error::NotConnected);
        return m_socket.fail(platform::sockets::error::NotConnected);
    }
    if (!m_pendingOutput.isEmpty()) {
        const int flushed = flushPending();
        if (flushed != code::Ok)
            return flushed;
    }
    const int portion = std::min(length, kMaxRecord);
    ERR_clear_error();
    if (portion > 0 && SSL_write(m_connection.get(), data, portion) != portion)
        return m_socket.fail(code::EncryptFailed, "error encrypting data " + hex(ERR_peek_last_error()) + '.');
    sent = portion;
    const int flushed = flushPending();
    if (flushed != code::Ok && flushed != platform::sockets::error::WouldBlock)
        return flushed;
    return portion < length ? platform::sockets::error::WouldBlock : code::Ok;
}

int TlsLayer::disconnect(int code)
{
    if (!m_tls)
        return m_socket.disconnect(code);
    if (m_state != State::Established) {
        const bool handshaking = m_state == State::Handshaking;
        endSession();
        if (handshaking && code != code::Ok)
            m_upper.onConnected(code);
        return m_socket.disconnect(code);
    }
    if (code == code::Ok && !m_pendingOutput.isEmpty() && flushPending() == platform::sockets::error::WouldBlock)
        return m_socket.fail(platform::sockets::error::WouldBlock,
                             "Operation would block. (To force disconnection, set Linger false).");
    if (code == code::Ok) {
        // Tells the server the session ends here.
        SSL_shutdown(m_connection.get());
        const QByteArray closing = takeOutput();
        int sent = 0;
        if (!closing.isEmpty())
            m_socket.send(closing.constData(), int(closing.size()), sent);
    }
    endSession();
    return m_socket.disconnect(code);
}

void TlsLayer::endSession()
{
    m_state = State::None;
    m_connection.reset();
    m_input = m_output = nullptr;
    m_policy.reset();
    m_context.reset();
    m_pendingOutput.clear();
}

void TlsLayer::failHandshake(int code, const QByteArray& text)
{
    m_events.error(code, text);
    m_socket.setMessage(text);
    disconnect(code);
}

void TlsLayer::onDisconnected(int code)
{
    if (!m_tls) {
        m_upper.onDisconnected(code);
        return;
    }
    if (m_state == State::Handshaking) {
        const QByteArray text = "Server disconnected before handshake completion [" + hex(m_lastStatus) + "].";
        endSession();
        m_events.error(code::HandshakeFailed, text);
        m_socket.setMessage(text);
        m_upper.onConnected(code::HandshakeFailed);
    } else if (m_state == State::Established) {
        deliverPlainText();
        endSession();
        if (!m_plain.isEmpty())
            m_upper.onDataIn(m_plain.takeRest(), false);
    }
    m_plain.clear();
    m_upper.onDisconnected(code);
}

void TlsLayer::onError(int code, const QByteArray& text) { m_upper.onError(code, text); }

void TlsLayer::onReadyToSend()
{
    if (!m_tls) {
        m_upper.onReadyToSend();
        return;
    }
    flushPending();
    if (m_state == State::Established && m_pendingOutput.isEmpty())
        m_upper.onReadyToSend();
}

int TlsLayer::clientCertificateRequested(SSL* connection, X509** certificate, EVP_PKEY** key)
{
    auto* layer = static_cast<TlsLayer*>(SSL_get_ex_data(connection, layerIndex()));
    if (!layer)
        return 0;
    layer->status("Client certificate requested from server.");
    const auto& chosen = layer->m_clientCertificate;
    if (!chosen || !chosen->key())
        return 0;
    X509_up_ref(chosen->x509());
    EVP_PKEY_up_ref(chosen->key());
    *certificate = chosen->x509();
    *key = chosen->key();
    return 1;
}

void TlsLayer::selectCertificate(qint32 handle)
{
    if (m_certificateHandle != 0)
        certificateHandles::release(m_certificateHandle);
    m_certificateHandle = 0;
    m_clientCertificate = certificateHandles::find(handle);
    if (!m_clientCertificate) {
        m_certificateSubject.clear();
        return;
    }
    // The control holds its own handle of the certificate, as a duplicated context.
    m_certificateHandle = certificateHandles::add(m_clientCertificate);
    m_certificateSubject = m_clientCertificate->subject();
}

int TlsLayer::setCertificateStore(const QByteArray& store)
{
    m_certificateStore = store;
    return findCertificate();
}

int TlsLayer::setCertificateSubject(const QByteArray& subject)
{
    m_certificateSubject = subject;
    return findCertificate();
}

int TlsLayer::findCertificate()
{
    if (m_certificateStore.isEmpty() || m_certificateSubject.isEmpty())
        return code::Ok;
    const auto store = CertificateStore::open(platform::encoding::fromAnsi(m_certificateStore));
    if (!store)
        return m_socket.fail(code::CertificateStore, "The certificate store could not be opened.");
    const auto found = store->findBySubject(m_certificateSubject);
    if (!found) {
        m_socket.setMessage("The certificate could not be found.");
        m_certificateSubject.clear();
        return code::Ok;
    }
    const qint32 handle = certificateHandles::add(found);
    selectCertificate(handle);
    certificateHandles::release(handle);
    return code::Ok;
}

QByteArray TlsLayer::negotiatedParameters() const
{
    const SSL* connection = m_connection.get();
    const SSL_CIPHER* cipher = SSL_get_current_cipher(connection);
    if (!cipher)
        return "Connection info not available.";
    QByteArray text = "Negotiated SSL parameters: ";
    text += "Protocol: " + protocolName(SSL_version(connection)) + ' ';
    text += "Cipher: " + cipherName(cipher) + ' ';
    text += "Cipher strength: " + QByteArray::number(SSL_CIPHER_get_bits(cipher, nullptr)) + ' ';
    const EVP_MD* digest = SSL_CIPHER_get_handshake_digest(cipher);
    const int digestType = digest ? EVP_MD_get_type(digest) : NID_undef;
    if (digestType == NID_md5)
        text += "Hash: MD5 ";
    else if (digestType == NID_sha1)
        text += "Hash: SHA ";
    else if (digestType == NID_sha256)
        text += "Hash: SHA256 ";
    else if (digestType == NID_sha384)
        text += "Hash: SHA384 ";
    else
        text += "Cipher: " + hex(unsigned(digestType)) + ' ';
    text += "Hash strength: " + QByteArray::number(digest ? EVP_MD_get_size(digest) * 8 : 0) + ' ';
    EVP_PKEY* exchangeKey = nullptr;
    SSL_get_peer_tmp_key(const_cast<SSL*>(connection), &exchangeKey);
    const int exchange = SSL_CIPHER_get_kx_nid(cipher);
    if (exchange == NID_kx_rsa)
        text += "Key exchange: RSA ";
    else if (exchange == NID_kx_dhe || (exchangeKey && EVP_PKEY_get_base_id(exchangeKey) == EVP_PKEY_DH))
        text += "Key exchange: DH Ephemeral ";
    else if (exchange == NID_kx_ecdhe || exchange == NID_kx_any)
        text += "Key exchange: ECDH Ephemeral ";
    else
        text += "Cipher: " + hex(unsigned(exchange)) + ' ';
    text += "Key exchange strength: " + QByteArray::number(exchangeKey ? EVP_PKEY_get_bits(exchangeKey) : 0) + ' ';
    EVP_PKEY_free(exchangeKey);
    return text;
}

} // namespace kelvane::plexant
