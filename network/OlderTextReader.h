#pragma once

#include "model/oldtext/OlderTextProperties.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>

namespace kelvane {

class Node;
class OlderTextStatement;
class clsNetwork;

// Fills a network from a knowledge base in the older text form: two header chunks ending in
// "}", the network block of statements, as many node blocks as its "NODES" says, then link
// records "(evidence|owner) {values}" up to the last "{". Every block ends at its own
// closing brace.
//
// read() raises an error when reading cannot go on (no network block, a node or link
// record that is missing, cut short or wrong); the caller reports it. It returns false when
// a stored password was refused: nothing after that statement is read. Layers and nodes
// added before a failure stay in the network.
class OlderTextReader {
public:
    explicit OlderTextReader(clsNetwork& network);

    // `text` keeps what lies after the last record read.
    bool read(QString& text);
    // Reads a file's bytes, one character each in the ANSI code page: only the records read are
    // made into characters, one at a time, never the whole file.
    bool read(const QByteArray& ansiText);

private:
    // The records that `cursor` hands out, from the two header chunks on.
    template <class Records>
    bool readRecords(Records& cursor);
    bool readNetworkStatement(const OlderTextStatement& statement);
    void readScenarioStatement(const OlderTextStatement& statement);
    bool passwordAccepted(const OlderTextStatement& statement, QString& password, const QString& caption);
    void readNode(int record, const QString& block);
    void readLink(const QString& header, const QString& values);
    std::shared_ptr<Node> nodeNamed(const QString& name);

    clsNetwork& m_network;
    OlderTextProperties m_properties;
    qint16 m_layerCount = 0;
    qint16 m_nodeCount = 0;
    bool m_namesIndexed = false;
    QHash<QString, std::shared_ptr<Node>> m_lastNodeByName; // link-header form of each name
};

} // namespace kelvane
