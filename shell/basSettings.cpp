#include "shell/basSettings.h"

#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "platform/TextEncoding.h"
#include "platform/UiServices.h"
#include "shell/SettingValues.h"
#include "shell/ShellGlobals.h"

namespace basGlobal {

namespace sv = kelvane::settingvalues;

namespace {

QString recentFileKey(int index) { return QStringLiteral("MRU") + QString::number(index); }

// The colour settings the options dialog changes, in the order they are read and written.
struct ColourSetting {
    const char16_t* key;
    qint32 UserSettings::*value;
    qint32 defaultValue;
};

const ColourSetting kSavedColours[] = {
    {u"Back Colour", &UserSettings::BackColour, UserSettings {}.BackColour},
    {u"Node Colour", &UserSettings::NodeColour, UserSettings {}.NodeColour},
    {u"Highlight Colour", &UserSettings::HighlightColour, UserSettings {}.HighlightColour},
    {u"Shadow Colour", &UserSettings::ShadowColour, UserSettings {}.ShadowColour},
    {u"Positive Colour", &UserSettings::PositiveColour, UserSettings {}.PositiveColour},
    {u"Negative Colour", &UserSettings::NegativeColour, UserSettings {}.NegativeColour},
};

const ColourSetting kNeutralColour = {u"Neutral Colour", &UserSettings::NeutralColour, UserSettings {}.NeutralColour};

QString keyOf(const ColourSetting& setting) { return QString::fromUtf16(setting.key); }

} // namespace

bool IsAutomationStart(const QString& commandLine)
{
    return commandLine.toUpper().contains(QStringLiteral("-EMBEDDING"));
}

// The password's UTF-8 bytes are scrambled, one character per byte, so every character
// survives. Values stored by earlier versions scrambled Windows-1252 bytes instead; their
// unscrambled bytes are rarely valid UTF-8 and are then read as Windows-1252 (plain ASCII reads
// the same either way).
QString StoredPassword(const QString& password)
{
    const QString scrambled = basLibrary::XorScramble(platform::encoding::fromAnsi(password.toUtf8()), kPasswordKey);
    return QString::fromLatin1(platform::encoding::toAnsi(scrambled).toBase64());
}

QString PasswordFromStored(const QString& stored)
{
    const auto decoded = QByteArray::fromBase64Encoding(stored.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return {};
    const QByteArray bytes =
        platform::encoding::toAnsi(basLibrary::XorScramble(platform::encoding::fromAnsi(*decoded), kPasswordKey));
    return platform::encoding::isValidUtf8(bytes) ? QString::fromUtf8(bytes) : platform::encoding::fromAnsi(bytes);
}

void LoadSettings(const QString& commandLine)
{
    for (int i = 0; i < kRecentFileCount; ++i)
        RecentFiles[std::size_t(i)] = sv::readText(recentFileKey(i));

    Settings.AutoAnswer = sv::readBoolean(QStringLiteral("AutoAnswer"), false);
    Settings.ShowAnswer = sv::readBoolean(QStringLiteral("ShowAnswer"), true);
    AlignRight = sv::readBoolean(QStringLiteral("Align Right"), false);

    LinkMode = sv::readInteger(QStringLiteral("LinkMode"), 1);
    for (const auto& colour : kSavedColours)
        Settings.*colour.value = sv::readColour(keyOf(colour), colour.defaultValue);
    Settings.*kNeutralColour.value = sv::readColour(keyOf(kNeutralColour), kNeutralColour.defaultValue);

    ServerURL = sv::readText(QStringLiteral("Tavro"));
    ServerUsername = sv::readText(QStringLiteral("Tavro Username"));
    ServerPassword = PasswordFromStored(sv::readText(QStringLiteral("Tavro Password")));

    if (IsAutomationStart(commandLine))
        AutomationMode = true;

    // Told once the automation flag is known: a hidden program writes it to its log instead.
    if (const auto refusal = sv::refusal()) {
        platform::ui().messageBox(
            *refusal + QStringLiteral("\rThe program starts with the default settings and leaves the file as it is."),
            platform::msgbox::Exclamation, platform::applicationTitle());
    }
}

QList<platform::StoredSetting> SettingsToSave()
{
    QList<platform::StoredSetting> values;
    for (int i = 0; i < kRecentFileCount; ++i)
        values << sv::textValue(recentFileKey(i), RecentFiles[std::size_t(i)]);

    values << sv::booleanValue(QStringLiteral("AutoAnswer"), Settings.AutoAnswer)
           << sv::booleanValue(QStringLiteral("ShowAnswer"), Settings.ShowAnswer)
           << sv::booleanValue(QStringLiteral("Align Right"), AlignRight);

    values << sv::numberValue(QStringLiteral("LinkMode"), LinkMode);
    for (const auto& colour : kSavedColours)
        values << sv::numberValue(keyOf(colour), Settings.*colour.value);

    values << sv::textValue(QStringLiteral("Tavro"), ServerURL) << sv::textValue(QStringLiteral("Tavro Username"), ServerUsername)
           << sv::textValue(QStringLiteral("Tavro Password"), StoredPassword(ServerPassword));
    return values;
}

void SaveSettings()
{
    sv::writeValues(SettingsToSave());
}

} // namespace basGlobal
