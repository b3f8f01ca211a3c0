#pragma once

#include <QPointF>
#include <QString>
#include <QStringList>
#include <exception>
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

// Whether the node gets a status caption: only in the viewer, while both the network and
// the user's settings show answers, and only for a node that is answered, has a default,
// is irrelevant, needs information or is required (as `required` finds it).
bool showsCaption(const Node& node, bool networkShowsAnswers, RequiredNodes& required);

// The status caption and, when its text comes from one of the node's answers, that
// answer's label (whose colour and font the caption takes).
struct NodeCaption {
    QString text;
    std::shared_ptr<TextLabel> answerLabel;
};
NodeCaption chooseCaption(const std::shared_ptr<Node>& node, RequiredNodes& required);

// Whether a node gets a status caption, and which (showsCaption, chooseCaption). A decision
// that failed holds the error, which drawNodeText raises where finding it fails.
struct CaptionDecision {
    bool shown = false;
    NodeCaption caption;
    std::exception_ptr failure; // in showsCaption, or in chooseCaption when shown
};

// Does to the model, ahead of drawing the text of an enabled node, what drawing it does: gives
// its name label its default text and, when it names no font, the default font name for good,
// and decides its caption (with what choosing it reports). drawNodeText then only reads.
CaptionDecision settleNodeText(const std::shared_ptr<Node>& node, bool networkShowsAnswers, RequiredNodes& required);

// The name of an enabled node settled by settleNodeText, centred on `centre` in the name label's
// font and colour; with a status caption (as `caption` decides) the name ends at the centre line
// and the caption is centred 30 twips below it. Reads the node and its labels only.
void drawNodeText(platform::Canvas& canvas, const Node& node, QPointF centre, const CaptionDecision& caption);

} // namespace drawing
} // namespace kelvane
