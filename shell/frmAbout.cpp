#include "shell/frmAbout.h"

#include "forms/WidgetFormWindow.h"
#include "model/ErrorTrap.h"
#include "platform/HostPath.h"
#include "platform/ProcessLauncher.h"
#include "platform/Registry.h"
#include "platform/UiServices.h"
#include "shell/DesktopPages.h"
#include "shell/LabelText.h"
#include "shell/ProductInfo.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace kelvane {

namespace {

constexpr const char* kModule = "frmAbout";

// Where the registry names the system-information tool: its full path, else its folder.
const QString kToolKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kToolFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kToolFile = QStringLiteral("\\MSINFO32.EXE");

// The tool's full path; "" when the registry names none or the named folder lacks it.
QString systemInfoTool()
{
    auto& registry = platform::registry();
    if (const auto path = registry.queryValue(platform::HKEY_LOCAL_MACHINE, kToolKey, QStringLiteral("PATH")))
        return *path;
    if (const auto folder = registry.queryValue(platform::HKEY_LOCAL_MACHINE, kToolFolderKey, QStringLiteral("MSINFO"))) {
        const QString path = *folder + kToolFile;
        if (QFileInfo(platform::hostPath(path)).isFile())
            return path;
    }
    return {};
}

} // namespace

frmAbout::frmAbout(std::shared_ptr<clsNetwork> network, const QImage& splash, QWidget* parent)
    : KnowledgeBaseInfoDialog({.name = "frmAbout",
                               .clientWidth = kClientWidth,
                               .clientHeight = kClientHeight,
                               .picGraphic = {165, 150, 2040, 1770},
                               .Image1 = {15, -15, 2085, 1740},
                               .lblTitle = {2355, 135, 3060, 705},
                               .lblVersion = {2355, 885, 3015, 225},
                               .lblDescription = {2355, 1215, 3015, 525},
                               .lblLastModified = {2385, 1785, 3000, 255},
                               .lblKBDescription = {195, 2175, 5175, 1350},
                               .lblDisclaimer = {210, 3630, 3870, 1095},
                               .cmdOK = {4170, 3750, 1260, 345},
                               .cmdSysInfo = {4170, 4155, 1245, 345},
                               .sysInfoCaption = QStringLiteral("&System Info..."),
                               .rules = {{{195, 5400, 2100}, {180, 5390, 2115}, {225, 5430, 3555}, {210, 5420, 3570}}}},
                              std::move(network), parent)
{
    setWindowTitle(QStringLiteral("About Kelvane"));
    connect(cmdSysInfo(), &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
    m_cmdKelvane = MakeButton(this, "cmdKelvane", QStringLiteral("&Kelvane..."), {4170, 4560, 1245, 345});
    connect(m_cmdKelvane, &QPushButton::clicked, this, [this] { cmdKelvane_Click(); });
    m_Label1 = new QLabel(QUrl(productinfo::WebSite()).host(), this);
    m_Label1->setObjectName(QStringLiteral("Label1"));
    m_Label1->setGeometry(twipsRect(1005, 4755, 2220, 195));
    m_Label1->setAlignment(Qt::AlignCenter);

    Form_Load(splash);
}

void frmAbout::Form_Load(const QImage& splash)
{
    FillLabels(kModule);
    cmdSysInfo()->setText(QStringLiteral("&System Info..."));
    trappedVoid(kModule, "Picture", [&] {
        if (splash.isNull())
            return;
        picGraphic()->setPixmap(labeltext::StretchedPicture(splash, picGraphic()->size()));
        Image1()->hide();
    });
}

void frmAbout::cmdKelvane_Click()
{
    desktoppages::OpenWebAddress(productinfo::WebSite());
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    const bool started = trapped(kModule, "StartSysInfo", false, [] {
        const QString tool = systemInfoTool();
        if (tool.isEmpty())
            return false;
        platform::launcher().start(platform::hostPath(tool), {});
        return true;
    });
    if (!started)
        platform::ui().messageBox(QStringLiteral("System Information Is Unavailable At This Time"), platform::msgbox::OKOnly,
                                  platform::applicationTitle());
}

} // namespace kelvane
