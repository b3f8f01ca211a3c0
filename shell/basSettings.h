#pragma once

#include "platform/SettingsStore.h"

#include <QList>
#include <QString>

// Loading and saving the user's settings: the model's shared values (model/basGlobal.h) and
// the shell's own (shell/ShellGlobals.h), under "Kelvane", section "Settings".
namespace basGlobal {

// The key the stored server password is scrambled with.
inline const QString kPasswordKey = QStringLiteral("quabel");

// Reads every setting into its global (a missing or unreadable value gives its default) and
// sets the automation flag when the command line holds "-Embedding" in any letter case. A
// settings file that cannot be used at all gives every default, and the user is told.
void LoadSettings(const QString& commandLine);

// Writes the settings back, in one write of the settings file; the neutral colour, read only, is
// not written. Raises PathFileAccess (75) when the store cannot be written.
void SaveSettings();
// The values SaveSettings writes, for a save of more settings at once.
QList<platform::StoredSetting> SettingsToSave();

// The stored form of the server password and back: its UTF-8 bytes scrambled with the key, then
// base64, so that any character, and a byte equal to its key character (scrambled to NUL),
// survives any store. Values scrambled from Windows-1252 bytes still read back.
QString StoredPassword(const QString& password);
QString PasswordFromStored(const QString& stored);

// True when the command line asks for a start by an automation client.
bool IsAutomationStart(const QString& commandLine);

} // namespace basGlobal
