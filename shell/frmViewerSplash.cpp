#include "shell/frmViewerSplash.h"

#include "diagram/ctlPelnet.h"
#include "forms/WidgetFormWindow.h"
#include "model/ErrorTrap.h"
#include "model/basLibrary.h"
#include "network/NetworkSupport.h"
#include "network/clsNetwork.h"
#include "platform/FileDialogs.h"
#include "platform/HostPath.h"
#include "platform/UiServices.h"
#include "shell/AbstractServerLogon.h"
#include "shell/AbstractWindowServer.h"
#include "shell/LabelText.h"
#include "shell/ProductInfo.h"
#include "shell/ProgressBarControl.h"
#include "shell/ShellGlobals.h"
#include "shell/ToolPictures.h"
#include "shell/frmNavigate.h"

#include <QLabel>
#include <QPushButton>

namespace kelvane {

namespace {

constexpr const char* kModule = "frmViewerSplash";

QLabel* label(QWidget* parent, const char* name, const QRect& place, int pointSize, bool bold)
{
    auto* made = new QLabel(parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setGeometry(place);
    made->setFont(labeltext::DialogFont(pointSize, bold));
    return made;
}

} // namespace

frmViewerSplash::frmViewerSplash(frmNavigate& parentForm) : QDialog(&parentForm), m_parentForm(parentForm)
{
    setObjectName(QStringLiteral("frmViewerSplash"));
    setWindowTitle(productinfo::ProductName());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsRect(0, 0, 6000, 3300).size());
    setFont(labeltext::DialogFont());

    auto* logo = new QLabel(this);
    logo->setGeometry(twipsRect(300, 300, 1200, 1200));
    logo->setPixmap(toolpictures::Logo(logo->width()));
    m_lblProduct = label(this, "lblProduct", twipsRect(1800, 300, 3900, 600), 18, true);
    m_lblEdition = label(this, "lblEdition", twipsRect(1800, 900, 3900, 300), 9, false);
    m_lblVersion = label(this, "lblVersion", twipsRect(1800, 1260, 3900, 300), 9, false);
    m_lblBuild = label(this, "lblBuild", twipsRect(1800, 1560, 3900, 300), 8, false);

    m_cmdOffline = new QPushButton(QStringLiteral("Offline"), this);
    m_cmdOffline->setObjectName(QStringLiteral("cmdOffline"));
    m_cmdOffline->setGeometry(twipsRect(1800, 2160, 1500, 405));
    m_cmdOffline->setDefault(true);
    connect(m_cmdOffline, &QPushButton::clicked, this, [this] { cmdOffline_Click(); });
    m_cmdOnLine = new QPushButton(QStringLiteral("Online"), this);
    m_cmdOnLine->setObjectName(QStringLiteral("cmdOnLine"));
    m_cmdOnLine->setGeometry(twipsRect(3480, 2160, 1500, 405));
    m_cmdOnLine->setAutoDefault(false);
    connect(m_cmdOnLine, &QPushButton::clicked, this, [this] { cmdOnLine_Click(); });

    m_ProgressBar1 = new ProgressBarControl(this);
    m_ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_ProgressBar1->setGeometry(twipsRect(300, 2820, 5400, 240));
    m_ProgressBar1->hide();

