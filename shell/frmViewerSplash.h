#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kelvane {

class AbstractProgressBar;
class ProgressBarControl;
class frmNavigate;

// The start dialog, shown while the main window loads without a document named on the command
// line: the product's name, edition, version and build, and two ways in. Offline picks a
// knowledge-base or scenario file; Online logs on to the knowledge server. A choice sets the
// program's start-choice flag, shows the progress bar (the load reports on it) and disables
// both buttons. Closing the dialog before a choice ends the program (closedWithoutChoice).
class frmViewerSplash : public QDialog {
    Q_OBJECT

public:
    explicit frmViewerSplash(frmNavigate& parentForm);

    frmNavigate& ParentForm() const { return m_parentForm; }

    QLabel* lblProduct() const { return m_lblProduct; }
    QLabel* lblEdition() const { return m_lblEdition; }
    QLabel* lblVersion() const { return m_lblVersion; }
    QLabel* lblBuild() const { return m_lblBuild; }
    QPushButton* cmdOffline() const { return m_cmdOffline; }
    QPushButton* cmdOnLine() const { return m_cmdOnLine; }
    ProgressBarControl* ProgressBar1() const { return m_ProgressBar1; }

    // "Version 2", "Version 2.5"; "  Debug Mode" added while the debug flag is on.
    static QString VersionText(int major, int minor, bool debugMode);
    // "Build 2.5.17".
    static QString BuildText(int major, int minor, int revision);

    // The knowledge-server procedures of the dialog, over its own request file and time limit:
    // logging off (true when the reply gave a result), opening a knowledge base in the main
    // window's diagram with the main window's progress bar, and writing a document.
    bool TavroDisconnect();
    bool ServerRead(const QString& guid);
    QString ServerWrite(const QString& guid, const QString& xml, const QString& path, AbstractProgressBar* progress = nullptr);

Q_SIGNALS:
    void choiceMade();
    void closedWithoutChoice();

protected:
    void reject() override;

private:
    void Form_Load();
    void cmdOffline_Click();
    void cmdOnLine_Click();
    void choose();

    frmNavigate& m_parentForm;
    QLabel* m_lblProduct = nullptr;
    QLabel* m_lblEdition = nullptr;
    QLabel* m_lblVersion = nullptr;
    QLabel* m_lblBuild = nullptr;
    QPushButton* m_cmdOffline = nullptr;
    QPushButton* m_cmdOnLine = nullptr;
    ProgressBarControl* m_ProgressBar1 = nullptr;
    bool m_loggingOn = false; // the Online button's log-on is under way
};

} // namespace kelvane
