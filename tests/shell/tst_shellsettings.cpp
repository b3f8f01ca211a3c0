// The user's settings: defaults of a first run, the round trip through the settings file, damaged
// values, the stored password and the introduction flags.

#include "tests/shell/ShellTestSupport.h"

#include "model/basLibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

using namespace kelvane;

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::resetProgramGlobals();
        QFile::remove(test::settingsFile());
    }
    void TearDown() override { test::resetProgramGlobals(); }

    static void writeRaw(const QString& key, const QString& value)
    {
        QSettings file(test::settingsFile(), QSettings::IniFormat);
        file.setValue(QStringLiteral("Settings/") + key, value);
    }
    static QString readRaw(const QString& key)
    {
        return QSettings(test::settingsFile(), QSettings::IniFormat).value(QStringLiteral("Settings/") + key).toString();
    }
};

} // namespace

TEST_F(Settings, AFirstRunGivesTheDefaultsAndASavedRunReadsBackAsItWas)
{
    basGlobal::LoadSettings({});
    EXPECT_EQ(basGlobal::RecentFiles, (std::array<QString, 4> {}));
    EXPECT_FALSE(basGlobal::Settings.AutoAnswer);
    EXPECT_TRUE(basGlobal::Settings.ShowAnswer);
    EXPECT_FALSE(basGlobal::AlignRight);
    EXPECT_EQ(basGlobal::LinkMode, 1);
    EXPECT_EQ(basGlobal::Settings.BackColour, qint32(0x8000000F));
    EXPECT_EQ(basGlobal::Settings.HighlightColour, qint32(0x80000010));
    EXPECT_EQ(basGlobal::Settings.ShadowColour, qint32(0x80000014));
    EXPECT_EQ(basGlobal::Settings.PositiveColour, 65280);
    EXPECT_EQ(basGlobal::Settings.NegativeColour, 255);
    EXPECT_EQ(basGlobal::Settings.NeutralColour, 65535);
    EXPECT_TRUE(basGlobal::ServerURL.isEmpty());
    EXPECT_FALSE(basGlobal::AutomationMode);

    basGlobal::RecentFiles = {QStringLiteral("/a/one.qks"), QStringLiteral("/b/two.qks"), {}, {}};
    basGlobal::Settings.AutoAnswer = true;
    basGlobal::Settings.ShowAnswer = false;
    basGlobal::AlignRight = true;
    basGlobal::LinkMode = 0;
    basGlobal::Settings.NodeColour = 0x123456;
    basGlobal::Settings.NeutralColour = 42; // read only: never written
    basGlobal::ServerURL = QStringLiteral("https://server.example/kb");
    basGlobal::ServerUsername = QStringLiteral("ann");
    basGlobal::ServerPassword = QStringLiteral("quiet q\u00E9"); // "q" is the key's first character
    basGlobal::SaveSettings();

    EXPECT_EQ(readRaw(QStringLiteral("Back Colour")), QStringLiteral("-2147483633"));
    EXPECT_EQ(readRaw(QStringLiteral("AutoAnswer")), QStringLiteral("True"));
    EXPECT_TRUE(readRaw(QStringLiteral("Neutral Colour")).isEmpty());
    EXPECT_NE(readRaw(QStringLiteral("Tavro Password")), basGlobal::ServerPassword);
    const auto permissions = QFileInfo(test::settingsFile()).permissions();
    EXPECT_EQ(permissions & (QFile::ReadOwner | QFile::WriteOwner), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(permissions & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther), 0);

    const auto saved = basGlobal::Settings;
    test::resetProgramGlobals();
    basGlobal::LoadSettings({});
    EXPECT_EQ(basGlobal::RecentFiles[1], QStringLiteral("/b/two.qks"));
    EXPECT_TRUE(basGlobal::Settings.AutoAnswer);
    EXPECT_FALSE(basGlobal::Settings.ShowAnswer);
    EXPECT_TRUE(basGlobal::AlignRight);
    EXPECT_EQ(basGlobal::LinkMode, 0);
    EXPECT_EQ(basGlobal::Settings.NodeColour, saved.NodeColour);
    EXPECT_EQ(basGlobal::Settings.NeutralColour, 65535);
    EXPECT_EQ(basGlobal::ServerUsername, QStringLiteral("ann"));
    EXPECT_EQ(basGlobal::ServerPassword, QStringLiteral("quiet q\u00E9"));
}

TEST_F(Settings, TheServerPasswordKeepsEveryCharacterAndValuesStoredTheOlderWayStillRead)
{
    for (const QString& password : {QStringLiteral("\u043F\u0430\u0440\u043E\u043B\u044C\u20AC1"),
                                    QStringLiteral("\U0001F511 key"), QStringLiteral("quiet q\u00E9")}) {
        basGlobal::ServerPassword = password;
        basGlobal::SaveSettings();
        EXPECT_FALSE(readRaw(QStringLiteral("Tavro Password")).contains(password.left(1)));
        basGlobal::ServerPassword.clear();
        basGlobal::LoadSettings({});
        EXPECT_EQ(basGlobal::ServerPassword, password);
    }

    // The older form scrambled the password's Windows-1252 bytes.
    const QByteArray key = QByteArrayLiteral("quabel");
    for (const QByteArray& ansi : {QByteArray("caf\xE9 \x80" "5"), QByteArray("plain")}) {
        QByteArray scrambled = ansi;
        for (qsizetype i = 0; i < scrambled.size(); ++i)
            scrambled[i] = char(scrambled[i] ^ key[i % key.size()]);
        writeRaw(QStringLiteral("Tavro Password"), QString::fromLatin1(scrambled.toBase64()));
        basGlobal::LoadSettings({});
        EXPECT_EQ(basGlobal::ServerPassword, ansi == "plain" ? QStringLiteral("plain") : QStringLiteral("caf\u00E9 \u20AC5"));
    }
}

