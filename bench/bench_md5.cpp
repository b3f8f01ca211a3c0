// Digests the same 64 MiB buffer with our MD5 and with OpenSSL's, and prints the throughput
// of each and their ratio. Run it from a Release build: a debug or sanitizer build measures
// the instrumentation, not the digest.
#include "bench/BenchTiming.h"
#include "model/MD5.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <openssl/evp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

namespace {

constexpr qsizetype kBufferBytes = qsizetype(64) << 20;
constexpr int kRounds = 5;


QString opensslDigest(const QByteArray& buffer)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(buffer.constData(), static_cast<size_t>(buffer.size()), digest, &length, EVP_md5(), nullptr);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), int(length)).toHex().toUpper());
}

QString ourDigest(kelvane::MD5& md5, const QByteArray& buffer)
{
    md5.MD5Init();
    md5.MD5Update(static_cast<qint32>(buffer.size()), buffer);
    md5.MD5Final();
    return md5.GetValues();
}

} // namespace

int main()
{
    QByteArray buffer(kBufferBytes, Qt::Uninitialized);
    QRandomGenerator generator(1321);
    generator.fillRange(reinterpret_cast<quint32*>(buffer.data()), buffer.size() / 4);

    kelvane::MD5 md5;
    QString ours;
    QString theirs;
    const double ourSeconds = kelvane::bench::bestSeconds(kRounds, [&] { ours = ourDigest(md5, buffer); });
    const double theirSeconds = kelvane::bench::bestSeconds(kRounds, [&] { theirs = opensslDigest(buffer); });
    if (ours != theirs) {
        std::printf("digests differ: ours %s, OpenSSL %s\n", qPrintable(ours), qPrintable(theirs));
        return 1;
    }

    const double mebibytes = double(kBufferBytes) / (1 << 20);
    std::printf("MD5 of %.0f MiB: %s\n", mebibytes, qPrintable(ours));
    std::printf("ours:    %8.1f MiB/s\n", mebibytes / ourSeconds);
    std::printf("OpenSSL: %8.1f MiB/s\n", mebibytes / theirSeconds);
    std::printf("ratio (ours / OpenSSL): %.2f\n", theirSeconds / ourSeconds);
    return 0;
}
