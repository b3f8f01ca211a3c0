#include "tests/https/TestCertificates.h"

#include <QFile>

#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace kelvane::test {

namespace {

struct Free {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    void operator()(X509* certificate) const { X509_free(certificate); }
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using Key = std::unique_ptr<EVP_PKEY, Free>;
using Cert = std::unique_ptr<X509, Free>;

Key newKey() { return Key(EVP_EC_gen("P-256")); }

void addExtension(X509* certificate, X509* issuer, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

struct CertificateTerms {
    const char* commonName;
    const char* altNames = nullptr; // subjectAltName; null: none
    long notBeforeDays = -1;
    long notAfterDays = 30;
    bool authority = false;
    bool client = false;
};

Cert makeCertificate(const CertificateTerms& terms, EVP_PKEY* key, X509* issuer, EVP_PKEY* issuerKey)
{
    static long serial = 1;
    Cert certificate(X509_new());
    X509_set_version(certificate.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), ++serial);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), terms.notBeforeDays * 86400);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), terms.notAfterDays * 86400);
    X509_set_pubkey(certificate.get(), key);
    X509_NAME* name = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(terms.commonName), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Kelvane Tests"), -1, -1, 0);
    X509* signer = issuer ? issuer : certificate.get();
    X509_set_issuer_name(certificate.get(), X509_get_subject_name(signer));
    addExtension(certificate.get(), signer, NID_basic_constraints, terms.authority ? "critical,CA:TRUE" : "CA:FALSE");
    if (terms.authority)
        addExtension(certificate.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    if (terms.altNames)
        addExtension(certificate.get(), signer, NID_subject_alt_name, terms.altNames);
    if (!terms.authority)
        addExtension(certificate.get(), signer, NID_ext_key_usage, terms.client ? "clientAuth" : "serverAuth");
    X509_sign(certificate.get(), issuerKey ? issuerKey : key, EVP_sha256());
    return certificate;
}

void writePem(const QString& path, X509* certificate, EVP_PKEY* key)
{
    std::unique_ptr<BIO, Free> bio(BIO_new(BIO_s_mem()));
    if (certificate)
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

TestCertificates::TestCertificates(const QString& folder)
    : m_folder(folder)
{
    const auto save = [this](const QString& name, X509* made, EVP_PKEY* madeKey) {
        writePem(certificate(name), made, nullptr);
        writePem(key(name), nullptr, madeKey);
    };
    Key authorityKey = newKey();
    Cert authority = makeCertificate({"Kelvane Test Authority", nullptr, -1, 60, true}, authorityKey.get(), nullptr, nullptr);
    save(QStringLiteral("ca"), authority.get(), authorityKey.get());

    const char* local = "DNS:localhost,IP:127.0.0.1";
    const struct {
        const char* name;
        CertificateTerms terms;
    } servers[] = {{"good", {"localhost", local}},
                   {"wrong", {"wrong.example", "DNS:wrong.example"}},
                   {"address", {"127.0.0.1", "IP:127.0.0.1"}},
                   {"expired", {"localhost", local, -20, -10}},
                   {"client", {"Kelvane Client", nullptr, -1, 30, false, true}}};
    for (const auto& server : servers) {
        Key key = newKey();
        Cert certificate = makeCertificate(server.terms, key.get(), authority.get(), authorityKey.get());
        save(QString::fromLatin1(server.name), certificate.get(), key.get());
    }
    // Signed by an authority that is nowhere trusted.
    Key strangerKey = newKey();
    Cert stranger = makeCertificate({"Stranger Authority", nullptr, -1, 60, true}, strangerKey.get(), nullptr, nullptr);
    Key key = newKey();
    Cert untrusted = makeCertificate({"localhost", local}, key.get(), stranger.get(), strangerKey.get());
    save(QStringLiteral("untrusted"), untrusted.get(), key.get());
}

QString TestCertificates::certificate(const QString& name) const { return m_folder + QLatin1Char('/') + name + QStringLiteral(".pem"); }

QString TestCertificates::key(const QString& name) const { return m_folder + QLatin1Char('/') + name + QStringLiteral(".key"); }

} // namespace kelvane::test
