#pragma once

#include "platform/CheckedSaveFile.h"

#include <QString>

namespace kelvane {

// A knowledge-base XML document being written, in UTF-8 (as its prolog declares). The
// text goes to a temporary file beside the target, which replaces the target only when
// commit() succeeds: a save that fails part-way (a full disk, a file-size limit, a short
// write) leaves the previous document as it was, byte for byte. Destroying an output that
// was not committed discards what was written.
//
// clsNetwork::FileSave writes a one-network document through its own output; a caller
// writing several networks into one document opens an output, writes the start, hands it
// to FileSave for each network, writes the end and commits.
class DocumentOutput {
public:
    explicit DocumentOutput(const QString& fileName);
    DocumentOutput(const DocumentOutput&) = delete;
    DocumentOutput& operator=(const DocumentOutput&) = delete;

    // Starts the temporary file; false (with errorString()) when it cannot be made.
    bool open();

    // The prolog, the document type and the opening root tag: the text before the first
    // network of every document (a compound file's network stream starts with it too).
    static QString documentStart();
    void writeDocumentStart();
    // One network entry: "<kelvanenetwork>", the network text, "</kelvanenetwork>".
    void writeNetworkEntry(const QString& networkText);
    // The closing root tag.
    void writeDocumentEnd();

    // True when every write was whole and the target was replaced.
    bool commit();

    QString fileName() const { return m_file.fileName(); }
    QString errorString() const { return m_file.errorString(); }

private:
    void write(QStringView text);

    platform::CheckedSaveFile m_file;
};

} // namespace kelvane
