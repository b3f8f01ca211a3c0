#include "https/Certificate.h"

#include <openssl/objects.h>

namespace kelvane::plexant {

namespace {

// The short names the certificate texts use where they differ from OpenSSL's.
QByteArray attributeName(const ASN1_OBJECT* object)
{
    const int nid = OBJ_obj2nid(object);
    if (nid == NID_stateOrProvinceName)
        return "S";
    if (nid == NID_pkcs9_emailAddress)
        return "E";
    if (nid != NID_undef) {
        if (const char* shortName = OBJ_nid2sn(nid))
            return shortName;
    }
    char oid[80] = {};
    OBJ_obj2txt(oid, sizeof oid, object, 1);
    return oid;
}

// A value with separators, quotes or outer blanks is quoted, inner quotes doubled.
QByteArray attributeValue(const ASN1_STRING* value)
{
    unsigned char* utf8 = nullptr;
    const int length = ASN1_STRING_to_UTF8(&utf8, value);
    QByteArray text = length >= 0 ? QByteArray(reinterpret_cast<const char*>(utf8), length) : QByteArray();
    OPENSSL_free(utf8);
    const bool quote = text.isEmpty() || text.front() == ' ' || text.back() == ' '
        || text.contains(',') || text.contains('+') || text.contains('=') || text.contains('"')
        || text.contains('\n') || text.contains('<') || text.contains('>') || text.contains('#')
        || text.contains(';');
    if (!quote)
        return text;
    return '"' + text.replace("\"", "\"\"") + '"';
}

} // namespace

Certificate::Certificate(X509Ptr certificate, KeyPtr key)
    : m_certificate(std::move(certificate))
    , m_key(std::move(key))
{
}

Certificate::Certificate(X509Ptr certificate, std::vector<X509Ptr> presentedChain)
    : m_certificate(std::move(certificate))
    , m_presentedChain(std::move(presentedChain))
{
}

QByteArray Certificate::subject() const { return nameText(X509_get_subject_name(m_certificate.get())); }

QByteArray Certificate::issuer() const { return nameText(X509_get_issuer_name(m_certificate.get())); }

QByteArray nameText(const X509_NAME* name)
{
    QByteArray text;
    const int count = X509_NAME_entry_count(name);
    for (int i = 0; i < count; ++i) {
        const X509_NAME_ENTRY* entry = X509_NAME_get_entry(name, i);
        if (!text.isEmpty())
            text += ", ";
        text += attributeName(X509_NAME_ENTRY_get_object(entry)) + '=' + attributeValue(X509_NAME_ENTRY_get_data(entry));
    }
    return text;
}

} // namespace kelvane::plexant
