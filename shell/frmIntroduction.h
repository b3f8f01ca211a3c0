#pragma once

#include "shell/KnowledgeBaseInfoDialog.h"

#include <QImage>

class QCheckBox;

namespace kelvane {

// The modal screen that introduces a knowledge base just opened: its name, author, last change,
// copyright and description in the knowledge base's own fonts and colours, its picture, a fixed
// warning, buttons to the web site and the support page, and the choice not to show the screen
// again for this knowledge base, stored however the screen is closed.
class frmIntroduction : public KnowledgeBaseInfoDialog {
public:
    frmIntroduction(std::shared_ptr<clsNetwork> network, const QImage& splash, QWidget* parent = nullptr);

    QPushButton* Command1() const { return m_Command1; }
    QCheckBox* Check1() const { return m_Check1; }

    // Client area in twips, the unit the form was designed in.
    static constexpr int kClientWidth = 5535;
    static constexpr int kClientHeight = 4950;

    void done(int result) override;

private:
    void Form_Load(const QImage& splash);
    void Command1_Click();
    void cmdSysInfo_Click();
    void Form_Unload();

    QLabel* m_Picture1 = nullptr;
    QPushButton* m_Command1 = nullptr;
    QCheckBox* m_Check1 = nullptr;
};

} // namespace kelvane
