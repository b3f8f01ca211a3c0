#pragma once

#include "platform/Registry.h"

#include <QString>

// Registry reads and opening documents and web links with their registered programs.
namespace basRegistry {

// A string value of the registry, as it is stored; `defaultValue` when the key or value is
// missing or the value does not fit the 255-character buffer (254 characters). When the registry cannot be
// read, tells the user in a message box and returns the empty text.
QString ReadRegistryValue(platform::RegistryHive hive, const QString& keyPath, const QString& valueName,
                          const QString& defaultValue);

// The registered local-server command line of a ProgID's class; empty when unregistered.
QString GetLocalServerPath(const QString& progId);

// Opens a file or a web link with the program registered for it, without waiting for it.
// Web links (http, https, file and mailto addresses) open with the program of the http
// scheme. The program gets the target as one argument; no shell reads the command. Blanks in
// a web link become "%20" in `target` itself. True when a program was started.
bool ShellFile(QString& target);

// Tells the user that a page or file asked for (help, a node's more information) could not be
// handed to a program: "<target> could not be opened.", with the exclamation icon.
void TellNotOpened(const QString& target);

} // namespace basRegistry
