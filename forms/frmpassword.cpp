#include "forms/frmpassword.h"

#include "forms/WidgetFormWindow.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>

namespace kelvane {

namespace {

// Shows every typed character of a password box as "*", whatever the desktop style uses.
class StarPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return u'*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

frmpassword::frmpassword(QWidget* parent) : QDialog(parent)
{
    setModal(true);
    setFixedSize(twipsRect(0, 0, kClientWidth, kClientHeight).size());

    m_txtPassword = new QLineEdit(this);
    m_txtPassword->setObjectName(QStringLiteral("txtPassword"));
    m_txtPassword->setGeometry(twipsRect(105, 180, 2775, 285));
    auto* style = new StarPasswordStyle;
    style->setParent(m_txtPassword);
    m_txtPassword->setStyle(style);
    m_txtPassword->setEchoMode(QLineEdit::Password);

    m_cmdOK = new QPushButton(this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setGeometry(twipsRect(915, 660, 1050, 375));
    m_cmdOK->setDefault(true);
    m_cmdOK->setAutoDefault(false);
    connect(m_cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

    setTabOrder(m_txtPassword, m_cmdOK);
    m_txtPassword->setFocus();
    Form_Load();
}

void frmpassword::Form_Load()
{
    WidgetFormWindow form(*this);
    basLibrary::CentreForm(form);
    m_cmdOK->setText(QStringLiteral("OK"));
    setWindowTitle(QStringLiteral("Password"));
    m_txtPassword->setAlignment(basGlobal::AlignRight ? Qt::AlignRight : Qt::AlignLeft);
}

void frmpassword::cmdOK_Click()
{
    basGlobal::EnteredPassword = m_txtPassword->text();
    accept();
}

void frmpassword::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept(); // no cancel: Escape does nothing
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kelvane
