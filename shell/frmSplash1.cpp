#include "shell/frmSplash1.h"

#include "forms/WidgetFormWindow.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "platform/QtFont.h"
#include "platform/gui/PlainText.h"
#include "shell/LabelText.h"
#include "shell/ProgressBarControl.h"
#include "shell/ToolPictures.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace kelvane {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QString& fontName, const QRect& place)
{
    auto* made = new platform::gui::PlainLabel(caption, parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setGeometry(place);
    made->setWordWrap(true);
    platform::FontDescription design;
    design.name = fontName;
    design.size = fontName == QStringLiteral("Arial") ? 24 : 8.25;
    made->setFont(platform::toQFont(design));
    return made;
}

} // namespace

frmSplash1::frmSplash1(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash1"));
    setFixedSize(twipsRect(0, 0, kClientWidth, kClientHeight).size());
    setWindowTitle(QStringLiteral("Kelvane"));

    m_picGraphic = new QLabel(this);
    m_picGraphic->setObjectName(QStringLiteral("picGraphic"));
    m_picGraphic->setGeometry(twipsRect(240, 240, 2640, 2640));
    m_Picture1 = new QLabel(m_picGraphic);
    m_Picture1->setObjectName(QStringLiteral("Picture1"));
    m_Picture1->hide();
    m_imgLogo = new QLabel(this);
    m_imgLogo->setObjectName(QStringLiteral("imgLogo"));
    m_imgLogo->setGeometry(twipsRect(240, 3000, 480, 480));
    m_imgLogo->setPixmap(toolpictures::Logo(m_imgLogo->width()));

    const QString arial = QStringLiteral("Arial");
    m_Label1 = label(this, "Label1", QStringLiteral("Product"), arial, twipsRect(3060, 765, 3540, 1785));
    m_txtProductName = label(this, "txtProductName", QStringLiteral("Product"), arial, twipsRect(3030, 750, 3540, 1785));
    const QString sans = QStringLiteral("MS Sans Serif");
    m_lblAuthor = label(this, "lblAuthor", QStringLiteral("Author"), sans, twipsRect(3030, 2640, 3540, 285));
    m_lblAuthor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_txtCopyright = label(this, "txtCopyright", QStringLiteral("Copyright"), sans, twipsRect(3030, 3000, 3540, 285));
    m_txtCopyright->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_Text1 = new QLineEdit(QStringLiteral("Text1"), this);
    m_Text1->setObjectName(QStringLiteral("Text1"));
    m_Text1->setGeometry(twipsRect(3030, 3360, 3540, 285));
    m_Text1->setAlignment(Qt::AlignRight);
    m_Text1->hide(); // never filled

    m_ProgressBar1 = new ProgressBarControl(this);
    m_ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_ProgressBar1->setGeometry(twipsRect(240, 3600, 6420, 180));
    m_ProgressBar1->hide();

    Form_Load();
}

void frmSplash1::Form_Load()
{
    WidgetFormWindow form(*this);
    basLibrary::CentreForm(form);
    for (QLabel* left : {m_txtCopyright, m_txtProductName, m_Label1})
        left->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_Text1->setAlignment(Qt::AlignLeft);
    labeltext::SetForeColour(*m_txtProductName, basGlobal::Settings.ShadowColour);
    labeltext::SetForeColour(*m_Label1, basGlobal::Settings.HighlightColour);
}

void frmSplash1::ShowTitle(TextLabel& name)
{
    labeltext::CopyTextLabel(*m_txtProductName, name, {}, true);
    const QPalette shadow = m_Label1->palette();
    labeltext::CopyTextLabel(*m_Label1, name, {}, true);
    m_Label1->setPalette(shadow); // the shadow keeps the highlight colour
}

void frmSplash1::ShowPicture(const QImage& picture, qint32 backColour)
{
    labeltext::SetBackColour(*this, 0x00FFFFFF);
    labeltext::SetBackColour(*m_picGraphic, 0x00FFFFFF);
    if (picture.isNull()) {
        labeltext::SetBackColour(*this, backColour);
        labeltext::SetBackColour(*m_picGraphic, backColour);
        m_picGraphic->hide();
        m_Picture1->hide();
        m_imgLogo->hide();
        return;
    }
    m_Picture1->setPixmap(QPixmap::fromImage(picture));
    m_picGraphic->setPixmap(labeltext::FramedPicture(picture, m_picGraphic->size()));
    m_picGraphic->show();
    m_Picture1->hide();
}

void frmSplash1::ShowCopyright(TextLabel& copyright)
{
    labeltext::CopyTextLabel(*m_txtCopyright, copyright, QStringLiteral("\u00A9 "), true);
}

void frmSplash1::ShowAuthor(TextLabel& author)
{
    labeltext::CopyTextLabel(*m_lblAuthor, author, QStringLiteral("Author: "), true);
}

void frmSplash1::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    hide();
}

} // namespace kelvane
