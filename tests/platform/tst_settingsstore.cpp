#include "platform/SettingsStore.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using platform::IniSettingsStore;

namespace {
const QString kApp = QStringLiteral("Kelvane");
const QString kSection = QStringLiteral("Settings");
} // namespace

TEST(SettingsStore, AbsentKeysGiveTheDefaultAndEmptyValuesStayEmpty)
{
    IniSettingsStore store;
    EXPECT_TRUE(IniSettingsStore::fileOf(kApp).startsWith(kelvane::test::scratchFolder() + QStringLiteral("/config/")));
    EXPECT_EQ(store.getSetting(kApp, kSection, QStringLiteral("Never Saved"), QStringLiteral("1")), QStringLiteral("1"));
    store.saveSetting(kApp, kSection, QStringLiteral("MRU0"), QString());
    EXPECT_EQ(store.getSetting(kApp, kSection, QStringLiteral("MRU0"), QStringLiteral("x")), QString());
}

TEST(SettingsStore, ValuesRoundTripEveryCharacter)
{
    const QString nulAndBreaks = QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b\rc\nd\r\n") + QChar(u'\0');
    const QStringList values = {
        nulAndBreaks,
        QStringLiteral("one, two, three"),
        QStringLiteral("@Variant(x)"),
        QStringLiteral("  padded  "),
        QStringLiteral("\"quoted\" and \\back\\slashes;=[]#"),
        QStringLiteral("C:\\kb\\a.qkb"),
        QString::fromUtf8("Grüße € 中文"),
        QString(QChar(u'\x01')) + QChar(u'\x1f') + QChar(u'\x7f') + QChar(u'\x9d'),
    };
    IniSettingsStore writer;
    for (int i = 0; i < values.size(); ++i)
        writer.saveSetting(kApp, kSection, QStringLiteral("Value %1").arg(i), values[i]);
    IniSettingsStore reader; // a new store reads the file afresh
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(reader.getSetting(kApp, kSection, QStringLiteral("Value %1").arg(i)), values[i]) << i;
}

TEST(SettingsStore, NamesWithSeparatorsStayDistinct)
{
    IniSettingsStore store;
    const QStringList keys = {QStringLiteral("C:\\kb\\a.qkb"), QStringLiteral("C:/kb/a.qkb"), QStringLiteral("C:%5Ckb%5Ca.qkb"),
                              QStringLiteral("kb a")};
    for (const QString& key : keys)
        store.saveSetting(kApp, kSection, key, key);
    store.saveSetting(kApp, QStringLiteral("Other/Section"), keys[0], QStringLiteral("other"));
    store.saveSetting(QStringLiteral("Marlox"), kSection, keys[0], QStringLiteral("marlox"));
    for (const QString& key : keys)
        EXPECT_EQ(store.getSetting(kApp, kSection, key), key);
    EXPECT_EQ(store.getSetting(kApp, QStringLiteral("Other/Section"), keys[0]), QStringLiteral("other"));
    EXPECT_EQ(store.getSetting(QStringLiteral("Marlox"), kSection, keys[0]), QStringLiteral("marlox"));
}

// Text the reader cannot make sense of (a lone quote, a section never closed, a name with an
// empty part, ...) is dropped
// by the next write, and text it reads as a list, whatever the list holds, is written back; the
// write succeeds: no value that was written is reported as lost.
TEST(SettingsStore, ADamagedFileIsNoReasonToReportAWriteFailure)
{
    const QString fileName = IniSettingsStore::fileOf(kApp);
    const QList<QByteArray> damaged = {"\"", "[Settings", "[Settings]\nMRU0=\"a\n", "\xff\xfe[\x00", "=\n[\n",
                                       "[Introduction]\nMRU1=a\\0b, c\n", "[Settings]\nList=\"@String(a)\", b\n",
                                       "[Settings]\nMRU0/=c\na//b=1\n[/x/]\ne=4\n"};
    for (const QByteArray& text : damaged) {
        QFile::remove(fileName);
        {
            IniSettingsStore first;
            first.saveSetting(kApp, kSection, QStringLiteral("Kept"), QStringLiteral("before"));
        }
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(text);
        file.close();

        IniSettingsStore store;
        EXPECT_EQ(kelvane::test::errorNumberOf([&] { store.saveSetting(kApp, kSection, QStringLiteral("MRU0"), QStringLiteral("a")); }), 0)
            << text.toStdString();
        EXPECT_EQ(kelvane::test::errorNumberOf([&] { store.saveSetting(kApp, kSection, QStringLiteral("MRU1"), QStringLiteral("b")); }), 0)
            << text.toStdString();
        IniSettingsStore reader;
        EXPECT_EQ(reader.getSetting(kApp, kSection, QStringLiteral("MRU0")), QStringLiteral("a")) << text.toStdString();
        EXPECT_EQ(reader.getSetting(kApp, kSection, QStringLiteral("MRU1")), QStringLiteral("b")) << text.toStdString();
    }
}

// A write that does not reach the disk is reported, whether the file read cleanly or not, and
// whether the disk fills at once or half way through the file.
TEST(SettingsStore, AWriteThatFailsIsReportedEvenOverADamagedFile)
{
    const QString fileName = IniSettingsStore::fileOf(kApp);
    const QByteArray recentFiles = "[Settings]\nMRU1=" + QByteArray(4000, 'a') + "\nTavro%20Password=secret\n";
    for (const QByteArray& text : {QByteArray("[Settings]\nOld=1\n"), QByteArray("\""), recentFiles}) {
        QFile::remove(fileName);
        QDir().mkpath(QFileInfo(fileName).absolutePath());
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        IniSettingsStore store;
        {
            const kelvane::test::FileSizeLimit diskFull(std::max<rlim_t>(4, text.size() / 2));
            EXPECT_EQ(kelvane::test::errorNumberOf([&] {
                          store.saveSetting(kApp, kSection, QStringLiteral("MRU0"), QStringLiteral("a long recent file name"));
                      }),
                      kelvane::err::PathFileAccess)
                << text.toStdString();
        }
        // The file is as it was, and nothing else is left beside it.
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), text);
        file.close();
        EXPECT_EQ(QFileInfo(fileName).dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).filter(QStringLiteral("Kelvane")),
                  QStringList {QFileInfo(fileName).fileName()});
        // Once the disk takes it again, so does the store.
        store.saveSetting(kApp, kSection, QStringLiteral("MRU0"), QStringLiteral("a"));
        EXPECT_EQ(IniSettingsStore().getSetting(kApp, kSection, QStringLiteral("MRU0")), QStringLiteral("a"));
    }
}
