#include "platform/SettingsStore.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
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
