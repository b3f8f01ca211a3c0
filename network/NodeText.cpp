#include "network/NodeText.h"

#include "model/FontProperties.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "model/basKelva.h"
#include "model/basLibrary.h"
#include "network/VisibleText.h"
#include "platform/Canvas.h"
#include "platform/RuntimeError.h"

namespace kelvane::drawing {

namespace {

constexpr double kCaptionGap = 30; // twips between the centre line and the caption

// Runs one step whose errors are ignored: the drawing goes on with the next step.
template <class Step>
void ignoringErrors(Step&& step)
{
    try {
        step();
    } catch (const RuntimeError&) {
    }
}

void applyNameFont(platform::Canvas& canvas, TextLabel& label)
{
    const auto font = label.Font();
    if (font->Name.isEmpty())
        font->Name = basGlobal::DefaultFontName;
    canvas.setFontName(font->Name);
    canvas.setFontSize(font->Size);
    canvas.setFontBold(font->Bold);
    canvas.setFontItalic(font->Italic);
    canvas.setFontUnderline(font->Underline);
    canvas.setFontStrikethru(font->Strikethru);
    canvas.setForeColor(label.ForeColor);
}

void plainStyles(platform::Canvas& canvas)
{
    canvas.setFontBold(false);
    canvas.setFontItalic(false);
    canvas.setFontUnderline(false);
    canvas.setFontStrikethru(false);
}

// The caption takes the colour and font of the answer it names (strikethrough stays off).
void applyAnswerFont(platform::Canvas& canvas, TextLabel& answer)
{
    canvas.setForeColor(answer.ForeColor);
    const auto font = answer.Font();
    canvas.setFontBold(font->Bold);
    canvas.setFontItalic(font->Italic);
    canvas.setFontSize(font->Size);
    canvas.setFontName(font->Name);
    canvas.setFontUnderline(font->Underline);
}

// A line as far as the surface can show it: a name or caption of any length is cut before it
// is measured or drawn, so that it costs no more than the surface's width.
QString visibleLine(const platform::Canvas& canvas, const QString& line)
{
    return visibletext::cutToCharacters(line, visibletext::charactersAcross(canvas.ScaleWidth()));
}

// Prints each line centred on x, from the current position downwards.
void printCentredLines(platform::Canvas& canvas, const QStringList& lines, double x)
{
    for (const QString& line : lines) {
        const QString shown = visibleLine(canvas, line);
        canvas.setCurrentX(x - canvas.TextWidth(shown) / 2);
        canvas.Print(shown);
    }
}

NodeCaption answerCaption(const std::shared_ptr<Node>& node, double value)
{
    auto label = basKelva::GetAnswerObject(node, value);
    if (!label)
        return {};
    QString text = label->Text();
    return {std::move(text), std::move(label)};
}

} // namespace

QStringList nameLines(const QString& text)
{
    QStringList lines = basLibrary::SplitDoubleQuoted(text, u'\r', false);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].startsWith(u'\n'))
            lines[i].remove(0, 1);
    }
    return lines;
}

bool showsCaption(const Node& node, bool networkShowsAnswers)
{
    return networkShowsAnswers && basGlobal::Settings.ShowAnswer && basGlobal::ApplicationMode == 1
           && (node.Answered || !node.NoDefault || node.Irrelevant() || node.NeedInfo() || node.Required());
}

NodeCaption chooseCaption(const std::shared_ptr<Node>& node)
{
    // An answer or a default outranks "Irrelevant".
    if (node->NeedInfo())
        return {QStringLiteral("Need Info"), nullptr};
    if (node->Answered)
        return answerCaption(node, node->Answer());
    if (!node->NoDefault)
        return answerCaption(node, node->Default);
    if (node->Required())
        return {QStringLiteral("Required"), nullptr};
    if (node->Irrelevant())
        return {QStringLiteral("Irrelevant"), nullptr};
    return {};
}

void drawNodeText(platform::Canvas& canvas, const std::shared_ptr<Node>& node, QPointF centre,
                  bool networkShowsAnswers)
{
    const auto label = node->Name();
    applyNameFont(canvas, *label);
    const QString name = label->Text();
    const bool withCaption = showsCaption(*node, networkShowsAnswers);

    // The name block is centred on the centre, or ends at the centre line above a caption.
    const double nameHeight = canvas.TextHeight(name);
    canvas.setCurrentY(centre.y() - (withCaption ? nameHeight : nameHeight / 2));
    printCentredLines(canvas, nameLines(name), centre.x());
    if (!withCaption)
        return;

    plainStyles(canvas);
    const NodeCaption caption = chooseCaption(node);
    ignoringErrors([&] {
        if (caption.answerLabel)
            applyAnswerFont(canvas, *caption.answerLabel);
    });
    const QString shown = visibleLine(canvas, caption.text);
    ignoringErrors([&] { canvas.setCurrentX(centre.x() - canvas.TextWidth(shown) / 2); });
    ignoringErrors([&] { canvas.setCurrentY(centre.y() + kCaptionGap); });
    ignoringErrors([&] { canvas.Print(shown); });
}

} // namespace kelvane::drawing
