#pragma once

#include "consult/ConsultationDialog.h"
#include "consult/NodeControlInputs.h"

#include <optional>

class QGroupBox;
class QPushButton;
class QTextEdit;

namespace kelvane {

class Fuzzy;

// Asks one node's question: the question and its reason, the answer options on the graded-
// answer control, one input per control definition of the node, a justification and the
// node's more-information target. OK stores all of it on the node and goes on with the
// consultation; Cancel leaves the node as it was; Reset clears its answer. However it
// closes, AfterQuestion is raised. Its handlers report to the module "frmQuestion".
class frmQuestion : public ConsultationDialog {
    Q_OBJECT

public:
    explicit frmQuestion(QWidget* parent = nullptr);
    ~frmQuestion() override;

    // The handlers of the buttons.
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdReset_Click();
    void cmdLink_Click();

    QGroupBox* fraQuestion() const { return m_fraQuestion; }
    QGroupBox* fraInformation() const { return m_fraInformation; }
    QGroupBox* fraAnswers() const { return m_fraAnswers; }
    QGroupBox* fraControls() const { return m_fraControls; }
    QGroupBox* fraJustification() const { return m_fraJustification; }
    QTextEdit* lblQuestion() const { return m_lblQuestion; }
    QTextEdit* lblReason() const { return m_lblReason; }
    QTextEdit* txtJustification() const { return m_txtJustification; }
    QPushButton* cmdLink() const { return m_cmdLink; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }
    QPushButton* cmdReset() const { return m_cmdReset; }
    Fuzzy* Fuzzy1() const { return m_Fuzzy1; }
    const NodeControlInputs& controlInputs() const { return *m_inputs; }

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void closeBox() override { cancel(); }
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void showMoreInfo();
    void showTexts();
    void showAnswers();
    QString knowledgeBaseFile() const;

    void ok();
    void cancel();
    void reset();
    void markNetworkChanged();

    QGroupBox* m_fraQuestion;
    QTextEdit* m_lblQuestion;
    QGroupBox* m_fraInformation;
    QTextEdit* m_lblReason;
    QPushButton* m_cmdLink;
    QGroupBox* m_fraAnswers;
    Fuzzy* m_Fuzzy1;
    QGroupBox* m_fraControls;
    std::optional<NodeControlInputs> m_inputs;
    QGroupBox* m_fraJustification;
    QTextEdit* m_txtJustification;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
    QPushButton* m_cmdReset;
};

} // namespace kelvane
