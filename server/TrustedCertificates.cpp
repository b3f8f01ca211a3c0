#include "server/TrustedCertificates.h"

#include "https/Certificate.h"

#include "platform/FileBytes.h"

#include <optional>
#include <memory>

#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

namespace kelvane {

namespace {

struct OpenSslFree {
    void operator()(X509_STORE* store) const { X509_STORE_free(store); }
    void operator()(X509_STORE_CTX* context) const { X509_STORE_CTX_free(context); }
    void operator()(BIO* bio) const { BIO_free(bio); }
    void operator()(X509* certificate) const { X509_free(certificate); }
    void operator()(STACK_OF(X509) * borrowed) const { sk_X509_free(borrowed); }
};

// The certificates presented with the server's, for linking it to a trusted one; the stack
// borrows them from the certificate.
std::unique_ptr<STACK_OF(X509), OpenSslFree> untrustedChainOf(const plexant::Certificate& certificate)
{
    std::unique_ptr<STACK_OF(X509), OpenSslFree> stack(sk_X509_new_null());
    for (const plexant::X509Ptr& presented : certificate.presentedChain()) {
        if (!stack || !sk_X509_push(stack.get(), presented.get()))
            return nullptr;
    }
    return stack;
}

// A store of every certificate in the file; null when it holds none.
std::unique_ptr<X509_STORE, OpenSslFree> storeOf(const QString& file)
{
    const std::optional<QByteArray> read = file.isEmpty() ? std::nullopt : platform::tryReadFileBytes(file);
    if (!read)
        return nullptr;
    const QByteArray& bytes = *read;
    std::unique_ptr<BIO, OpenSslFree> bio(BIO_new_mem_buf(bytes.constData(), int(bytes.size())));
    std::unique_ptr<X509_STORE, OpenSslFree> store(X509_STORE_new());
    int count = 0;
    while (std::unique_ptr<X509, OpenSslFree> certificate {PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr)}) {
        if (X509_STORE_add_cert(store.get(), certificate.get()) == 1)
            ++count;
    }
    return count > 0 ? std::move(store) : nullptr;
}

} // namespace

bool TrustedCertificates::Trusts(const plexant::Certificate& certificate, const QString& host) const
{
    const auto store = storeOf(m_file);
    if (!store || !certificate.x509() || host.isEmpty())
        return false;
    const auto untrusted = untrustedChainOf(certificate);
    std::unique_ptr<X509_STORE_CTX, OpenSslFree> context(X509_STORE_CTX_new());
    if (!untrusted || X509_STORE_CTX_init(context.get(), store.get(), certificate.x509(), untrusted.get()) != 1)
        return false;
    X509_VERIFY_PARAM* parameters = X509_STORE_CTX_get0_param(context.get());
    X509_VERIFY_PARAM_set_purpose(parameters, X509_PURPOSE_SSL_SERVER);
    // A dotted address is checked as an address, anything else as a host name.
    const QByteArray name = host.toUtf8();
    if (X509_VERIFY_PARAM_set1_ip_asc(parameters, name.constData()) != 1
        && X509_VERIFY_PARAM_set1_host(parameters, name.constData(), size_t(name.size())) != 1)
        return false;
    return X509_verify_cert(context.get()) == 1;
}

} // namespace kelvane
