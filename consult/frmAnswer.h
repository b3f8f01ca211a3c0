#pragma once

#include "consult/ConsultationDialog.h"

#include <vector>

class QLabel;
class QPushButton;

namespace kelvane {

class Link;
class TextLabel;

// Follows every answered node that has links: sets the user's answer beside the one the
// knowledge base computes from the links, says whether it agrees and, when it does not,
// why. The user keeps the own answer (cmdAgree), takes the knowledge base's (cmdDisagree),
// or rejects single reasons and sees the reasoning again without them; rejections last
// while the dialog is open. Both ways on are captioned "Proceed". Its handlers report to
// the module "frmAnswer".
class frmAnswer : public ConsultationDialog {
    Q_OBJECT

public:
    explicit frmAnswer(QWidget* parent = nullptr);
    ~frmAnswer() override;

    // Builds the verdict and the reason lines.
    void DisplayReasoning();

    // The handlers of the buttons; `Index` is the line of the Reject button pressed.
    void cmdAgree_Click();
    void cmdDisagree_Click();
    void cmdReject_Click(int Index);

    QLabel* lblQuestion() const { return m_lblQuestion; }
    QLabel* Label5() const { return m_Label5; }
    QLabel* lblYourAnswer() const { return m_lblYourAnswer; }
    QLabel* Label3() const { return m_Label3; }
    QLabel* lblMyAnswer() const { return m_lblMyAnswer; }
    QLabel* Label4() const { return m_Label4; }
    QPushButton* cmdAgree() const { return m_cmdAgree; }
    QPushButton* cmdDisagree() const { return m_cmdDisagree; }
    // Line `index` of the reasons and its Reject button; element 0 is the hidden template,
    // lines are numbered from 1 (lineCount of them).
    QLabel* lblReason(int index) const { return m_lines.at(index).reason; }
    QPushButton* cmdReject(int index) const { return m_lines.at(index).reject; }
    int lineCount() const { return int(m_lines.size()) - 1; }

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void closeBox() override { agree(); }

private:
    struct ReasonLine {
        QLabel* reason;       // owned by the dialog
        QPushButton* reject;  // owned by the dialog
        std::shared_ptr<Link> link;
    };

    void showWholeQuestion(TextLabel& question);
    void addLine(const QString& text, const std::shared_ptr<Link>& link, bool rejectable);
    void unloadLines();
    void agree();
    void goOn();

    QLabel* m_lblQuestion;
    QLabel* m_Label5;
    QLabel* m_lblYourAnswer;
    QLabel* m_Label3;
    QLabel* m_lblMyAnswer;
    QLabel* m_Label4;
    QPushButton* m_cmdAgree;
    QPushButton* m_cmdDisagree;
    std::vector<ReasonLine> m_lines; // element 0 is the template
};

} // namespace kelvane
