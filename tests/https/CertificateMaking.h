#pragma once

#include <QString>

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <initializer_list>
#include <memory>

namespace kelvane::test {

struct OpenSslFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    void operator()(X509* certificate) const { X509_free(certificate); }
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, OpenSslFree>;
using CertificatePtr = std::unique_ptr<X509, OpenSslFree>;

// A new P-256 key.
KeyPtr newKey();

// What a test certificate says of itself.
struct CertificateTerms {
    const char* commonName;
    const char* altNames = nullptr; // subjectAltName; null: none
    long notBeforeDays = -1;
    long notAfterDays = 30;
    bool authority = false;
    bool client = false;
    bool keyIdentifiers = false; // subject and authority key identifiers, for chains
};

// A certificate with `key` on the terms, signed by the issuer (itself when none).
CertificatePtr makeCertificate(const CertificateTerms& terms, EVP_PKEY* key, X509* issuer, EVP_PKEY* issuerKey);

// Writes the certificates, then the key when given, as PEM to `path`.
void writePem(const QString& path, std::initializer_list<X509*> certificates, EVP_PKEY* key = nullptr);

} // namespace kelvane::test
