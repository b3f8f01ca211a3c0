#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kelvane {

// The small modal dialog that asks for one password. It checks nothing: OK stores the typed
// text in basGlobal::EnteredPassword and closes the dialog (accepted); the close box closes
// it without touching that value (rejected). There is no cancel button and Escape does
// nothing. The caller replaces the caption "Password" with its own before showing it.
class frmpassword : public QDialog {
public:
    explicit frmpassword(QWidget* parent = nullptr);

    QLineEdit* txtPassword() const { return m_txtPassword; }
    QPushButton* cmdOK() const { return m_cmdOK; }

    // Client area in twips, the unit the dialog was designed in.
    static constexpr int kClientWidth = 2985;
    static constexpr int kClientHeight = 1185;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();

    QLineEdit* m_txtPassword = nullptr; // owned by the dialog
    QPushButton* m_cmdOK = nullptr;     // owned by the dialog
};

} // namespace kelvane
