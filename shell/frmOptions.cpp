#include "shell/frmOptions.h"

#include "diagram/ctlPelnet.h"
#include "forms/WidgetFormWindow.h"
#include "model/ErrorTrap.h"
#include "model/Layer.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "platform/UiServices.h"
#include "shell/HelpKey.h"
#include "shell/LabelText.h"
#include "shell/ShellGlobals.h"
#include "shell/basSettings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace kelvane {

namespace {

constexpr const char* kModule = "frmOptions";
constexpr int kAnswerPage = 1;

// Client area in twips.
constexpr int kClientWidth = 6600;
constexpr int kClientHeight = 6480;

struct ColourControl {
    qint32 basGlobal::UserSettings::*setting;
    const char* swatch;
    const char* label;
    const char* caption;
    const char* button;
};

// In the order of frmOptions::Colour. Each button edits the swatch beside it.
const ColourControl kColourControls[frmOptions::kColourCount] = {
    {&basGlobal::UserSettings::BackColour, "Picture1", "lblBackground", "Background", "cmdBackgroundColour"},
    {&basGlobal::UserSettings::NodeColour, "Picture2", "lblNode", "Node", "cmdNodeColour"},
    {&basGlobal::UserSettings::HighlightColour, "Picture3", "lblHighlight", "Highlight", "cmdHighlightColour"},
    {&basGlobal::UserSettings::ShadowColour, "Picture4", "lblShadow", "Shadow", "cmdShadowColour"},
    {&basGlobal::UserSettings::PositiveColour, "Picture5", "lblPositive", "Positive impact", "Command1"},
    {&basGlobal::UserSettings::NegativeColour, "Picture6", "lblNegative", "Negative impact", "Command2"},
};

QString nameOf(const char* name)
{
    return QString::fromLatin1(name);
}

template <class Widget>
Widget* placed(Widget* widget, const char* name, const QRect& place)
{
    widget->setObjectName(nameOf(name));
    widget->setGeometry(place);
    return widget;
}

} // namespace

