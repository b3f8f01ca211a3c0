#include "https/CertificatePolicy.h"

#include <openssl/x509v3.h>

#include <array>
#include <utility>

namespace kelvane::plexant {

namespace {

constexpr std::array<std::pair<quint32, const char*>, 15> kStatusTexts {{
    {CertificatePolicy::Revoked, "The certificate or signature has been revoked."},
    {CertificatePolicy::RevocationOffline,
     "Since the revocation server was offline, the called function was not able to complete the revocation check."},
    {CertificatePolicy::BadSignature, "The signature of the certificate cannot be verified."},
    {CertificatePolicy::BasicConstraints, "The certificate's basic constraints are invalid or missing."},
    {CertificatePolicy::Expired, "A required certificate is not within its validity period."},
    {CertificatePolicy::ValidityPeriodNesting, "The validity periods of the certification chain do not nest correctly."},
    {CertificatePolicy::Role, "A certificate that can only be used as an end-entity is being used as a CA or visa versa."},
    {CertificatePolicy::Purpose, "A certificate is being used for a non permitted purpose."},
    {CertificatePolicy::UntrustedRoot,
     "A certification chain processed correctly but terminated in a root certificate not trusted by the trust provider."},
    {CertificatePolicy::Chaining, "A chain of certificates was not correctly created."},
    {CertificatePolicy::ExplicitlyRevoked, "A certificate in the chain has been explicitly revoked by its issuer."},
    {CertificatePolicy::UntrustedTestRoot,
     "The root certificate is a testing certificate and policy settings disallow test certificates."},
    {CertificatePolicy::RevocationFailure, "The revocation process could not continue. The certificates could not be checked."},
    {CertificatePolicy::NameMismatch, "The certificate's CN name does not match the passed value."},
    {CertificatePolicy::WrongUsage, "The certificate is not valid for the requested usage."},
}};

// Where an SSL context keeps its policy.
int policyIndex()
{
    static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

} // namespace

CertificatePolicy::CertificatePolicy(quint32 ignore, const QByteArray& host, bool stopAtFailure)
    : m_ignore(ignore)
    , m_host(host)
    , m_stopAtFailure(stopAtFailure)
{
}

void CertificatePolicy::install(SSL_CTX* context)
{
    SSL_CTX_set_default_verify_paths(context);
    SSL_CTX_set_ex_data(context, policyIndex(), this);
    SSL_CTX_set_verify(context, m_stopAtFailure ? SSL_VERIFY_PEER : SSL_VERIFY_NONE, &CertificatePolicy::verify);
    if (m_host.isEmpty())
        return;
    X509_VERIFY_PARAM* parameters = SSL_CTX_get0_param(context);
    if (X509_VERIFY_PARAM_set1_ip_asc(parameters, m_host.constData()) != 1)
        X509_VERIFY_PARAM_set1_host(parameters, m_host.constData(), size_t(m_host.size()));
}

quint32 CertificatePolicy::statusOf(int verifyError)
{
    switch (verifyError) {
    case X509_V_OK: return 0;
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_CERT_NOT_YET_VALID:
    case X509_V_ERR_ERROR_IN_CERT_NOT_BEFORE_FIELD:
    case X509_V_ERR_ERROR_IN_CERT_NOT_AFTER_FIELD: return Expired;
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
    case X509_V_ERR_EMAIL_MISMATCH: return NameMismatch;
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_CERT_UNTRUSTED:
    case X509_V_ERR_CERT_REJECTED: return UntrustedRoot;
    case X509_V_ERR_CERT_SIGNATURE_FAILURE:
    case X509_V_ERR_UNABLE_TO_DECRYPT_CERT_SIGNATURE:
    case X509_V_ERR_UNABLE_TO_DECODE_ISSUER_PUBLIC_KEY: return BadSignature;
    case X509_V_ERR_CERT_REVOKED: return Revoked;
    case X509_V_ERR_UNABLE_TO_GET_CRL: return RevocationOffline;
    case X509_V_ERR_INVALID_CA:
    case X509_V_ERR_PATH_LENGTH_EXCEEDED: return BasicConstraints;
    case X509_V_ERR_INVALID_PURPOSE: return Purpose;
    default: return Chaining;
    }
}

bool CertificatePolicy::ignores(quint32 status) const
{
    switch (status) {
    case Expired:
    case ValidityPeriodNesting: return (m_ignore & IgnoreDate) != 0;
    case NameMismatch: return (m_ignore & IgnoreName) != 0;
    case UntrustedRoot:
    case Chaining: return (m_ignore & IgnoreUnknownAuthority) != 0;
    case Purpose:
    case WrongUsage: return (m_ignore & IgnoreWrongUsage) != 0;
    case RevocationOffline:
    case RevocationFailure: return (m_ignore & IgnoreRevocation) != 0;
    default: return false;
    }
}

int CertificatePolicy::verify(int preverified, X509_STORE_CTX* store)
{
    if (preverified == 1)
        return 1;
    auto* connection = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    auto* policy = connection
        ? static_cast<CertificatePolicy*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(connection), policyIndex()))
        : nullptr;
    if (!policy)
        return 0;
    const quint32 status = statusOf(X509_STORE_CTX_get_error(store));
    if (policy->ignores(status)) {
        X509_STORE_CTX_set_error(store, X509_V_OK);
        return 1;
    }
    if (policy->m_status == 0)
        policy->m_status = status;
    // Without stopping, the chain is still followed to its end; only the first problem counts.
    return policy->m_stopAtFailure ? 0 : 1;
}

QByteArray CertificatePolicy::statusText(quint32 status)
{
    QByteArray text = "[0x" + QByteArray::number(status, 16) + "] ";
    if (status == 0)
        return text + "OK";
    for (const auto& [number, description] : kStatusTexts) {
        if (number == status)
            return text + description;
    }
    return text + "(unknown status code)";
}

} // namespace kelvane::plexant
