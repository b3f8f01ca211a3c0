#include "shell/frmProperties.h"

#include "diagram/ctlPelnet.h"
#include "forms/WidgetFormWindow.h"
#include "model/ErrorTrap.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "shell/LabelText.h"
#include "shell/frmNavigate.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace kelvane {

namespace {

constexpr const char* kModule = "frmProperties";
constexpr int kClientWidth = 5400;
constexpr int kClientHeight = 4200;

// The network keeps a line break as one carriage return; the text box as a line feed.
QString shownDescription(const QString& stored)
{
    return QString(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

QString storedDescription(const QString& shown)
{
    return QString(shown).replace(u'\n', u'\r');
}

template <class Widget>
Widget* placed(Widget* widget, const char* name, const QRect& place)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(place);
    return widget;
}

} // namespace

frmProperties::frmProperties(frmNavigate& mainWindow) : QDialog(&mainWindow), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmProperties"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Properties"));
    setFixedSize(twipsRect(0, 0, kClientWidth, kClientHeight).size());
    setFont(labeltext::DialogFont());
    m_network = mainWindow.ctlPelnet1().Network();
    createControls();
    Form_Load();
}

void frmProperties::createControls()
{
    m_Label1 = placed(new QLabel(this), "Label1", twipsRect(120, 165, 1500, 285));
    m_txtTitle = placed(new QLineEdit(this), "txtTitle", twipsRect(1740, 120, 3540, 330));
    m_Label5 = placed(new QLabel(this), "Label5", twipsRect(120, 570, 1500, 285));
    m_txtAuthor = placed(new QLineEdit(this), "txtAuthor", twipsRect(1740, 525, 3540, 330));
    m_Label3 = placed(new QLabel(this), "Label3", twipsRect(120, 975, 1500, 285));
    m_txtVersion = placed(new QLineEdit(this), "txtVersion", twipsRect(1740, 930, 3540, 330));
    m_Label4 = placed(new QLabel(this), "Label4", twipsRect(120, 1380, 1500, 285));
    m_txtCopyright = placed(new QPlainTextEdit(this), "txtCopyright", twipsRect(1740, 1335, 3540, 2040));
    m_txtCopyright->setTabChangesFocus(true);

    // Enter in a line box reaches the default button: OK. The description keeps Enter for
    // its new lines.
    m_cmdOK = placed(new QPushButton(this), "cmdOK", twipsRect(2760, 3630, 1200, 375));
    m_cmdOK->setDefault(true);
    m_cmdCancel = placed(new QPushButton(this), "cmdCancel", twipsRect(4080, 3630, 1200, 375));
    m_cmdCancel->setAutoDefault(false);
    connect(m_cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmProperties::Form_Load()
{
    trappedVoid(kModule, "Form_Load", [&] {
        WidgetFormWindow form(*this);
        basLibrary::CentreForm(form);
    });
    for (QLabel* label : {m_Label1, m_Label4, m_Label5, m_Label3})
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (QLineEdit* box : {m_txtTitle, m_txtAuthor, m_txtVersion})
        box->setAlignment(Qt::AlignLeft);
    trappedVoid(kModule, "Form_Load", [&] {
        if (!m_network)
            return;
        m_txtTitle->setText(m_network->ScenarioName());
        m_txtAuthor->setText(m_network->Author()->Text());
        m_txtVersion->setText(m_network->Version());
        m_txtCopyright->setPlainText(shownDescription(m_network->Description));
    });
    m_Label1->setText(QStringLiteral("Scenario Name"));
    m_Label4->setText(QStringLiteral("Description"));
    m_Label5->setText(QStringLiteral("Author"));
    m_Label3->setText(QStringLiteral("Last Modified"));
    m_cmdOK->setText(QStringLiteral("OK"));
    m_cmdCancel->setText(QStringLiteral("Cancel"));
}

// Only the fields the user changed are written; a change marks the network changed, so the
// question at exit offers to save it.
void frmProperties::cmdOK_Click()
{
    trappedVoid(kModule, "cmdOK_Click", [&] {
        if (!m_network)
            return;
        bool changed = false;
        if (m_txtTitle->text() != m_network->ScenarioName()) {
            m_network->setScenarioName(m_txtTitle->text());
            changed = true;
        }
        if (m_txtAuthor->text() != m_network->Author()->Text()) {
            m_network->Author()->setText(m_txtAuthor->text());
            changed = true;
        }
        if (m_txtCopyright->toPlainText() != shownDescription(m_network->Description)) {
            m_network->Description = storedDescription(m_txtCopyright->toPlainText());
            changed = true;
        }
        if (changed)
            m_network->setDirty(true);
        m_mainWindow.setCaption(m_mainWindow.documentCaption());
        ctlPelnet& diagram = m_mainWindow.ctlPelnet1();
        if (diagram.Connected)
            diagram.ServerUpdate(m_network->GUID(), m_network->SerializeOutXML(), {});
        m_mainWindow.DrawDisplay();
    });
    accept();
}

} // namespace kelvane
