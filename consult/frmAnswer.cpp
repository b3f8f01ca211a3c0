#include "consult/frmAnswer.h"

#include "answercontrols/TextColour.h"
#include "answercontrols/Twips.h"
#include "consult/AbstractConsultationEvents.h"
#include "consult/ConsultationFlow.h"
#include "consult/Reasoning.h"
#include "consult/TextLabelBox.h"
#include "consult/frmPreconditions.h"
#include "diagram/ctlPelnet.h"
#include "forms/WidgetFormWindow.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "model/basKelva.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "platform/QtFont.h"
#include "platform/gui/PlainText.h"

#include <QLabel>
#include <QPushButton>

namespace kelvane {

namespace {

constexpr char kModule[] = "frmAnswer";
constexpr int kHelpTopic = 28;
constexpr double kClientWidth = 6615;
constexpr double kClientHeight = 2340;
constexpr double kGrowth = 2.25; // line heights below the top of the newest line

Qt::Alignment alignment() { return (basGlobal::AlignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter; }

using platform::gui::PlainLabel;

} // namespace

frmAnswer::frmAnswer(QWidget* parent) : ConsultationDialog(parent, kModule, kHelpTopic, kClientWidth, kClientHeight)
{
    m_lblQuestion = control<PlainLabel>(this, "lblQuestion", 120, 120, 6375, 495);
    m_lblQuestion->setWordWrap(true);
    m_Label5 = control<PlainLabel>(this, "Label5", 120, 690, 1335, 255);
    m_lblYourAnswer = control<PlainLabel>(this, "lblYourAnswer", 1560, 690, 3255, 255);
    m_Label3 = control<PlainLabel>(this, "Label3", 120, 1095, 1335, 255);
    m_lblMyAnswer = control<PlainLabel>(this, "lblMyAnswer", 1560, 1095, 3255, 255);
    m_Label4 = control<PlainLabel>(this, "Label4", 120, 1455, 4695, 255);
    m_cmdAgree = commandButton(this, "cmdAgree", 4935, 630, 1455, 375);
    connect(m_cmdAgree, &QPushButton::clicked, this, [this] { cmdAgree_Click(); });
    m_cmdDisagree = commandButton(this, "cmdDisagree", 4935, 1035, 1455, 375);
    connect(m_cmdDisagree, &QPushButton::clicked, this, [this] { cmdDisagree_Click(); });

    ReasonLine templ {control<PlainLabel>(this, "lblReason", 120, 1440, 4935, 390),
                      commandButton(this, "cmdReject", 5175, 1440, 1215, 360), {}};
    templ.reason->setWordWrap(true);
    templ.reason->hide();
    templ.reject->hide();
    m_lines.push_back(templ);
}

frmAnswer::~frmAnswer() = default;

void frmAnswer::Form_Load()
{
    WidgetFormWindow form(*this);
    basLibrary::CentreForm(form);
    node->setOverridden(false);
    showNodeCaption();

    TextLabel& question = *requireObject(node->Question);
    m_lblQuestion->setAlignment(alignment());
    m_lblQuestion->setText(question.Text());
    m_lblQuestion->setFont(platform::toQFont(textbox::fontOf(question)));
    applyTextColour(*m_lblQuestion, question.ForeColor);
    showWholeQuestion(question);

    m_Label5->setText(QStringLiteral("You answered:"));
    m_Label4->setText(QStringLiteral("The knowledge base agrees"));
    m_Label3->setText(QStringLiteral("It answered:"));
    for (QLabel* caption : {m_Label5, m_Label4, m_Label3})
        caption->setAlignment(alignment());
    m_cmdAgree->setText(QStringLiteral("Proceed"));
    m_cmdDisagree->setText(QStringLiteral("Proceed"));

    for (const auto& link : node->Links())
        link->Active = true;

    if (basGlobal::AlignRight) {
        twips::setLeft(*m_lblYourAnswer, twips::Left(*m_Label5));
        twips::setLeft(*m_lblMyAnswer, twips::Left(*m_Label3));
    }
    m_lblYourAnswer->setAlignment(alignment());
    m_lblMyAnswer->setAlignment(alignment());
    DisplayReasoning();
}

// A question taller than its label grows it as the question dialog grows its own, and moves
// everything below it, the dialog's foot included, down by as much.
void frmAnswer::showWholeQuestion(TextLabel& question)
{
    const double designed = twips::Height(*m_lblQuestion);
    LabelCaption caption(*m_lblQuestion, textbox::fontOf(question));
    basLibrary::AutoSizeLabel(caption, question.Text());
    const double growth = twips::Height(*m_lblQuestion) - designed;
    if (growth <= 0)
        return;
    for (QWidget* below : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (below != m_lblQuestion)
            twips::setTop(*below, twips::Top(*below) + growth);
    }
    setHeight(Height() + growth);
}

void frmAnswer::DisplayReasoning()
{
    skippingErrors([this] {
        const Reasoning reasoning = Reasoning::of(node, basGlobal::AlignRight);
        m_lblYourAnswer->setText(reasoning.yourAnswer);
        m_lblMyAnswer->setText(reasoning.myAnswer);
        if (reasoning.agrees) {
            m_Label4->setText(QStringLiteral("The knowledge base agrees"));
            m_lblMyAnswer->hide();
            m_Label3->hide();
            m_cmdDisagree->hide();
            return;
        }
        m_Label4->setText(QStringLiteral("The knowledge base disagrees"));
        m_lblMyAnswer->show();
        m_Label3->show();
        for (const Reasoning::Line& line : reasoning.lines)
            skippingErrors([&] { addLine(line.text, line.link, !reasoning.contradiction); });
    });
}

// Loads line i below the line before it, each one template height high unless its text needs
// more; from the second line on, and for a first line that grew, the dialog grows with them
// (2.25 template heights below the top of a line of template height).
void frmAnswer::addLine(const QString& text, const std::shared_ptr<Link>& link, bool rejectable)
{
    const ReasonLine& templ = m_lines.front();
    const int index = int(m_lines.size());
    const double lineHeight = twips::Height(*templ.reason);
    const double top = twips::Top(*m_lines.back().reason) + twips::Height(*m_lines.back().reason);

    auto* reason =
        control<PlainLabel>(this, "lblReason", twips::Left(*templ.reason), top, twips::Width(*templ.reason), lineHeight);
    reason->setWordWrap(true);
    reason->setAlignment(alignment());
    reason->setText(text);
    const int needed = reason->heightForWidth(reason->width());
    const bool grown = needed > reason->height();
    if (grown)
        reason->resize(reason->width(), needed);
    reason->show();

    auto* reject = commandButton(this, "cmdReject", twips::Left(*templ.reject), top, twips::Width(*templ.reject),
                                 twips::Height(*templ.reject));
    reject->setText(QStringLiteral("&Reject"));
    reject->setVisible(rejectable);
    connect(reject, &QPushButton::clicked, this, [this, index] { cmdReject_Click(index); });

    m_lines.push_back({reason, reject, link});
    if (index > 1 || grown) {
        const double below = top + twips::Height(*reason) + (kGrowth - 1) * lineHeight;
        setHeight(index > 1 ? below : std::max(Height(), below));
    }
}

void frmAnswer::unloadLines()
{
    while (m_lines.size() > 1) {
        ReasonLine line = m_lines.back();
        m_lines.pop_back();
        line.reason->hide();
        line.reject->hide();
        line.reason->deleteLater();
        line.reject->deleteLater(); // its own click may still be running
    }
}

void frmAnswer::cmdAgree_Click()
{
    handleInput("cmdAgree_Click", [this] { agree(); });
}

void frmAnswer::agree()
{
    node->setOverridden(m_cmdDisagree->isVisibleTo(this));
    goOn();
}

void frmAnswer::cmdDisagree_Click()
{
    handleInput("cmdDisagree_Click", [this] {
        node->setOverridden(false);
        node->setAnswer(basKelva::CalculateAnswer(node, false));
        goOn();
    });
}

// Unloads the dialog and goes back to where the question came from, sending the changed
// document to the knowledge server while connected.
void frmAnswer::goOn()
{
    Unload();
    basKelva::HandleBackwardChain(node, ParentPrecondition);
    ctlPelnet& display = *requireObject(ParentDisplay.get());
    if (display.Connected)
        display.ServerUpdate(display.Network()->GUID(), display.SerializeOutXML(), QString());
}

void frmAnswer::cmdReject_Click(int Index)
{
    handleInput("cmdReject_Click", [this, Index] {
        if (Index > 0 && Index <= lineCount())
            if (const auto& link = m_lines.at(Index).link)
                link->Active = false;
        unloadLines();
        DisplayReasoning();
    });
}

void frmAnswer::Form_Unload()
{
    for (const auto& link : node->Links())
        link->Active = true;
    qint16 flag = 0;
    consultationEvents().FireNodeAfterAnswer(node, flag);
}

} // namespace kelvane
