#include "tests/https/CertificateMaking.h"

#include <QFile>

#include <openssl/ec.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

namespace kelvane::test {

namespace {

void addExtension(X509* certificate, X509* issuer, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

} // namespace

KeyPtr newKey() { return KeyPtr(EVP_EC_gen("P-256")); }

CertificatePtr makeCertificate(const CertificateTerms& terms, EVP_PKEY* key, X509* issuer, EVP_PKEY* issuerKey)
{
    static long serial = 1;
    CertificatePtr certificate(X509_new());
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
    if (terms.keyIdentifiers) {
        addExtension(certificate.get(), signer, NID_subject_key_identifier, "hash");
        addExtension(certificate.get(), signer, NID_authority_key_identifier, "keyid");
    }
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

void writePem(const QString& path, std::initializer_list<X509*> certificates, EVP_PKEY* key)
{
    std::unique_ptr<BIO, OpenSslFree> bio(BIO_new(BIO_s_mem()));
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

} // namespace kelvane::test
