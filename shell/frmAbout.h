#pragma once

#include "shell/KnowledgeBaseInfoDialog.h"

#include <QImage>

namespace kelvane {

// The modal About box of the open knowledge base: the introduction's texts, filled by the same
// rules, the knowledge base's picture stretched over the frame, the maker's web address with a
// button to the web site, and a button that starts the system-information tool. It stores
// nothing.
class frmAbout : public KnowledgeBaseInfoDialog {
public:
    frmAbout(std::shared_ptr<clsNetwork> network, const QImage& splash, QWidget* parent = nullptr);

    QLabel* Label1() const { return m_Label1; }
    QPushButton* cmdKelvane() const { return m_cmdKelvane; }

    // Client area in twips, the unit the form was designed in.
    static constexpr int kClientWidth = 5550;
    static constexpr int kClientHeight = 4995;

private:
    void Form_Load(const QImage& splash);
    void cmdKelvane_Click();
    void cmdSysInfo_Click();
    // Starts the system-information tool the registry names; says so when there is none.
    void StartSysInfo();

    QLabel* m_Label1 = nullptr;
    QPushButton* m_cmdKelvane = nullptr;
};

} // namespace kelvane
