#include "platform/CommandLine.h"

namespace platform {

QStringList splitCommandLine(const QString& commandLine)
{
    QStringList parts;
    QString part;
    bool inPart = false;
    bool quoted = false;
    for (const QChar c : commandLine) {
        if (c == u'"') {
            quoted = !quoted;
            inPart = true; // "" is an empty argument
        } else if (!quoted && (c == u' ' || c == u'\t')) {
            if (inPart)
                parts.append(part);
            part.clear();
            inPart = false;
        } else {
            part += c;
            inPart = true;
        }
    }
    if (inPart)
        parts.append(part);
    return parts;
}

} // namespace platform
