#pragma once

#include <QPointF>
#include <QString>
#include <QStringList>
#include <memory>

namespace platform {
class Canvas;
}

namespace kelvane {

class Node;
class RequiredNodes;
class TextLabel;

namespace drawing {

// The lines of a node's name: its text split at carriage returns outside double quotes
// (a line feed right after a carriage return belongs to that break). A name without a
// carriage return is one line.
QStringList nameLines(const QString& text);

// Measures on the canvas, in the font they are drawn in, the lines of a node's name that
// drawNodeText measures whatever the surface's size (those short enough to be laid out whole):
// a canvas that keeps widths then has them before a drawing asks. Draws nothing.
void measureNodeName(platform::Canvas& canvas, Node& node);

// Whether nodes get status captions at all: only in the viewer, while both the network and the
// user's settings show answers.
bool captionsShown(bool networkShowsAnswers);

// Whether the node gets a status caption: while captionsShown, only for a node that is
// answered, has a default, is irrelevant, needs information or is required (as `required`
// finds it).
bool showsCaption(const Node& node, bool networkShowsAnswers, RequiredNodes& required);

// The status caption and, when its text comes from one of the node's answers, that
// answer's label (whose colour and font the caption takes).
struct NodeCaption {
    QString text;
    std::shared_ptr<TextLabel> answerLabel;
};
NodeCaption chooseCaption(const std::shared_ptr<Node>& node, RequiredNodes& required);

// The name of an enabled node, centred on `centre` in the name label's font and colour;
// with a status caption the name ends at the centre line and the caption is centred
// 30 twips below it. A name label without a font name gets the default font name. The nodes
// of one drawing share `required`.
void drawNodeText(platform::Canvas& canvas, const std::shared_ptr<Node>& node, QPointF centre,
                  bool networkShowsAnswers, RequiredNodes& required);

} // namespace drawing
} // namespace kelvane
