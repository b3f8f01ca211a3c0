#include "tests/https/ChainCertificates.h"

#include <QFile>
#include <memory>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace kelvane::test {

namespace {

struct Free {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    void operator()(X509* certificate) const { X509_free(certificate); }
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using Key = std::unique_ptr<EVP_PKEY, Free>;
using Cert = std::unique_ptr<X509, Free>;

void addExtension(X509* certificate, X509* issuer, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

// A certificate for `commonName` with `key`, signed by the issuer (itself when none).
Cert certify(const char* commonName, EVP_PKEY* key, X509* issuer, EVP_PKEY* issuerKey, bool authority)
{
    static long serial = 1000;
    Cert certificate(X509_new());
    X509_set_version(certificate.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), ++serial);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -86400);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 30 * 86400);
    X509_set_pubkey(certificate.get(), key);
    X509_NAME* name = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    X509* signer = issuer ? issuer : certificate.get();
    X509_set_issuer_name(certificate.get(), X509_get_subject_name(signer));
    addExtension(certificate.get(), signer, NID_subject_key_identifier, "hash");
    addExtension(certificate.get(), signer, NID_authority_key_identifier, "keyid");
    if (authority) {
        addExtension(certificate.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
        addExtension(certificate.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        addExtension(certificate.get(), signer, NID_basic_constraints, "CA:FALSE");
        addExtension(certificate.get(), signer, NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1");
        addExtension(certificate.get(), signer, NID_ext_key_usage, "serverAuth");
    }
    X509_sign(certificate.get(), issuerKey ? issuerKey : key, EVP_sha256());
    return certificate;
}

void writePem(const QString& path, std::initializer_list<X509*> certificates, EVP_PKEY* key = nullptr)
{
    std::unique_ptr<BIO, Free> bio(BIO_new(BIO_s_mem()));
    for (X509* certificate : certificates)
        PEM_write_bio_X509(bio.get(), certificate);
    if (key)
        PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr);
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(data, length);
}

} // namespace

ChainCertificates::ChainCertificates(const QString& folder)
    : m_folder(folder)
{
    Key rootKey(EVP_EC_gen("P-256"));
    Cert rootCertificate = certify("Kelvane Private Root", rootKey.get(), nullptr, nullptr, true);
    Key intermediateKey(EVP_EC_gen("P-256"));
    Cert intermediate = certify("Kelvane Private Intermediate", intermediateKey.get(), rootCertificate.get(), rootKey.get(), true);
    Key serverKey(EVP_EC_gen("P-256"));
    Cert server = certify("localhost", serverKey.get(), intermediate.get(), intermediateKey.get(), false);
    writePem(root(), {rootCertificate.get()});
    writePem(chain(), {server.get(), intermediate.get()});
    writePem(key(), {}, serverKey.get());
}

} // namespace kelvane::test
