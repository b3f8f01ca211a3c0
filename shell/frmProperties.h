#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kelvane {

class clsNetwork;
class frmNavigate;

// The properties of the network shown in the main window: its scenario name, author, last
// change (shown only) and scenario description. OK writes the edited fields back and marks the
// network changed, sets the window's caption, sends the network to the knowledge server while
// online, and redraws; Cancel writes nothing. Enter acts as OK, except in the description,
// where it starts a new line.
class frmProperties : public QDialog {
public:
    explicit frmProperties(frmNavigate& mainWindow);

    QLabel* Label1() const { return m_Label1; }
    QLabel* Label3() const { return m_Label3; }
    QLabel* Label4() const { return m_Label4; }
    QLabel* Label5() const { return m_Label5; }
    QLineEdit* txtTitle() const { return m_txtTitle; }
    QLineEdit* txtAuthor() const { return m_txtAuthor; }
    QLineEdit* txtVersion() const { return m_txtVersion; }
    QPlainTextEdit* txtCopyright() const { return m_txtCopyright; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

private:
    void createControls();
    void Form_Load();
    void cmdOK_Click();

    frmNavigate& m_mainWindow;
    std::shared_ptr<clsNetwork> m_network; // null when the window has none: nothing is written
    QLabel* m_Label1 = nullptr;
    QLabel* m_Label3 = nullptr;
    QLabel* m_Label4 = nullptr;
    QLabel* m_Label5 = nullptr;
    QLineEdit* m_txtTitle = nullptr;
    QLineEdit* m_txtAuthor = nullptr;
    QLineEdit* m_txtVersion = nullptr;
    QPlainTextEdit* m_txtCopyright = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

} // namespace kelvane
