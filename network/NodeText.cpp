#include "network/NodeText.h"

#include "model/FontProperties.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "model/basKelva.h"
#include "model/basLibrary.h"
#include "network/RequiredNodes.h"
#include "network/VisibleText.h"
#include "platform/Canvas.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <cmath>

namespace kelvane::drawing {

namespace {

constexpr double kCaptionGap = 30; // twips between the centre line and the caption
constexpr qsizetype kSampleCharacters = 64; // measured to tell how many characters a width holds

// Runs one step whose errors are ignored: the drawing goes on with the next step.
template <class Step>
void ignoringErrors(Step&& step)
{
    try {
        step();
    } catch (const RuntimeError&) {
    }
}

// The font a name is drawn in: its label's, or the defaults, with the default font name when it
// names none.
platform::FontDescription nameFont(const FontProperties& font)
{
    return {font.Name.isEmpty() ? basGlobal::DefaultFontName : font.Name, double(font.Size), font.Bold, font.Italic,
            font.Underline, font.Strikethru};
}

// The name's font and colour, as settleNodeText leaves its label: read only.
void applyNameFont(platform::Canvas& canvas, const TextLabel& label)
{
    canvas.setFont(nameFont(label.fontOrDefaults()));
    canvas.setForeColor(label.ForeColor);
}

void plainStyles(platform::Canvas& canvas)
{
    canvas.setFontBold(false);
    canvas.setFontItalic(false);
    canvas.setFontUnderline(false);
    canvas.setFontStrikethru(false);
}

// The caption takes the colour and font of the answer it names (strikethrough stays off); the
// answer's label has its font made when the caption is decided.
void applyAnswerFont(platform::Canvas& canvas, const TextLabel& answer)
{
    canvas.setForeColor(answer.ForeColor);
    const FontProperties font = answer.fontOrDefaults();
    canvas.setFontBold(font.Bold);
    canvas.setFontItalic(font.Italic);
    canvas.setFontSize(font.Size);
    canvas.setFontName(font.Name);
    canvas.setFontUnderline(font.Underline);
}

// A line as far as the surface can show it: a name or caption of any length is cut before it
// is measured or drawn, so that it costs no more than the surface's width.
QString visibleLine(const platform::Canvas& canvas, const QString& line)
{
    return visibletext::cutToCharacters(line, visibletext::charactersAcross(canvas.ScaleWidth()));
}

// A line as it is drawn, with its width.
struct ShownLine {
    QString text;
    double width = 0;
};

ShownLine measured(const platform::Canvas& canvas, QString text)
{
    const double width = canvas.TextWidth(text);
    return {std::move(text), width};
}

// A line as the surface shows it, with its width: its visibleLine and, when that is long enough
// to reach past both edges of the surface centred on x, cut further to the first characters
// that still do. Both edges then hide its ends, so the characters beyond cost nothing; a line
// whose end shows stays as it is. A line that breaks (it prints its further parts from the left
// edge) is only cut to the surface's width.
ShownLine shownLine(const platform::Canvas& canvas, const QString& line, double x)
{
    const double surface = canvas.ScaleWidth();
    // The visibleLine is made only when it is what is shown: a long line cut further is not
    // copied twice.
    const qsizetype limit = visibletext::charactersAcross(surface);
    const auto visible = [&] { return measured(canvas, visibleLine(canvas, line)); };
    const QStringView kept = QStringView(line).left(visibletext::keptCharacters(line, limit));
    const qsizetype visibleSize = line.size() <= limit ? line.size() : kept.size() + 1; // with its ellipsis
    if (visibleSize <= visibletext::kCharactersMeasuredWhole || kept.contains(u'\r') || kept.contains(u'\n'))
        return visible();
    // Wider than this, centred on x, a line covers the surface from edge to edge with room for
    // a glyph reaching out of its box at either end.
    const double edgeToEdge = 2 * std::max(x, surface - x) + 2 * canvas.TextHeight(QString());
    const double ellipsis = canvas.TextWidth(QString(QChar(0x2026)));
    const double sample = canvas.TextWidth(line.left(kSampleCharacters));
    if (!(sample > 0))
        return visible();
    // As many characters as the sample says reach past both edges, and a tenth more; twice as
    // many until they do.
    qsizetype characters = qsizetype(std::ceil(edgeToEdge / sample * 1.1 * kSampleCharacters));
    for (; characters < visibleSize - 1; characters *= 2) {
        ShownLine prefix = measured(canvas, visibletext::cutToCharacters(line, characters));
        if (prefix.width - ellipsis > edgeToEdge)
            return prefix;
    }
    return visible();
}

// Prints each line centred on x, from the current position downwards.
void printCentredLines(platform::Canvas& canvas, const QStringList& lines, double x)
{
    for (const QString& line : lines) {
        const ShownLine shown = shownLine(canvas, line, x);
        canvas.setCurrentX(x - shown.width / 2);
        canvas.Print(shown.text);
    }
}

NodeCaption answerCaption(const std::shared_ptr<Node>& node, double value)
{
    auto label = basKelva::GetAnswerObject(node, value);
    if (!label)
        return {};
    label->Font(); // made now, so that drawing the caption only reads the label
    QString text = label->Text();
    return {std::move(text), std::move(label)};
}

} // namespace

QStringList nameLines(const QString& text)
{
    if (!text.contains(u'\r'))
        return {text}; // found at once, however long the name
    QStringList lines = basLibrary::SplitDoubleQuoted(text, u'\r', false);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].startsWith(u'\n'))
            lines[i].remove(0, 1);
    }
    return lines;
}

