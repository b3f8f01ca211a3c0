#pragma once

#include <QDialog>
#include <QImage>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;

namespace kelvane {

class clsNetwork;

// The modal screen that introduces a knowledge base just opened: its name, author, last change,
// copyright and description in the knowledge base's own fonts and colours, its picture, a fixed
// warning, buttons to the web site and the support page, and the choice not to show the screen
// again for this knowledge base, stored however the screen is closed.
class frmIntroduction : public QDialog {
public:
    frmIntroduction(std::shared_ptr<clsNetwork> network, const QImage& splash, QWidget* parent = nullptr);

    QLabel* lblTitle() const { return m_lblTitle; }
    QLabel* lblVersion() const { return m_lblVersion; }
    QLabel* lblDescription() const { return m_lblDescription; }
    QLabel* lblLastModified() const { return m_lblLastModified; }
    QLabel* lblKBDescription() const { return m_lblKBDescription; }
    QLabel* lblDisclaimer() const { return m_lblDisclaimer; }
    QLabel* picGraphic() const { return m_picGraphic; }
    QLabel* Image1() const { return m_Image1; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdSysInfo() const { return m_cmdSysInfo; }
    QPushButton* Command1() const { return m_Command1; }
    QCheckBox* Check1() const { return m_Check1; }

    // Client area in twips, the unit the form was designed in.
    static constexpr int kClientWidth = 5535;
    static constexpr int kClientHeight = 4950;

    void done(int result) override;

private:
    void createControls();
    void Form_Load(const QImage& splash);
    void Command1_Click();
    void cmdSysInfo_Click();
    void Form_Unload();

    std::shared_ptr<clsNetwork> m_network;
    QLabel* m_picGraphic = nullptr;
    QLabel* m_Image1 = nullptr;
    QLabel* m_Picture1 = nullptr;
    QLabel* m_lblTitle = nullptr;
    QLabel* m_lblVersion = nullptr;
    QLabel* m_lblDescription = nullptr;
    QLabel* m_lblLastModified = nullptr;
    QLabel* m_lblKBDescription = nullptr;
    QLabel* m_lblDisclaimer = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdSysInfo = nullptr;
    QPushButton* m_Command1 = nullptr;
    QCheckBox* m_Check1 = nullptr;
};

} // namespace kelvane
