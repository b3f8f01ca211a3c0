#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace kelvane {

class Link;
class Node;

// Whether the knowledge base agrees with the answer a node was given, and why not: the
// explanation the answer dialog shows. Agreement is equality of the two answer texts.
// When it disagrees, there is one line per active link that pulls the knowledge base's
// answer towards true or towards false ("Because " for the links that pull the way its
// answer differs from the user's, "Although " for the others, in link order), or a single
// line naming a contradiction between two forcing links.
//
// Working it out recomputes the degree of truth of each active link; a contradiction is
// also shown to the user by the calculation itself. A link whose data cannot be read
// gives no line.
class Reasoning {
public:
    struct Line {
        QString text;
        std::shared_ptr<Link> link; // the link the line stands for; none for a contradiction
    };

    // `alignRight` gives the short wording of the lines: no verb after the name.
    static Reasoning of(const std::shared_ptr<Node>& node, bool alignRight);

    QString yourAnswer; // the text of the user's answer (or the node's default)
    QString myAnswer;   // the text of the knowledge base's answer
    bool agrees = false;
    bool contradiction = false;
    std::vector<Line> lines;
};

} // namespace kelvane