frmOptions::frmOptions(ctlPelnet* diagram, QWidget* parent) : QDialog(parent), m_diagram(diagram)
{
    setObjectName(QStringLiteral("frmOptions"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsRect(0, 0, kClientWidth, kClientHeight).size());
    setFont(labeltext::DialogFont());
    createControls();
    Form_Load();
}

void frmOptions::createControls()
{
    m_SSTab1 = placed(new QTabWidget(this), "SSTab1", twipsRect(120, 120, 6360, 5700));
    m_SSTab1->addTab(createColourPage(), QStringLiteral("General"));
    m_SSTab1->addTab(createAnswerPage(), QStringLiteral("Answers"));

    const auto button = [this](const char* name, int left) {
        auto* made = placed(new QPushButton(this), name, twipsRect(left, 5970, 1200, 375));
        made->setAutoDefault(false);
        return made;
    };
    m_cmdOK = button("cmdOK", 1440);
    m_cmdOK->setDefault(true);
    m_cmdCancel = button("cmdCancel", 2700);
    m_cmdApply = button("cmdApply", 3960);
    m_cmdHelp = button("cmdHelp", 5220);
    connect(m_cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cmdApply, &QPushButton::clicked, this, [this] { Apply(); });
    connect(m_cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
}

QWidget* frmOptions::createColourPage()
{
    auto* page = new QWidget;
    auto* colours = placed(new QGroupBox(QStringLiteral("Colours"), page), "fraColours", twipsRect(120, 120, 6000, 3420));
    for (int i = 0; i < kColourCount; ++i) {
        const ColourControl& control = kColourControls[i];
        const int y = 330 + i * 480;
        m_colourLabels[i] = placed(new QLabel(colours), control.label, twipsRect(240, y + 45, 1900, 285));
        m_swatches[i] = placed(new QLabel(colours), control.swatch, twipsRect(2220, y, 900, 375));
        m_swatches[i]->setFrameStyle(QFrame::Box | QFrame::Plain);
        m_colourButtons[i] = placed(new QPushButton(QStringLiteral("Change..."), colours), control.button,
                                    twipsRect(3300, y, 1300, 375));
        m_colourButtons[i]->setAutoDefault(false);
        connect(m_colourButtons[i], &QPushButton::clicked, this, [this, i] { chooseColour(Colour(i)); });
    }

    auto* server = placed(new QGroupBox(QStringLiteral("Knowledge server"), page), "fraServer", twipsRect(120, 3660, 6000, 1530));
    const auto field = [server](const char* labelName, const QString& caption, const char* name, int row) {
        const int y = 330 + row * 390;
        placed(new QLabel(caption, server), labelName, twipsRect(240, y + 45, 1500, 285));
        return placed(new QLineEdit(server), name, twipsRect(1800, y, 4000, 330));
    };
    m_txtServer = field("lblServer", QStringLiteral("Server"), "txtServer", 0);
    m_txtUserName = field("lblUserName", QStringLiteral("User name"), "txtUserName", 1);
    m_txtPassword = field("lblPassword", QStringLiteral("Password"), "txtPassword", 2);
    m_txtPassword->setEchoMode(QLineEdit::Password);
    for (QLineEdit* edit : {m_txtServer, m_txtUserName, m_txtPassword})
        connect(edit, &QLineEdit::textEdited, this, [this] { m_cmdApply->setEnabled(true); });
    return page;
}

QWidget* frmOptions::createAnswerPage()
{
    auto* page = new QWidget;
    m_chkAutoAnswer = placed(new QCheckBox(QStringLiteral("Answer questions &automatically"), page), "chkAutoAnswer",
                             twipsRect(240, 240, 5000, 330));
    m_chkShowAnswer = placed(new QCheckBox(QStringLiteral("S&how answers"), page), "chkShowAnswer",
                             twipsRect(240, 660, 5000, 330));
    for (QCheckBox* box : {m_chkAutoAnswer, m_chkShowAnswer})
        connect(box, &QCheckBox::clicked, this, [this] { m_cmdApply->setEnabled(true); });
    return page;
}

bool frmOptions::mainWindowRunning() const
{
    return m_diagram && basGlobal::ApplicationMode == 1;
}

void frmOptions::Form_Load()
{
    if (mainWindowRunning()) {
        m_chkAutoAnswer->setChecked(basGlobal::Settings.AutoAnswer);
        m_chkShowAnswer->setChecked(basGlobal::Settings.ShowAnswer);
        m_SSTab1->setTabEnabled(kAnswerPage, true);
    } else {
        m_chkAutoAnswer->hide();
        m_chkShowAnswer->hide();
        m_SSTab1->setTabEnabled(kAnswerPage, false);
    }
    setProperty("HelpContextID", kHelpContextID);
    m_cmdHelp->setProperty("HelpContextID", kHelpContextID);
    trappedVoid(kModule, "Form_Load", [&] {
        WidgetFormWindow form(*this);
        basLibrary::CentreForm(form);
    });

    m_cmdOK->setText(QStringLiteral("OK"));
    m_cmdCancel->setText(QStringLiteral("Cancel"));
    m_cmdApply->setText(QStringLiteral("&Apply"));
    m_cmdHelp->setText(QStringLiteral("&Help"));
    setWindowTitle(QStringLiteral("Options"));
    for (int i = 0; i < kColourCount; ++i) {
        m_colourLabels[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_colourLabels[i]->setText(nameOf(kColourControls[i].caption));
        setSwatch(Colour(i), basGlobal::Settings.*kColourControls[i].setting);
    }
    m_txtServer->setText(basGlobal::ServerURL);
    m_txtUserName->setText(basGlobal::ServerUsername);
    m_txtPassword->setText(basGlobal::ServerPassword);
    m_cmdApply->setEnabled(false);
}

void frmOptions::setSwatch(Colour colour, qint32 value)
{
    m_colours[colour] = value;
    labeltext::SetBackColour(*m_swatches[colour], value);
}

// A cancelled colour dialog keeps the swatch, yet Apply is offered.
void frmOptions::chooseColour(Colour colour)
{
    if (const auto chosen = platform::ui().chooseColour(m_colours[colour]))
        setSwatch(colour, *chosen);
    m_cmdApply->setEnabled(true);
}

void frmOptions::Apply()
{
    for (int i = 0; i < kColourCount; ++i)
        basGlobal::Settings.*kColourControls[i].setting = m_colours[i];
    if (mainWindowRunning()) {
        basGlobal::Settings.AutoAnswer = m_chkAutoAnswer->isChecked();
        basGlobal::Settings.ShowAnswer = m_chkShowAnswer->isChecked();
        // Every stored answer is stored again, so that it now answers the questions above it.
        trappedVoid(kModule, "Apply", [&] {
            if (!basGlobal::Settings.AutoAnswer)
                return;
            for (const auto& network : m_diagram->Networks.Snapshot()) {
                for (const auto& layer : requireObject(network)->Layers().Snapshot()) {
                    for (const auto& node : requireObject(layer)->Nodes().Snapshot()) {
                        if (requireObject(node)->Answered)
                            node->setAnswer(node->Answer());
                    }
                }
            }
        });
        trappedVoid(kModule, "Apply", [&] { m_diagram->DrawNetwork(); });
    }
    basGlobal::ServerURL = m_txtServer->text();
    basGlobal::ServerUsername = m_txtUserName->text();
    basGlobal::ServerPassword = m_txtPassword->text();
    if (!trappedVoid(kModule, "Apply", [] { basGlobal::SaveSettings(); })) {
        platform::ui().messageBox(QStringLiteral("The settings could not be saved."), platform::msgbox::Exclamation,
                                  platform::applicationTitle());
        return;
    }
    m_cmdApply->setEnabled(false);
}

void frmOptions::cmdOK_Click()
{
    Apply();
    accept();
}

// What F1 on the Help button does: the dialog's help page.
void frmOptions::cmdHelp_Click()
{
    HelpKey::ShowHelpFor(*m_cmdHelp);
}

void frmOptions::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        cmdHelp_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kelvane
