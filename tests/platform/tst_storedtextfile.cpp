// Reading a stored text file as it is decoded: the text must be the one the whole file's
// bytes give, wherever a character falls against the slices the file is read in.
#include "platform/FileBytes.h"
#include "platform/StoredTextFile.h"
#include "platform/TextEncoding.h"
#include "tests/platform/StorageTestHelpers.h"
#include "tests/support/QStringPrinter.h"

using namespace kelvane::test;
using platform::encoding::readStoredTextFile;

namespace {

constexpr qsizetype kSlice = 64 * 1024; // what the file reader reads at a time

// The text the whole file's bytes give.
QString wholeFileText(const QString& path)
{
    return platform::encoding::decodeStored(platform::readFileBytes(path));
}

// ASCII filling `size` bytes, with `character` (UTF-8) written from `at`.
QByteArray bytesWith(qsizetype size, qsizetype at, const QByteArray& character)
{
    QByteArray bytes(size, 'x');
    bytes.replace(at, character.size(), character);
    return bytes;
}

} // namespace

TEST(StoredTextFile, CharactersAcrossEverySliceBoundaryAreDecodedWhole)
{
    const QString file = testFile(QStringLiteral("utf8.xml"));
    const QByteArray characters[] = {QByteArray("\xC3\xA9"), QByteArray("\xE2\x82\xAC"), QByteArray("\xF0\x9F\x98\x80")};
    for (const QByteArray& character : characters) {
        for (qsizetype at = kSlice - 3; at <= kSlice; ++at) {
            const QByteArray bytes = bytesWith(3 * kSlice, at, character) + character;
            ASSERT_TRUE(writeFile(file, bytes));
            const QString text = readStoredTextFile(file);
            EXPECT_EQ(text, QString::fromUtf8(bytes)) << "at " << at;
            EXPECT_EQ(text, wholeFileText(file));
        }
    }
}

TEST(StoredTextFile, AFileOfManyMegabytesIsReadWhole)
{
    // Large enough for its text to be held in large pages, backed by other threads as it is
    // written; the second file stops being UTF-8 near its end, while they may still be at it.
    const QString file = testFile(QStringLiteral("large.xml"));
    constexpr qsizetype kSize = 20 * 1024 * 1024;
    const QByteArray bytes = bytesWith(kSize, 4 * 1024 * 1024 + 1, QByteArray("\xE2\x82\xAC")) + "\xC3\xA9";
    ASSERT_TRUE(writeFile(file, bytes));
    EXPECT_EQ(readStoredTextFile(file), QString::fromUtf8(bytes));
    const QByteArray ansi = bytesWith(kSize, kSize - 10, "\xE9");
    ASSERT_TRUE(writeFile(file, ansi));
    EXPECT_EQ(readStoredTextFile(file), platform::encoding::fromAnsi(ansi));
}

TEST(StoredTextFile, AByteOrderMarkIsDroppedOnlyAtTheStart)
{
    const QString file = testFile(QStringLiteral("bom.xml"));
    const QByteArray bom("\xEF\xBB\xBF");
    ASSERT_TRUE(writeFile(file, bom + "<a>" + bom + "</a>"));
    EXPECT_EQ(readStoredTextFile(file), QStringLiteral("<a>\uFEFF</a>"));
    EXPECT_EQ(readStoredTextFile(file), wholeFileText(file));
    ASSERT_TRUE(writeFile(file, bom));
    EXPECT_EQ(readStoredTextFile(file), QString());
    ASSERT_TRUE(writeFile(file, {}));
    EXPECT_EQ(readStoredTextFile(file), QString());
}

TEST(StoredTextFile, BytesThatAreNotUtf8AnywhereMakeTheWholeFileWindows1252)
{
    const QString file = testFile(QStringLiteral("ansi.xml"));
    const QByteArray cases[] = {
        bytesWith(3 * kSlice, 2 * kSlice + 5, "\xE9"),         // a lone Windows-1252 letter late in the file
        bytesWith(3 * kSlice, kSlice - 1, "\xC0\xAF"),         // an overlong form across a boundary
        bytesWith(3 * kSlice, 10, "\xED\xA0\x80"),             // a surrogate
        bytesWith(2 * kSlice, 0, "\xEF\xBB\xBF") + "\xE2\x82", // a character cut short at the end
    };
    for (const QByteArray& bytes : cases) {
        ASSERT_TRUE(writeFile(file, bytes));
        const QString text = readStoredTextFile(file);
        EXPECT_EQ(text, platform::encoding::fromAnsi(bytes));
        EXPECT_EQ(text, wholeFileText(file));
    }
}

TEST(StoredTextFile, MissingFilesAreRefusedAsTheByteReaderRefusesThem)
{
    const QString missing = testFile(QStringLiteral("missing.xml"));
    try {
        readStoredTextFile(missing);
        ADD_FAILURE() << "no error";
    } catch (const kelvane::RuntimeError& error) {
        EXPECT_EQ(error.Number(), kelvane::err::FileNotFound);
        EXPECT_TRUE(error.Description().contains(missing));
    }
}
