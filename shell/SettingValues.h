#pragma once

#include "platform/SettingsStore.h"

#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>

// Typed reads and writes of the program's per-user settings: application "Kelvane", section
// "Settings", every value stored as text. A value that is absent, or that does not read as its
// type, gives the default the caller names, so a damaged settings file never stops the program.
namespace kelvane::settingvalues {

// The application and section every key of the program lives under.
QString application();
QString section();

QString readText(const QString& key, const QString& defaultValue = {});
// "True" / "False" in any letter case, or a number (0 is False, any other True).
bool readBoolean(const QString& key, bool defaultValue);
// A whole number of 16 bits; a fraction rounds half to even.
qint16 readInteger(const QString& key, qint16 defaultValue);
// The numeric value of the text's leading number (0 when it starts with none), as a 32-bit
// colour; the default only when the key is absent or the number does not fit.
qint32 readColour(const QString& key, qint32 defaultValue);
// A number such as a window's placement in twips, as a single; one beyond a single's range gives
// the default.
double readSingle(const QString& key, double defaultValue);

// Values to save, as text, under a key of the section.
platform::StoredSetting textValue(const QString& key, const QString& value);
platform::StoredSetting booleanValue(const QString& key, bool value); // "True" / "False"
platform::StoredSetting numberValue(const QString& key, double value);

// Saves the values together, in one write of the settings file; raises PathFileAccess (75)
// when it cannot be written, which then stays as it was.
void writeValues(const QList<platform::StoredSetting>& values);
void writeText(const QString& key, const QString& value);

// Why the program's settings are read as their defaults and cannot be saved; nothing when they
// can be.
std::optional<QString> refusal();

// The introduction screen of a knowledge base is turned off ("1") or on ("0"). Kept in a
// section of its own, keyed by the knowledge base's name, so that a knowledge base named like
// a setting cannot overwrite that setting.
bool introductionSuppressed(const QString& knowledgeBaseName);
void setIntroductionSuppressed(const QString& knowledgeBaseName, bool suppressed);

// The main window's placement in twips.
struct Placement {
    double Left = 500;
    double Top = 500;
    double Width = 6400;
    double Height = 4800;
};
Placement readPlacement();
QList<platform::StoredSetting> placementValues(const Placement& placement);
void writePlacement(const Placement& placement);

} // namespace kelvane::settingvalues
