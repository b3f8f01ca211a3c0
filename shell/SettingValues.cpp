#include "shell/SettingValues.h"

#include "platform/Conversions.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"

#include <cmath>
#include <limits>
#include <optional>

namespace kelvane::settingvalues {

namespace {

const QString kIntroductionSection = QStringLiteral("Introduction");

std::optional<QString> stored(const QString& key)
{
    // A sentinel no stored text can equal tells "absent" apart from "empty".
    static const QString absent = QStringLiteral("\x01absent\x01");
    const QString value = platform::settings().getSetting(application(), section(), key, absent);
    if (value == absent)
        return std::nullopt;
    return value;
}

std::optional<double> strictNumber(const QString& text)
{
    try {
        const double number = conv::toDouble(text);
        return std::isfinite(number) ? std::optional(number) : std::nullopt;
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

} // namespace

QString application() { return QStringLiteral("Kelvane"); }

QString section() { return QStringLiteral("Settings"); }

QString readText(const QString& key, const QString& defaultValue)
{
    return platform::settings().getSetting(application(), section(), key, defaultValue);
}

bool readBoolean(const QString& key, bool defaultValue)
{
    const auto text = stored(key);
    if (!text)
        return defaultValue;
    const QString trimmed = text->trimmed();
    if (trimmed.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    const auto number = strictNumber(trimmed);
    return number ? *number != 0.0 : defaultValue;
}

qint16 readInteger(const QString& key, qint16 defaultValue)
{
    const auto text = stored(key);
    if (!text)
        return defaultValue;
    const auto number = strictNumber(*text);
    if (!number)
        return defaultValue;
    try {
        return conv::toInt16(*number);
    } catch (const RuntimeError&) {
        return defaultValue;
    }
}

qint32 readColour(const QString& key, qint32 defaultValue)
{
    const auto text = stored(key);
    if (!text)
        return defaultValue;
    try {
        return conv::toInt32(conv::leadingNumber(*text));
    } catch (const RuntimeError&) {
        return defaultValue;
    }
}

double readSingle(const QString& key, double defaultValue)
{
    const auto text = stored(key);
    if (!text)
        return defaultValue;
    const auto number = strictNumber(*text);
    if (!number || std::fabs(*number) > std::numeric_limits<float>::max())
        return defaultValue;
    return double(float(*number));
}

platform::StoredSetting textValue(const QString& key, const QString& value)
{
    return {section(), key, value};
}

platform::StoredSetting booleanValue(const QString& key, bool value)
{
    return textValue(key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

platform::StoredSetting numberValue(const QString& key, double value)
{
    return textValue(key, conv::numberText(value));
}

void writeValues(const QList<platform::StoredSetting>& values)
{
    platform::settings().saveSettings(application(), values);
}

void writeText(const QString& key, const QString& value)
{
    writeValues({textValue(key, value)});
}

std::optional<QString> refusal()
{
    return platform::settings().refusal(application());
}

bool introductionSuppressed(const QString& knowledgeBaseName)
{
    const QString value = platform::settings().getSetting(application(), kIntroductionSection, knowledgeBaseName,
                                                          QStringLiteral("0"));
    return conv::leadingNumber(value) != 0.0;
}

void setIntroductionSuppressed(const QString& knowledgeBaseName, bool suppressed)
{
    platform::settings().saveSetting(application(), kIntroductionSection, knowledgeBaseName,
                                     suppressed ? QStringLiteral("1") : QStringLiteral("0"));
}

Placement readPlacement()
{
    const Placement defaults;
    return {readSingle(QStringLiteral("MainLeft"), defaults.Left), readSingle(QStringLiteral("MainTop"), defaults.Top),
            readSingle(QStringLiteral("MainWidth"), defaults.Width),
            readSingle(QStringLiteral("MainHeight"), defaults.Height)};
}

QList<platform::StoredSetting> placementValues(const Placement& placement)
{
    return {numberValue(QStringLiteral("MainLeft"), placement.Left), numberValue(QStringLiteral("MainTop"), placement.Top),
            numberValue(QStringLiteral("MainWidth"), placement.Width),
            numberValue(QStringLiteral("MainHeight"), placement.Height)};
}

void writePlacement(const Placement& placement)
{
    writeValues(placementValues(placement));
}

} // namespace kelvane::settingvalues