void measureNodeName(platform::Canvas& canvas, Node& node)
{
    const auto label = node.Name();
    canvas.setFont(nameFont(label->fontOrDefaults()));
    for (const QString& line : nameLines(label->Text())) {
        if (line.size() <= visibletext::kCharactersMeasuredWhole)
            canvas.TextWidth(line);
    }
}

bool showsCaption(const Node& node, bool networkShowsAnswers, RequiredNodes& required)
{
    return networkShowsAnswers && basGlobal::Settings.ShowAnswer && basGlobal::ApplicationMode == 1
           && (node.Answered || !node.NoDefault || node.Irrelevant() || node.NeedInfo() || required.of(node));
}

NodeCaption chooseCaption(const std::shared_ptr<Node>& node, RequiredNodes& required)
{
    // An answer or a default outranks "Irrelevant".
    if (node->NeedInfo())
        return {QStringLiteral("Need Info"), nullptr};
    if (node->Answered)
        return answerCaption(node, node->Answer());
    if (!node->NoDefault)
        return answerCaption(node, node->Default);
    if (required.of(*node))
        return {QStringLiteral("Required"), nullptr};
    if (node->Irrelevant())
        return {QStringLiteral("Irrelevant"), nullptr};
    return {};
}

CaptionDecision settleNodeText(const std::shared_ptr<Node>& node, bool networkShowsAnswers, RequiredNodes& required)
{
    // A name label without a font name takes the default one for good (one without a font of its
    // own is given one only then).
    const auto label = node->Name();
    if (label->fontOrDefaults().Name.isEmpty())
        label->Font()->Name = basGlobal::DefaultFontName;
    CaptionDecision decision;
    try {
        decision.shown = showsCaption(*node, networkShowsAnswers, required);
        if (decision.shown)
            decision.caption = chooseCaption(node, required);
    } catch (...) {
        decision.failure = std::current_exception();
    }
    return decision;
}

void drawNodeText(platform::Canvas& canvas, const Node& node, QPointF centre, const CaptionDecision& decision)
{
    const TextLabel& label = *requireObject(node.nameLabelIfMade());
    applyNameFont(canvas, label);
    const QString name = label.Text();
    if (decision.failure && !decision.shown)
        std::rethrow_exception(decision.failure);
    const bool withCaption = decision.shown;

    // The name block is centred on the centre, or ends at the centre line above a caption.
    const double nameHeight = canvas.TextHeight(name);
    canvas.setCurrentY(centre.y() - (withCaption ? nameHeight : nameHeight / 2));
    printCentredLines(canvas, nameLines(name), centre.x());
    if (!withCaption)
        return;

    plainStyles(canvas);
    if (decision.failure)
        std::rethrow_exception(decision.failure);
    const NodeCaption& caption = decision.caption;
    ignoringErrors([&] {
        if (caption.answerLabel)
            applyAnswerFont(canvas, *caption.answerLabel);
    });
    ShownLine shown {visibleLine(canvas, caption.text)};
    ignoringErrors([&] {
        shown = shownLine(canvas, caption.text, centre.x());
        canvas.setCurrentX(centre.x() - shown.width / 2);
    });
    ignoringErrors([&] { canvas.setCurrentY(centre.y() + kCaptionGap); });
    ignoringErrors([&] { canvas.Print(shown.text); });
}

} // namespace kelvane::drawing
