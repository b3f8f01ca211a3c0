#pragma once

#include <QString>

namespace kelvane {

// The update requests of online edits, each written to a numbered file of its own: "orvik",
// the number in at least five digits, ".qsu". They are kept for the user, or another tool, to
// send: the folder lasts from run to run. A request holds the whole document and the
// session's next key, so the folder must be the user's alone (it is made so when missing)
// and each file is readable by its owner only. Numbering starts at 1 in every run and passes
// over the numbers whose files exist already, so no file is ever overwritten.
class UpdateSpool {
public:
    explicit UpdateSpool(QString folder) : m_folder(std::move(folder)) {}

    // The user's spool folder in the temporary folder: "kelvane-spool-" and the user's number.
    static QString FolderIn(const QString& temporaryFolder);

    // Writes the request (and a line end) as the next spool file and gives its path; raises
    // PathFileAccess when the file cannot be written whole (nothing is left of it then) or the
    // folder is open to other users.
    QString Spool(const QString& request);

    // The number of the last file written; 0 before the first.
    qint64 Counter() const { return m_counter; }

    // The path of spool file `number`.
    QString PathOf(qint64 number) const;

private:
    QString m_folder;
    qint64 m_counter = 0;
};

} // namespace kelvane
