#pragma once

#include "model/PacedYield.h"

#include <QString>
#include <QStringView>

namespace kelvane {

class AbstractProgressBar;
class ReadNodeSet;
class clsNetwork;

// Fills a network from its XML text: the first network element (settings, texts, pictures,
// passwords, display scheme, properties, controls), then every node element, whose links
// are connected and which are placed in layers. Each network-level text is unescaped once.
//
// read() raises an error when reading must stop (a stored password that cannot be decoded,
// a layer that cannot be added); it returns false when a password was refused (no node is
// read then) or when a field could not be read (the field keeps its value and is reported,
// the rest is read).
class NetworkXMLReader {
public:
    NetworkXMLReader(clsNetwork& network, AbstractProgressBar* progressBar);

    // `text` loses the node elements it held (and whatever preceded them).
    bool read(QString& text);

private:
    void readIdentity(QStringView text);
    void readTexts(QStringView content);
    void readPictures(QStringView content);
    bool passwordsAccepted(QStringView content);
    void readSettings(QStringView content);
    void readDisplayScheme(QStringView content);
    // Reads the node elements into `nodes` and joins their links, on the same workers.
    void readNodes(QString& text, ReadNodeSet& nodes, qsizetype progress);
    void showProgress(qsizetype done);

    // Runs one field's step; a failure is reported and remembered, and reading goes on.
    template <class Step>
    void field(Step&& step);

    clsNetwork& m_network;
    AbstractProgressBar* m_progressBar;
    qsizetype m_total = 0;
    int m_shownPercent = -1;
    PacedYield m_yield; // the message loop runs every few milliseconds, not after every node
    bool m_fieldsRead = true;
};

} // namespace kelvane
