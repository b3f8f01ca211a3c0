#pragma once

#include "consult/AbstractMainWindow.h"
#include "diagram/ctlPelnet.h"

#include <QWidget>

namespace kelvane::doubles {

// A main window for tests: a widget named "frmNavigate" with its diagram control
// "ctlPelnet1", registered as the program's main window while it exists. Counts the
// requests for the focus.
class TestMainWindow : public QWidget, public AbstractMainWindow {
public:
    TestMainWindow() : m_registration(*this)
    {
        setObjectName(kName);
        resize(400, 300);
        m_ctlPelnet1 = new ctlPelnet(this);
        m_ctlPelnet1->setObjectName(QStringLiteral("ctlPelnet1"));
        m_ctlPelnet1->resize(400, 300);
    }

    int focusRequests = 0;

    QString Name() const override { return kName; }
    bool Enabled() const override { return isEnabled(); }
    void setEnabled(bool enabled) override { QWidget::setEnabled(enabled); }
    void SetFocus() override
    {
        ++focusRequests;
        activateWindow();
    }
    ctlPelnet& ctlPelnet1() override { return *m_ctlPelnet1; }
    QWidget& widget() override { return *this; }

private:
    MainWindowRegistration m_registration;
    ctlPelnet* m_ctlPelnet1; // owned by the window
};

} // namespace kelvane::doubles
