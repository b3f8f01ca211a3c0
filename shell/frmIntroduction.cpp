#include "shell/frmIntroduction.h"

#include "forms/WidgetFormWindow.h"
#include "model/ErrorTrap.h"
#include "model/TextLabel.h"
#include "network/clsNetwork.h"
#include "shell/DesktopPages.h"
#include "shell/LabelText.h"
#include "shell/ProductInfo.h"
#include "shell/SettingValues.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace kelvane {

namespace {

constexpr const char* kModule = "frmIntroduction";

} // namespace

frmIntroduction::frmIntroduction(std::shared_ptr<clsNetwork> network, const QImage& splash, QWidget* parent)
    : KnowledgeBaseInfoDialog({.name = "frmIntroduction",
                               .clientWidth = kClientWidth,
                               .clientHeight = kClientHeight,
                               .picGraphic = {120, 105, 2040, 1740},
                               .Image1 = {0, 0, 2085, 1890},
                               .lblTitle = {2325, 165, 3060, 705},
                               .lblVersion = {2325, 915, 3015, 225},
                               .lblDescription = {2325, 1245, 3015, 525},
                               .lblLastModified = {2355, 1815, 3000, 255},
                               .lblKBDescription = {165, 2205, 5175, 1350},
                               .lblDisclaimer = {180, 3705, 3870, 960},
                               .cmdOK = {4155, 3750, 1260, 345},
                               .cmdSysInfo = {4170, 4140, 1245, 345},
                               .sysInfoCaption = QStringLiteral("&Support"),
                               .rules = {{{165, 5370, 2130}, {150, 5360, 2145}, {195, 5400, 3585}, {180, 5390, 3600}}}},
                              std::move(network), parent)
{
    m_Picture1 = MakeLabel(this, "Picture1", {-45, 630, 180, 240});
    m_Picture1->hide();
    connect(cmdSysInfo(), &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
    m_Command1 = MakeButton(this, "Command1", QStringLiteral("&Kelvane..."), {4170, 4545, 1245, 345});
    connect(m_Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    m_Check1 = new QCheckBox(QStringLiteral("Do not display in future"), this);
    m_Check1->setObjectName(QStringLiteral("Check1"));
    m_Check1->setGeometry(twipsRect(165, 4620, 3855, 255));

    Form_Load(splash);
}

void frmIntroduction::Form_Load(const QImage& splash)
{
    FillLabels(kModule);
    trappedVoid(kModule, "Picture", [&] {
        if (splash.isNull())
            return;
        m_Picture1->setPixmap(QPixmap::fromImage(splash));
        m_Picture1->resize(splash.size());
        picGraphic()->setPixmap(labeltext::FramedPicture(splash, picGraphic()->size()));
        Image1()->hide();
    });
}

void frmIntroduction::Command1_Click()
{
    desktoppages::OpenWebAddress(productinfo::WebSite());
}

void frmIntroduction::cmdSysInfo_Click()
{
    desktoppages::OpenWebAddress(productinfo::SupportPage());
}

void frmIntroduction::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void frmIntroduction::Form_Unload()
{
    trappedVoid(kModule, "Form_Unload", [&] {
        settingvalues::setIntroductionSuppressed(m_network->Name()->Text(), m_Check1->isChecked());
    });
}

} // namespace kelvane
