#include "consult/frmPreconditions.h"

#include "answercontrols/Twips.h"
#include "consult/AbstractConsultationEvents.h"
#include "consult/AbstractMainWindow.h"
#include "consult/ConsultationFlow.h"
#include "consult/TextLabelBox.h"
#include "diagram/ctlPelnet.h"
#include "forms/WidgetFormWindow.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "platform/UiServices.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QTreeWidget>

namespace kelvane {

namespace {

constexpr char kModule[] = "frmPreconditions";
constexpr int kHelpTopic = 19;
constexpr double kClientWidth = 7155;
constexpr double kClientHeight = 4410;

QString singleLine(const QString& text) { return basLibrary::ReplaceAll(text, QStringLiteral("\r"), QStringLiteral(" ")); }

} // namespace

frmPreconditions::frmPreconditions(QWidget* parent)
    : ConsultationDialog(parent, kModule, kHelpTopic, kClientWidth, kClientHeight)
{
    m_fraQuestion = control<QGroupBox>(this, "fraQuestion", 60, 75, 6060, 915);
    frameIcon(*m_fraQuestion, QStyle::SP_MessageBoxQuestion);
    m_lblQuestion = control<QTextEdit>(m_fraQuestion, "lblQuestion", 900, 75, 5100, 795);
    m_lblQuestion->setReadOnly(true);
    m_lblQuestion->setFocusPolicy(Qt::NoFocus);

    m_fraPreconditions = control<QGroupBox>(this, "fraPreconditions", 60, 1035, 6060, 795);
    m_lblCaption = control<QLabel>(m_fraPreconditions, "lblCaption", 120, 90, 5820, 645);
    m_lblCaption->setWordWrap(true);

    m_lstPreconditions = control<QTreeWidget>(this, "lstPreconditions", 60, 1860, 6060, 2535);
    m_lstPreconditions->setColumnCount(2);
    m_lstPreconditions->setHeaderHidden(true);
    m_lstPreconditions->setRootIsDecorated(false);
    m_lstPreconditions->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstPreconditions->header()->setStretchLastSection(true);
    m_lstPreconditions->setColumnWidth(0, twips::toPixels(4200));
    connect(m_lstPreconditions, &QTreeWidget::itemDoubleClicked, this, [this] { lstPreconditions_DblClick(); });

    m_cmdProceed = commandButton(this, "cmdProceed", 6195, 105, 885, 390);
    connect(m_cmdProceed, &QPushButton::clicked, this, [this] { cmdProceed_Click(); });
    m_cmdNavigate = commandButton(this, "cmdNavigate", 6195, 570, 885, 390);
    connect(m_cmdNavigate, &QPushButton::clicked, this, [this] { cmdNavigate_Click(); });
}

void frmPreconditions::Form_Load()
{
    WidgetFormWindow form(*this);
    basLibrary::CentreForm(form);
    m_lblCaption->setAlignment((basGlobal::AlignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    m_lblCaption->setText(QStringLiteral("The following questions may need to be answered before this question can be "
                                         "asked. Please double click the questions from the list below before proceeding."));
    m_cmdProceed->setText(QStringLiteral("&") + QStringLiteral("Proceed"));
    m_cmdNavigate->setText(QStringLiteral("Close"));
    PopulateForm();
}

void frmPreconditions::PopulateForm()
{
    run("PopulateForm", [this] {
        bool Cancel = false;
        consultationEvents().FireNodePrecondition(node, Cancel);
        if (Cancel) {
            Unload();
            requireObject(ParentForm)->setEnabled(true);
            return;
        }
        showNodeCaption(QStringLiteral(" preconditions"));
        textbox::showLabel(*m_lblQuestion, *requireObject(node->Question));

        twips::setHeight(*m_fraQuestion, twips::Height(*m_lblQuestion) + 45);
        twips::setTop(*m_fraPreconditions, twips::Top(*m_fraQuestion) + twips::Height(*m_fraQuestion) + 45);
        twips::setTop(*m_lstPreconditions, twips::Top(*m_fraPreconditions) + twips::Height(*m_fraPreconditions) + 90);
        setHeight(twips::Top(*m_lstPreconditions) + twips::Height(*m_lstPreconditions) + 450);

        // A link whose node gets no line keeps -1, so no line leads to it.
        m_lstPreconditions->clear();
        for (const auto& link : node->Links())
            link->ListIndex = -1;
        m_cmdProceed->setEnabled(true);
        node->ReOrderLinks();

        qint16 row = 0;
        for (const auto& link : node->Links()) {
            const auto evidence = requireObject(link->ConnectionTo);
            if (!evidence->Enabled())
                continue;
            link->ListIndex = row++;
            QString state;
            if (evidence->Irrelevant()) {
                state = QStringLiteral("\\tIrrelevant");
            } else if (evidence->NeedInfo() || evidence->Required()) {
                state = QStringLiteral("\\tNeed Info");
                m_cmdProceed->setEnabled(false);
            } else if (evidence->Answered) {
                state = QStringLiteral("\\tAnswered");
            } else if (evidence->NoDefault) {
                state = QStringLiteral("\\tUnanswered");
            } else {
                state = QStringLiteral("\\tDefault");
            }
            addLine(singleLine(evidence->Name()->Text()), state);
        }
    });
}

void frmPreconditions::addLine(const QString& name, const QString& state)
{
    // The list receives name and state as one line; it shows them in two columns.
    auto* line = new QTreeWidgetItem(m_lstPreconditions, {name, state.mid(2)});
    line->setData(0, Qt::UserRole, name + state);
}

QString frmPreconditions::lineText(int row) const
{
    const QTreeWidgetItem* line = m_lstPreconditions->topLevelItem(row);
    return line ? line->data(0, Qt::UserRole).toString() : QString();
}

void frmPreconditions::lstPreconditions_DblClick()
{
    handleInput("lstPreconditions_DblClick", [this] {
        const QList<QTreeWidgetItem*> selected = m_lstPreconditions->selectedItems();
        const int row = selected.isEmpty() ? -1 : m_lstPreconditions->indexOfTopLevelItem(selected.first());
        if (row < 0)
            return;
        qint16 flag = 0;
        consultationEvents().FireNodeAfterPrecondition(node, flag);
        if (flag != 0)
            return;
        std::shared_ptr<Node> chosen;
        for (const auto& link : node->Links())
            if (link->ListIndex == row)
                chosen = link->ConnectionTo;
        if (basKelva::HandleViewerNodeClickEvents(chosen, this))
            setVisible(false);
    });
}

void frmPreconditions::cmdProceed_Click()
{
    handleInput("cmdProceed_Click", [this] { proceed(); });
}

void frmPreconditions::proceed()
{
    for (const auto& link : node->Links()) {
        if (requireObject(link->ConnectionTo)->Required()) {
            platform::ui().messageBox(QStringLiteral("Please answer the required questions before proceeding"),
                                      platform::msgbox::Exclamation, platform::applicationTitle());
            return;
        }
    }
    node->setOverridden(false);
    qint16 flag = 0;
    consultationEvents().FireNodeAfterPrecondition(node, flag);
    setVisible(false);
    if (flag != 0)
        basKelva::HandleBackwardChain(node, this);
    else
        basKelva::HandleQuestionEvents(node, this);
}

void frmPreconditions::cmdNavigate_Click()
{
    handleInput("cmdNavigate_Click", [this] { navigate(); });
}

void frmPreconditions::navigate()
{
    qint16 flag = 0;
    consultationEvents().FireNodeAfterPrecondition(node, flag);
    if (flag != 0)
        return;
    Unload();
    requireObject(ParentDisplay.get())->Refresh();
    requireObject(ParentForm)->setEnabled(true);
    ParentDisplay->NestedHistory.Clear();
}

void frmPreconditions::Form_Unload()
{
    // Closing a list of the main window closes every list of the consultation.
    if (!ParentForm || ParentForm->Name() != AbstractMainWindow::kName)
        return;
    for (ConsultationDialog* dialog : loadedDialogs(ParentForm->widget()))
        if (auto* list = qobject_cast<frmPreconditions*>(dialog))
            skippingErrors([list] { list->Unload(); });
}

} // namespace kelvane
