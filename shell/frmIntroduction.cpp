#include "shell/frmIntroduction.h"

#include "answercontrols/Twips.h"
#include "forms/WidgetFormWindow.h"
#include "model/ErrorTrap.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "model/basRegistry.h"
#include "network/clsNetwork.h"
#include "platform/Colours.h"
#include "shell/LabelText.h"
#include "shell/ProductInfo.h"
#include "shell/SettingValues.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace kelvane {

namespace {

constexpr const char* kModule = "frmIntroduction";

QLabel* label(QWidget* parent, const char* name, const QRect& place)
{
    auto* made = new QLabel(parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setGeometry(place);
    made->setWordWrap(true);
    made->setAlignment(Qt::AlignRight | Qt::AlignTop); // the filled labels are set left-aligned at load
    return made;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& place)
{
    auto* made = new QPushButton(caption, parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setGeometry(place);
    return made;
}

// One line of an etched rule, in a system colour.
void ruleLine(QWidget* parent, int left, int right, int y, qint32 colour)
{
    auto* line = new QWidget(parent);
    line->setGeometry(twips::toPixels(left), twips::toPixels(y), twips::toPixels(right - left), 1);
    labeltext::SetBackColour(*line, colour);
}

// Opens a web address; every failure is ignored.
void openAddress(const QString& address)
{
    QString target = address;
    basRegistry::ShellFile(target);
}

} // namespace

frmIntroduction::frmIntroduction(std::shared_ptr<clsNetwork> network, const QImage& splash, QWidget* parent)
    : QDialog(parent), m_network(std::move(network))
{
    setObjectName(QStringLiteral("frmIntroduction"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsRect(0, 0, kClientWidth, kClientHeight).size());
    setFont(labeltext::DialogFont());
    createControls();
    Form_Load(splash);
}

void frmIntroduction::createControls()
{
    m_picGraphic = label(this, "picGraphic", twipsRect(120, 105, 2040, 1740));
    labeltext::SetBackColour(*m_picGraphic, platform::colours::rgb(255, 255, 255));
    m_picGraphic->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_Image1 = label(m_picGraphic, "Image1", twipsRect(0, 0, 2085, 1890));
    m_Picture1 = label(this, "Picture1", twipsRect(-45, 630, 180, 240));
    m_Picture1->hide();

    m_lblTitle = label(this, "lblTitle", twipsRect(2325, 165, 3060, 705));
    m_lblTitle->setFont(labeltext::DialogFont(12, true));
    m_lblTitle->setText(QStringLiteral("Application Title"));
    m_lblVersion = label(this, "lblVersion", twipsRect(2325, 915, 3015, 225));
    m_lblVersion->setFont(labeltext::DialogFont(8.25, true));
    m_lblVersion->setText(QStringLiteral("Author: "));
    m_lblDescription = label(this, "lblDescription", twipsRect(2325, 1245, 3015, 525));
    m_lblLastModified = label(this, "lblLastModified", twipsRect(2355, 1815, 3000, 255));
    m_lblKBDescription = label(this, "lblKBDescription", twipsRect(165, 2205, 5175, 1350));
    m_lblDisclaimer = label(this, "lblDisclaimer", twipsRect(180, 3705, 3870, 960));

    const qint32 shadow = platform::colours::ButtonShadow;
    const qint32 highlight = platform::colours::ButtonHighlight;
    ruleLine(this, 165, 5370, 2130, shadow);
    ruleLine(this, 150, 5360, 2145, highlight);
    ruleLine(this, 195, 5400, 3585, shadow);
    ruleLine(this, 180, 5390, 3600, highlight);

    m_cmdOK = button(this, "cmdOK", QStringLiteral("OK"), twipsRect(4155, 3750, 1260, 345));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    m_cmdSysInfo = button(this, "cmdSysInfo", QStringLiteral("&Support"), twipsRect(4170, 4140, 1245, 345));
    m_cmdSysInfo->setAutoDefault(false);
    connect(m_cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
    m_Command1 = button(this, "Command1", QStringLiteral("&Kelvane..."), twipsRect(4170, 4545, 1245, 345));
    m_Command1->setAutoDefault(false);
    connect(m_Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    m_Check1 = new QCheckBox(QStringLiteral("Do not display in future"), this);
    m_Check1->setObjectName(QStringLiteral("Check1"));
    m_Check1->setGeometry(twipsRect(165, 4620, 3855, 255));
}

void frmIntroduction::Form_Load(const QImage& splash)
{
    const auto step = [](const char* name, auto&& body) { trappedVoid(kModule, name, body); };
    step("CentreForm", [&] {
        WidgetFormWindow form(*this);
        basLibrary::CentreForm(form);
    });
    for (QLabel* filled : {m_lblVersion, m_lblTitle, m_lblLastModified, m_lblDescription, m_lblDisclaimer, m_lblKBDescription})
        filled->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    step("Author", [&] { labeltext::CopyTextLabel(*m_lblVersion, *m_network->Author(), QStringLiteral("Author: ")); });
    step("Title", [&] { labeltext::CopyTextLabel(*m_lblTitle, *m_network->Name()); });
    step("Caption", [&] { setWindowTitle(QStringLiteral("About ") + m_network->Name()->Text()); });
    step("LastModified", [&] { m_lblLastModified->setText(QStringLiteral("Last Modified: ") + m_network->Version()); });
    step("Copyright", [&] {
        const auto copyright = m_network->Copyright();
        if (!copyright->Text().trimmed().isEmpty())
            labeltext::CopyTextLabel(*m_lblDescription, *copyright, QStringLiteral("\u00A9 "));
    });
    m_lblDisclaimer->setText(QStringLiteral(
        "Warning: When using the Kelvane product, the user or team must make the final decisions using their own "
        "judgement. This is key to the value and integrity of the Kelvane method."));
    step("Description", [&] { labeltext::CopyTextLabel(*m_lblKBDescription, *m_network->KBDescription(), {}, true); });
    m_cmdOK->setText(QStringLiteral("OK"));
    step("Picture", [&] {
        if (splash.isNull())
            return;
        m_Picture1->setPixmap(QPixmap::fromImage(splash));
        m_Picture1->resize(splash.size());
        m_picGraphic->setPixmap(labeltext::FramedPicture(splash, m_picGraphic->size(), true));
        m_Image1->hide();
    });
}

void frmIntroduction::Command1_Click()
{
    openAddress(productinfo::WebSite());
}

void frmIntroduction::cmdSysInfo_Click()
{
    openAddress(productinfo::SupportPage());
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