TEST_F(Settings, DamagedValuesFallBackToTheirDefaults)
{
    writeRaw(QStringLiteral("AutoAnswer"), QStringLiteral("perhaps"));
    writeRaw(QStringLiteral("ShowAnswer"), QStringLiteral("0"));
    writeRaw(QStringLiteral("LinkMode"), QStringLiteral("abc"));
    writeRaw(QStringLiteral("Node Colour"), QStringLiteral("blue"));       // no leading number: 0
    writeRaw(QStringLiteral("Back Colour"), QStringLiteral("99999999999")); // does not fit: default
    writeRaw(QStringLiteral("Positive Colour"), QStringLiteral("65280 and more"));
    writeRaw(QStringLiteral("MainLeft"), QStringLiteral("left"));
    writeRaw(QStringLiteral("MainTop"), QStringLiteral("750"));
    writeRaw(QStringLiteral("MainWidth"), QStringLiteral("1e300"));    // beyond a single: default
    writeRaw(QStringLiteral("MainHeight"), QStringLiteral("-3.5e38"));
    writeRaw(QStringLiteral("Tavro Password"), QStringLiteral("not base64!"));

    basGlobal::LoadSettings({});
    EXPECT_FALSE(basGlobal::Settings.AutoAnswer);
    EXPECT_FALSE(basGlobal::Settings.ShowAnswer);
    EXPECT_EQ(basGlobal::LinkMode, 1);
    EXPECT_EQ(basGlobal::Settings.NodeColour, 0);
    EXPECT_EQ(basGlobal::Settings.BackColour, qint32(0x8000000F));
    EXPECT_EQ(basGlobal::Settings.PositiveColour, 0xFF00);
    EXPECT_TRUE(basGlobal::ServerPassword.isEmpty());
    const auto placement = settingvalues::readPlacement();
    EXPECT_EQ(placement.Left, 500);
    EXPECT_EQ(placement.Top, 750);
    EXPECT_EQ(placement.Width, 6400);
    EXPECT_EQ(placement.Height, 4800);
}

TEST_F(Settings, IntroductionFlagsCannotOverwriteSettingsWhateverTheKnowledgeBaseIsCalled)
{
    basGlobal::RecentFiles[0] = QStringLiteral("/kb/recent.qks");
    basGlobal::SaveSettings();
    for (const QString& name : {QStringLiteral("MRU0"), QStringLiteral("a/b\\c = d; [e]"), QStringLiteral("Settings")})
        settingvalues::setIntroductionSuppressed(name, true);

    basGlobal::LoadSettings({});
    EXPECT_EQ(basGlobal::RecentFiles[0], QStringLiteral("/kb/recent.qks"));
    EXPECT_TRUE(settingvalues::introductionSuppressed(QStringLiteral("a/b\\c = d; [e]")));
    EXPECT_TRUE(settingvalues::introductionSuppressed(QStringLiteral("MRU0")));
    EXPECT_FALSE(settingvalues::introductionSuppressed(QStringLiteral("mru0 ")));
    settingvalues::setIntroductionSuppressed(QStringLiteral("MRU0"), false);
    EXPECT_FALSE(settingvalues::introductionSuppressed(QStringLiteral("MRU0")));
}

TEST_F(Settings, AnEmbeddingSwitchInAnyCaseMarksAnAutomationStart)
{
    basGlobal::LoadSettings(QStringLiteral("/kb/a.qkb"));
    EXPECT_FALSE(basGlobal::AutomationMode);
    basGlobal::LoadSettings(QStringLiteral("-eMbEdDiNg"));
    EXPECT_TRUE(basGlobal::AutomationMode);
    basGlobal::LoadSettings({}); // only ever set, never cleared
    EXPECT_TRUE(basGlobal::AutomationMode);
}

TEST_F(Settings, ASettingsFileTheReaderCannotParseIsSavedOverWhole)
{
    QDir().mkpath(QFileInfo(test::settingsFile()).absolutePath());
    QFile file(test::settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"");
    file.close();

    basGlobal::LoadSettings({});
    basGlobal::RecentFiles[0] = QStringLiteral("/kb/recent.qks");
    basGlobal::LinkMode = 0;
    basGlobal::ServerURL = QStringLiteral("https://server.example/kb");
    basGlobal::ServerPassword = QStringLiteral("secret");
    EXPECT_NO_THROW(basGlobal::SaveSettings());

    test::resetProgramGlobals();
    basGlobal::LoadSettings({});
    EXPECT_EQ(basGlobal::RecentFiles[0], QStringLiteral("/kb/recent.qks"));
    EXPECT_EQ(basGlobal::LinkMode, 0);
    EXPECT_EQ(basGlobal::ServerURL, QStringLiteral("https://server.example/kb"));
    EXPECT_EQ(basGlobal::ServerPassword, QStringLiteral("secret")); // the last value saved
}
