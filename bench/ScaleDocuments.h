#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

namespace kelvane {
class clsNetwork;
}

// Knowledge bases of the sizes and shapes the scale benchmark measures, made at run time.
namespace kelvane::bench {

// `layers` layers of `width` nodes; each node above the first links to `links` nodes of the
// layer below, with weights that let an answer travel.
std::shared_ptr<clsNetwork> layeredNetwork(int layers, int width, int links);

// A chain of `length` answered nodes, all in layer 1, each the evidence of the node made before
// it (the top node first, as a chain is built by adding each node's evidence after it).
std::shared_ptr<clsNetwork> chainInOneLayer(int length);

// Saves `network` as the XML document `path`; false when it could not be written.
bool saveDocument(clsNetwork& network, const QString& path);

// An XML document of `nodeCount` nodes in 10 layers, three links a node.
bool writeLayeredDocument(const QString& path, int nodeCount);

// An XML document of one network holding one node whose name is `characters` long (words of
// varied length between blanks, as a pasted text would be).
bool writeLongNameDocument(const QString& path, qsizetype characters);

// Two layers: `children` answered nodes in layer 1, every one of them the evidence of the one
// node of layer 2.
std::shared_ptr<clsNetwork> wideParentNetwork(int children);

// An XML document of `chains` chains of `depth` nested lower-level networks: the top network
// holds one external node per chain, and each network of a chain one node that opens the next.
bool writeNestedChainsDocument(const QString& path, int chains, int depth);

// An XML document of `nodeCount` nodes in 10 layers, three links a node, each node named with
// `characters` of words, each name its own.
bool writeLongNamesDocument(const QString& path, int nodeCount, qsizetype characters);

// An XML document of one node whose lower level lies in the file `lowerFile` beside it, and that
// file: `bytes` random bytes, a file that is no knowledge base at all.
bool writeDocumentWithLowerFile(const QString& path, const QString& lowerFile, qint64 bytes);

} // namespace kelvane::bench
