#include "https/CertificateStore.h"

#include "platform/FileBytes.h"

#include <QDir>
#include <QStandardPaths>

#include <openssl/pem.h>

namespace kelvane::plexant {

namespace {

const QString kMachinePrefix = QStringLiteral("LOCAL_MACHINE\\");

struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};

// Every certificate of the PEM text, each with the key of the text that belongs to it.
std::vector<std::shared_ptr<const Certificate>> readPem(const QByteArray& pem)
{
    std::vector<X509Ptr> certificates;
    std::vector<KeyPtr> keys;
    std::unique_ptr<BIO, BioFree> bio(BIO_new_mem_buf(pem.constData(), int(pem.size())));
    STACK_OF(X509_INFO)* items = PEM_X509_INFO_read_bio(bio.get(), nullptr, nullptr, nullptr);
    for (int i = 0; items && i < sk_X509_INFO_num(items); ++i) {
        X509_INFO* item = sk_X509_INFO_value(items, i);
        if (item->x509) {
            X509_up_ref(item->x509);
            certificates.emplace_back(item->x509);
        }
        if (item->x_pkey && item->x_pkey->dec_pkey) {
            EVP_PKEY_up_ref(item->x_pkey->dec_pkey);
            keys.emplace_back(item->x_pkey->dec_pkey);
        }
    }
    sk_X509_INFO_pop_free(items, X509_INFO_free);

    std::vector<std::shared_ptr<const Certificate>> result;
    for (X509Ptr& certificate : certificates) {
        KeyPtr matching;
        for (KeyPtr& key : keys) {
            if (key && X509_check_private_key(certificate.get(), key.get()) == 1) {
                matching = std::move(key);
                break;
            }
        }
        result.push_back(std::make_shared<Certificate>(std::move(certificate), std::move(matching)));
    }
    return result;
}

// A subject text as its parts, "CN=a, O=b" -> {"CN=a", "O=b"}, for comparing names written
// with or without blanks after the commas.
QList<QByteArray> nameParts(const QByteArray& text)
{
    QList<QByteArray> parts;
    for (const QByteArray& part : text.split(','))
        parts.append(part.trimmed());
    return parts;
}

} // namespace

QString CertificateStoreFolders::userFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kelvane/certificates");
}

QString CertificateStoreFolders::machineFolder() const { return QStringLiteral("/etc/kelvane/certificates"); }

std::optional<CertificateStore> CertificateStore::open(const QString& name)
{
    const auto& folders = platform::Service<CertificateStoreFolders>::get();
    const bool machine = name.size() >= 15 && name.startsWith(kMachinePrefix, Qt::CaseInsensitive);
    const QString storeName = machine ? name.mid(kMachinePrefix.size()) : name;
    if (storeName.isEmpty() || storeName.contains(QLatin1Char('/')) || storeName.contains(QLatin1Char('\\')))
        return std::nullopt;
    const std::optional<QByteArray> pem = platform::tryReadFileBytes(
        QDir(machine ? folders.machineFolder() : folders.userFolder()).filePath(storeName + QStringLiteral(".pem")));
    if (!pem)
        return std::nullopt;
    return CertificateStore(readPem(*pem));
}

CertificateStore::CertificateStore(std::vector<std::shared_ptr<const Certificate>> certificates)
    : m_certificates(std::move(certificates))
{
}

std::shared_ptr<const Certificate> CertificateStore::findBySubject(const QByteArray& subject) const
{
    const QList<QByteArray> wanted = nameParts(subject);
    for (const auto& certificate : m_certificates) {
        if (nameParts(certificate->subject()) == wanted)
            return certificate;
    }
    const QString part = QString::fromUtf8(subject);
    for (const auto& certificate : m_certificates) {
        if (QString::fromUtf8(certificate->subject()).contains(part, Qt::CaseInsensitive))
            return certificate;
    }
    return nullptr;
}

} // namespace kelvane::plexant
