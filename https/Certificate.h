#pragma once

#include <QByteArray>
#include <memory>
#include <vector>

#include <openssl/evp.h>
#include <openssl/x509.h>

namespace kelvane::plexant {

struct OpenSslFree {
    void operator()(X509* certificate) const { X509_free(certificate); }
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using X509Ptr = std::unique_ptr<X509, OpenSslFree>;
using KeyPtr = std::unique_ptr<EVP_PKEY, OpenSslFree>;

// A certificate, with its private key when it may authenticate this side of a connection,
// or with the certificates a server presented after it (its intermediate authorities) when
// it is a server's.
class Certificate {
public:
    explicit Certificate(X509Ptr certificate, KeyPtr key = {});
    Certificate(X509Ptr certificate, std::vector<X509Ptr> presentedChain);

    X509* x509() const { return m_certificate.get(); }
    EVP_PKEY* key() const { return m_key.get(); }
    // The rest of the chain the server sent, in the order sent: what may link the certificate
    // to an authority the host trusts. Nothing in it is trusted for having been sent.
    const std::vector<X509Ptr>& presentedChain() const { return m_presentedChain; }

    // Names as X.500 text: "CN=host, O=Maker, C=US", in the order the certificate holds
    // them, multi-valued names written as separate ones.
    QByteArray subject() const;
    QByteArray issuer() const;

private:
    X509Ptr m_certificate;
    KeyPtr m_key;
    std::vector<X509Ptr> m_presentedChain;
};

// The X.500 text of a name, as Certificate::subject writes it.
QByteArray nameText(const X509_NAME* name);

} // namespace kelvane::plexant
