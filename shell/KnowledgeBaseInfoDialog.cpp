#include "shell/KnowledgeBaseInfoDialog.h"

#include "answercontrols/Twips.h"
#include "forms/WidgetFormWindow.h"
#include "model/ErrorTrap.h"
#include "model/RequireObject.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "platform/Colours.h"
#include "platform/gui/PlainText.h"
#include "shell/LabelText.h"

#include <QLabel>
#include <QPushButton>

namespace kelvane {

namespace {

QRect pixels(const KnowledgeBaseInfoDialog::Place& place)
{
    return twipsRect(place.left, place.top, place.width, place.height);
}

void ruleLine(QWidget* parent, int left, int right, int y, qint32 colour)
{
    auto* line = new QWidget(parent);
    line->setGeometry(twips::toPixels(left), twips::toPixels(y), twips::toPixels(right - left), 1);
    labeltext::SetBackColour(*line, colour);
}

} // namespace

QLabel* KnowledgeBaseInfoDialog::MakeLabel(QWidget* parent, const char* name, const Place& place)
{
    auto* made = new platform::gui::PlainLabel(parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setGeometry(pixels(place));
    made->setWordWrap(true);
    made->setAlignment(Qt::AlignRight | Qt::AlignTop); // the filled labels are set left-aligned at load
    return made;
}

QPushButton* KnowledgeBaseInfoDialog::MakeButton(QWidget* parent, const char* name, const QString& caption,
                                                 const Place& place)
{
    auto* made = new QPushButton(caption, parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setGeometry(pixels(place));
    made->setAutoDefault(false);
    return made;
}

KnowledgeBaseInfoDialog::KnowledgeBaseInfoDialog(const Design& design, std::shared_ptr<clsNetwork> network, QWidget* parent)
    : QDialog(parent), m_network(std::move(network))
{
    setObjectName(QString::fromLatin1(design.name));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsRect(0, 0, design.clientWidth, design.clientHeight).size());
    setFont(labeltext::DialogFont());

    m_picGraphic = MakeLabel(this, "picGraphic", design.picGraphic);
    labeltext::SetBackColour(*m_picGraphic, platform::colours::rgb(255, 255, 255));
    m_picGraphic->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_Image1 = MakeLabel(m_picGraphic, "Image1", design.Image1);

    m_lblTitle = MakeLabel(this, "lblTitle", design.lblTitle);
    m_lblTitle->setFont(labeltext::DialogFont(12, true));
    m_lblTitle->setText(QStringLiteral("Application Title"));
    m_lblVersion = MakeLabel(this, "lblVersion", design.lblVersion);
    m_lblVersion->setFont(labeltext::DialogFont(8.25, true));
    m_lblVersion->setText(QStringLiteral("Author: "));
    m_lblDescription = MakeLabel(this, "lblDescription", design.lblDescription);
    m_lblLastModified = MakeLabel(this, "lblLastModified", design.lblLastModified);
    m_lblKBDescription = MakeLabel(this, "lblKBDescription", design.lblKBDescription);
    m_lblDisclaimer = MakeLabel(this, "lblDisclaimer", design.lblDisclaimer);

    for (std::size_t i = 0; i < design.rules.size(); ++i) {
        const Rule& rule = design.rules[i];
        ruleLine(this, rule.left, rule.right, rule.y, i % 2 == 0 ? platform::colours::ButtonShadow : platform::colours::ButtonHighlight);
    }

    m_cmdOK = MakeButton(this, "cmdOK", QStringLiteral("OK"), design.cmdOK);
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    m_cmdSysInfo = MakeButton(this, "cmdSysInfo", design.sysInfoCaption, design.cmdSysInfo);
}

void KnowledgeBaseInfoDialog::FillLabels(const char* module)
{
    const auto step = [module](const char* name, auto&& body) { trappedVoid(module, name, body); };
    step("CentreForm", [&] {
        WidgetFormWindow form(*this);
        basLibrary::CentreForm(form);
    });
    for (QLabel* filled : {m_lblVersion, m_lblTitle, m_lblLastModified, m_lblDescription, m_lblDisclaimer, m_lblKBDescription})
        filled->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const auto network = [this]() -> clsNetwork& { return *requireObject(m_network); };
    step("Author", [&] { labeltext::CopyTextLabel(*m_lblVersion, *network().Author(), QStringLiteral("Author: ")); });
    step("Title", [&] { labeltext::CopyTextLabel(*m_lblTitle, *network().Name()); });
    step("Caption", [&] { platform::gui::setPlainWindowTitle(*this, QStringLiteral("About ") + network().Name()->Text()); });
    step("LastModified", [&] { m_lblLastModified->setText(QStringLiteral("Last Modified: ") + network().Version()); });
    step("Copyright", [&] {
        const auto copyright = network().Copyright();
        if (!copyright->Text().trimmed().isEmpty())
            labeltext::CopyTextLabel(*m_lblDescription, *copyright, QStringLiteral("\u00A9 "));
    });
    m_lblDisclaimer->setText(QStringLiteral(
        "Warning: When using the Kelvane product, the user or team must make the final decisions using their own "
        "judgement. This is key to the value and integrity of the Kelvane method."));
    step("Description", [&] { labeltext::CopyTextLabel(*m_lblKBDescription, *network().KBDescription(), {}, true); });
    m_cmdOK->setText(QStringLiteral("OK"));
}

} // namespace kelvane
