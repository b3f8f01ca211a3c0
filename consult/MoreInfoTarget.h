#pragma once

#include <QString>

namespace kelvane {

// A node's more-information target: a web link ("HTTP://..." or "FILE:/..." in any case)
// or a file, absolute or relative to the folder of the knowledge base's file. The target is
// resolved once, and that one path is both tested and opened, with the desktop's opener:
// the target is never started as a program.
class MoreInfoTarget {
public:
    MoreInfoTarget(const QString& stored, const QString& knowledgeBaseFile);

    bool isEmpty() const { return m_stored.isEmpty(); }
    bool isWebLink() const;
    // The target as it is tested and opened.
    const QString& path() const { return m_path; }

    // The More Info button is shown for a target that has a registered open command and is
    // a web link or an existing file.
    bool isShown() const;

    // What the desktop's opener is given: the web link with its blanks escaped, or the file's
    // path in the host's form.
    QString openerArgument() const;
    // Opens the target with the desktop's opener; the dialog stays open. False when the opener
    // could not be started (it is not installed).
    bool open() const;

private:
    bool hasOpenCommand() const;

    QString m_stored;
    QString m_path;
};

} // namespace kelvane
