#include "consult/frmQuestion.h"

#include "answercontrols/Fuzzy.h"
#include "answercontrols/Twips.h"
#include "consult/AbstractMainWindow.h"
#include "consult/AbstractConsultationEvents.h"
#include "consult/ConsultationFlow.h"
#include "consult/MoreInfoTarget.h"
#include "consult/TextLabelBox.h"
#include "consult/frmPreconditions.h"
#include "diagram/ctlPelnet.h"
#include "forms/WidgetFormWindow.h"
#include "model/FontProperties.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "model/basRegistry.h"
#include "network/clsNetwork.h"
#include "platform/UiServices.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextEdit>

namespace kelvane {

namespace {

constexpr char kModule[] = "frmQuestion";
constexpr int kHelpTopic = 21;
constexpr double kClientWidth = 7155;
constexpr double kClientHeight = 7140;
constexpr double kGap = 45;
constexpr double kResetBelowAnswers = 15; // Reset's top below the answers frame's, as designed


double bottomOf(const QWidget& widget) { return twips::Top(widget) + twips::Height(widget); }

bool isEnter(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

frmQuestion::frmQuestion(QWidget* parent) : ConsultationDialog(parent, kModule, kHelpTopic, kClientWidth, kClientHeight)
{
    m_fraQuestion = control<QGroupBox>(this, "fraQuestion", 60, 75, 6060, 915);
    frameIcon(*m_fraQuestion, QStyle::SP_MessageBoxQuestion);
    m_lblQuestion = control<QTextEdit>(m_fraQuestion, "lblQuestion", 900, 75, 5100, 795);

    m_fraInformation = control<QGroupBox>(this, "fraInformation", 90, 990, 7065, 975);
    frameIcon(*m_fraInformation, QStyle::SP_MessageBoxInformation);
    m_lblReason = control<QTextEdit>(m_fraInformation, "lblReason", 855, 135, 5100, 795);
    m_cmdLink = commandButton(m_fraInformation, "cmdLink", 6090, 90, 885, 795);
    m_cmdLink->setText(QStringLiteral("&More Info"));
    connect(m_cmdLink, &QPushButton::clicked, this, [this] { cmdLink_Click(); });

    // The question and the reason are read, not edited: they hand the focus on to OK.
    for (QTextEdit* text : {m_lblQuestion, m_lblReason}) {
        text->setReadOnly(true);
        text->setFocusPolicy(Qt::NoFocus);
        text->installEventFilter(this);
    }

    m_fraAnswers = control<QGroupBox>(this, "fraAnswers", 885, 2070, 5370, 3105);
    m_Fuzzy1 = new Fuzzy(m_fraAnswers);
    m_Fuzzy1->setObjectName(QStringLiteral("Fuzzy1"));
    place(*m_Fuzzy1, 15, 30, 5220, 3045);

    m_fraControls = control<QGroupBox>(this, "fraControls", 90, 5160, 6315, 960);
    frameIcon(*m_fraControls, QStyle::SP_FileDialogDetailedView);
    m_inputs.emplace(*m_fraControls);

    m_fraJustification = control<QGroupBox>(this, "fraJustification", 90, 6105, 6330, 1005);
    frameIcon(*m_fraJustification, QStyle::SP_FileDialogContentsView);
    m_txtJustification = control<QTextEdit>(m_fraJustification, "txtJustification", 840, 90, 5175, 855);
    m_txtJustification->setAcceptRichText(false);
    m_txtJustification->installEventFilter(this);

    m_cmdOK = commandButton(this, "cmdOK", 6195, 105, 885, 390);
    connect(m_cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    m_cmdCancel = commandButton(this, "cmdCancel", 6195, 570, 885, 390);
    m_cmdCancel->setText(QStringLiteral("Cancel"));
    connect(m_cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    m_cmdReset = commandButton(this, "cmdReset", 6180, 2085, 885, 390);
    m_cmdReset->setText(QStringLiteral("&Reset"));
    connect(m_cmdReset, &QPushButton::clicked, this, [this] { cmdReset_Click(); });
}

frmQuestion::~frmQuestion() = default;

// --- Building the dialog --------------------------------------------------------------------

void frmQuestion::Form_Load()
{
    WidgetFormWindow form(*this);
    basLibrary::CentreForm(form);
    showNodeCaption();
    buildControls();
    m_cmdOK->setText(QStringLiteral("OK"));
    m_cmdCancel->setText(QStringLiteral("Cancel"));
    showMoreInfo();
    m_txtJustification->setPlainText(textbox::fromStored(requireObject(node->Justification)->Text()));
    showTexts();
    showAnswers();
    show();
    basLibrary::CentreForm(form);
}

void frmQuestion::buildControls()
{
    if (node->Controls().isEmpty())
        return;
    const int rows = m_inputs->Load(node->Controls(), twips::Left(*m_lblQuestion));
    const double needed = rows * 300 + 150;
    if (needed > twips::Height(*m_fraControls))
        twips::setHeight(*m_fraControls, needed);
}

void frmQuestion::showMoreInfo()
{
    const MoreInfoTarget target(node->MoreInfo(), knowledgeBaseFile());
    m_cmdLink->setVisible(target.isShown());
}

// The texts and the frames stacked below them; a step that fails is skipped.
void frmQuestion::showTexts()
{
    skippingErrors([&] {
        TextLabel& question = *requireObject(node->Question);
        textbox::showLabel(*m_lblQuestion, question);
        TextBoxCaption caption(*m_lblQuestion, textbox::fontOf(question));
        basLibrary::AutoSizeLabel(caption, question.Text());
    });
    skippingErrors([&] { twips::setHeight(*m_fraQuestion, bottomOf(*m_lblQuestion) + kGap); });
    skippingErrors([] { platform::ui().yield(); });
    skippingErrors([&] { twips::setTop(*m_fraInformation, bottomOf(*m_fraQuestion) + kGap); });

    skippingErrors([&] {
        TextLabel& reason = *requireObject(node->Reason);
        textbox::showLabel(*m_lblReason, reason);
        TextBoxCaption caption(*m_lblReason, textbox::fontOf(reason));
        basLibrary::AutoSizeLabel(caption, reason.Text());
    });
    skippingErrors([&] { twips::setHeight(*m_fraInformation, bottomOf(*m_lblReason) + kGap); });
    skippingErrors([&] { twips::setTop(*m_fraAnswers, bottomOf(*m_fraInformation) + kGap); });
    // Reset sits beside the answers: left where it was designed, a grown question or reason
    // would push the More Info button under it.
    skippingErrors([&] { twips::setTop(*m_cmdReset, twips::Top(*m_fraAnswers) + kResetBelowAnswers); });

    skippingErrors([&] {
        const bool hasControls = !node->Controls().isEmpty();
        m_fraControls->setVisible(hasControls);
        if (hasControls)
            twips::setTop(*m_fraControls, bottomOf(*m_fraAnswers) + kGap);
        twips::setTop(*m_fraJustification, bottomOf(hasControls ? *m_fraControls : *m_fraAnswers) + kGap);
        setHeight(bottomOf(*m_fraJustification) + 450);
    });
}

void frmQuestion::showAnswers()
{
    const auto count = qint16(node->Answers.Count());
    m_Fuzzy1->setOptions(count);
    for (qint16 i = 1; i <= count; ++i) {
        TextLabel& answer = *requireObject(node->Answers.Item(i));
        const auto font = answer.Font();
        m_Fuzzy1->setOptionIndex(i);
        m_Fuzzy1->setCaption(answer.Text());
        m_Fuzzy1->setFontName(font->Name);
        m_Fuzzy1->setFontSize(font->Size);
        m_Fuzzy1->setFontBold(font->Bold);
        m_Fuzzy1->setFontItalic(font->Italic);
        m_Fuzzy1->setFontUnderline(font->Underline);
        m_Fuzzy1->setForeColor(answer.ForeColor);
    }
    // The control's scale runs from true at the top to false at the bottom.
    if (node->Answered)
        m_Fuzzy1->setValue(1 - node->Answer());
    else if (node->NoDefault)
        m_Fuzzy1->setValue(0.5);
    else
        m_Fuzzy1->setValue(1 - node->Default);
}

// The file of the knowledge base the node belongs to: its own network's, else the one the
// diagram opened.
QString frmQuestion::knowledgeBaseFile() const
{
    if (const auto network = std::dynamic_pointer_cast<clsNetwork>(node->Network.lock()); network && !network->FileName().isEmpty())
        return network->FileName();
    return ParentDisplay ? ParentDisplay->Network()->FileName() : QString();
}

// --- Buttons and keys -----------------------------------------------------------------------

void frmQuestion::cmdOK_Click()
{
    handleInput("cmdOK_Click", [this] { ok(); });
}

void frmQuestion::ok()
{
    if (!node->Controls().isEmpty())
        m_inputs->Store(node->Controls());
    node->setOverridden(false);
    node->setAnswer(1 - m_Fuzzy1->Value());
    node->Answered = true;
    requireObject(node->Justification)->setText(textbox::toStored(m_txtJustification->toPlainText()));
    markNetworkChanged();
    ctlPelnet& display = *requireObject(ParentDisplay.get());
    if (display.Connected)
        display.ServerUpdate(display.Network()->GUID(), node->SerializeOutXML(), QString());
    Unload();
    if (!node->Links().isEmpty())
        basKelva::HandleAnswerEvents(node, ParentPrecondition);
    else
        basKelva::HandleBackwardChain(node, ParentPrecondition);
}

void frmQuestion::cmdCancel_Click()
{
    handleInput("cmdCancel_Click", [this] { cancel(); });
}

void frmQuestion::cancel()
{
    Unload();
    // Back past the list the question was asked from, to the list behind it if any.
    frmPreconditions* behind = ParentPrecondition ? ParentPrecondition->ParentPrecondition.data() : nullptr;
    basKelva::HandleBackwardChain(node, behind);
}

void frmQuestion::cmdReset_Click()
{
    handleInput("cmdReset_Click", [this] { reset(); });
}

void frmQuestion::reset()
{
    node->Reset();
    markNetworkChanged();
    Unload();
    requireObject(ParentDisplay.get())->DrawNetwork();
    if (!ParentPrecondition) {
        AbstractMainWindow& main = *requireObject(ParentForm);
        main.setEnabled(true);
        main.SetFocus();
    } else {
        ParentPrecondition->PopulateForm();
        ParentPrecondition->setEnabled(true);
        ParentPrecondition->Show();
    }
}

void frmQuestion::markNetworkChanged()
{
    ctlPelnet& display = *requireObject(ParentDisplay.get());
    requireObject(display.Networks.Item(display.NetworkIndex()))->setDirty(true);
}

void frmQuestion::cmdLink_Click()
{
    handleInput("cmdLink_Click", [this] {
        const MoreInfoTarget target(node->MoreInfo(), knowledgeBaseFile());
        if (!target.open())
            basRegistry::TellNotOpened(target.openerArgument());
    });
}

void frmQuestion::Form_Unload()
{
    qint16 flag = 0;
    consultationEvents().FireNodeAfterQuestion(node, flag);
}

// Enter acts once and goes no further: a new line in the justification, else OK.
void frmQuestion::keyPressEvent(QKeyEvent* event)
{
    if (isEnter(event)) {
        event->accept();
        cmdOK_Click();
        return;
    }
    ConsultationDialog::keyPressEvent(event);
}

bool frmQuestion::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_txtJustification && isEnter(event)) {
        m_txtJustification->insertPlainText(QStringLiteral("\n"));
        return true;
    }
    if ((watched == m_lblQuestion || watched == m_lblReason) && event->type() == QEvent::FocusIn)
        m_cmdOK->setFocus();
    return ConsultationDialog::eventFilter(watched, event);
}

} // namespace kelvane