    Form_Load();
}

QString frmViewerSplash::VersionText(int major, int minor, bool debugMode)
{
    QString text = QStringLiteral("Version ") + QString::number(major);
    if (minor != 0)
        text += u'.' + QString::number(minor);
    if (debugMode)
        text += QStringLiteral("  Debug Mode");
    return text;
}

QString frmViewerSplash::BuildText(int major, int minor, int revision)
{
    return QStringLiteral("Build %1.%2.%3").arg(major).arg(minor).arg(revision);
}

void frmViewerSplash::Form_Load()
{
    WidgetFormWindow form(*this);
    basLibrary::CentreForm(form);
    const auto version = productinfo::ProgramVersion();
    m_lblProduct->setText(productinfo::ProductName());
    m_lblEdition->setText(productinfo::FileDescription());
    m_lblVersion->setText(VersionText(version.major, version.minor, basLibrary::DebugMode));
    m_lblBuild->setText(BuildText(version.major, version.minor, version.revision));
    m_cmdOnLine->setEnabled(!basGlobal::ServerURL.isEmpty() && serverLogon().Available());
}

void frmViewerSplash::cmdOffline_Click()
{
    trappedVoid(kModule, "cmdOffline_Click", [&] {
        platform::FileDialogRequest request;
        request.initialFolder = basLibrary::DocumentsFolder;
        request.filter = QStringLiteral(
            "Kelvane Knowledge Bases (*.qkb)|*.qkb|Kelvane Scenarios (*.qks)|*.qks|All files (*.*)|*.*");
        request.title = QStringLiteral("Select Knowledge Base");
        request.flags = platform::FileDialogRequest::kFileMustExist | platform::FileDialogRequest::kHideReadOnly;
        const QString chosen = platform::fileDialogs().showOpen(request).value_or(QString());
        m_parentForm.ctlPelnet1().Network()->setFileName(chosen);
        if (chosen.isEmpty())
            return; // cancelled: no choice yet
        if (networksupport::isReadOnlyFile(platform::hostPath(chosen))) {
            platform::ui().messageBox(chosen + QStringLiteral(" is read only"), platform::msgbox::Exclamation,
                                      platform::applicationTitle());
            return;
        }
        basGlobal::DocumentPath = chosen;
        basLibrary::DocumentsFolder = basLibrary::FolderOfPath(chosen);
        choose();
    });
}

void frmViewerSplash::cmdOnLine_Click()
{
    // The log-on lets the program's events run while it waits: a second click meanwhile would
    // start a second session under the first one's feet. The button stays disabled until the
    // log-on has ended, and is enabled again when it failed.
    if (m_loggingOn)
        return;
    m_loggingOn = true;
    m_cmdOnLine->setEnabled(false);
    bool chosen = false;
    trappedVoid(kModule, "cmdOnLine_Click", [&] {
        platform::ui().yield();
        // A failed log-on has been told; after it, as after the folders closed without a
        // choice, the dialog waits for the user again.
        if (!serverLogon().LogOnAndChoose(m_parentForm.ctlPelnet1(), m_ProgressBar1))
            return;
        chosen = true;
        choose();
    });
    m_loggingOn = false;
    if (!chosen)
        m_cmdOnLine->setEnabled(true);
}

namespace {

AbstractWindowServer* startDialogServer() { return serverLogon().WindowServer(ServerWindow::StartDialog); }

} // namespace

bool frmViewerSplash::TavroDisconnect()
{
    return trapped(kModule, "TavroDisconnect", false, [] {
        AbstractWindowServer* server = startDialogServer();
        return server && server->TavroDisconnect();
    });
}

bool frmViewerSplash::ServerRead(const QString& guid)
{
    return trapped(kModule, "ServerRead", false, [&] {
        AbstractWindowServer* server = startDialogServer();
        return server && server->ServerRead(m_parentForm.ctlPelnet1(), guid, m_parentForm.ProgressBar1());
    });
}

QString frmViewerSplash::ServerWrite(const QString& guid, const QString& xml, const QString& path, AbstractProgressBar* progress)
{
    return trapped(kModule, "ServerWrite", QString(), [&] {
        AbstractWindowServer* server = startDialogServer();
        return server ? server->ServerWrite(guid, xml, path, progress) : QString();
    });
}

void frmViewerSplash::choose()
{
    basGlobal::StartChoiceMade = true;
    m_ProgressBar1->show();
    m_cmdOffline->setEnabled(false);
    m_cmdOnLine->setEnabled(false);
    Q_EMIT choiceMade();
}

// The close box and Escape both end here.
void frmViewerSplash::reject()
{
    QDialog::reject();
    if (!basGlobal::StartChoiceMade)
        Q_EMIT closedWithoutChoice();
}

} // namespace kelvane
