#pragma once

#include "consult/ConsultationDialog.h"
#include "consult/ConsultationWindow.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QTextEdit;
class QTreeWidget;

namespace kelvane {

// The list of the questions a node depends on, each with its state, shown while one of
// them is still pending. A double click on a line consults that question; Proceed asks the
// node's own question; Close ends the consultation. Preconditions dialogs stack through
// ParentPrecondition. Its handlers report to the module "frmPreconditions".
class frmPreconditions : public ConsultationDialog, public ConsultationWindow {
    Q_OBJECT

public:
    static inline const QString kName = QStringLiteral("frmPreconditions");

    explicit frmPreconditions(QWidget* parent = nullptr);

    QString Name() const override { return kName; }

    // Rebuilds the dialog for its node: caption, question and the list, each link of the
    // node tied to its line by the link's ListIndex (-1 for a link without a line). A
    // handler that cancels BeforePrecondition unloads the dialog instead.
    void PopulateForm();

    // The handlers of the buttons and the list.
    void cmdProceed_Click();
    void cmdNavigate_Click();
    void lstPreconditions_DblClick();

    QTextEdit* lblQuestion() const { return m_lblQuestion; }
    QLabel* lblCaption() const { return m_lblCaption; }
    QTreeWidget* lstPreconditions() const { return m_lstPreconditions; }
    QPushButton* cmdProceed() const { return m_cmdProceed; }
    QPushButton* cmdNavigate() const { return m_cmdNavigate; }
    QGroupBox* fraQuestion() const { return m_fraQuestion; }
    QGroupBox* fraPreconditions() const { return m_fraPreconditions; }
    // The line as the list received it: the name, then "\t" and the state.
    QString lineText(int row) const;

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void closeBox() override { navigate(); }

private:
    void addLine(const QString& name, const QString& state);
    void proceed();
    void navigate();

    QGroupBox* m_fraQuestion;
    QTextEdit* m_lblQuestion;
    QGroupBox* m_fraPreconditions;
    QLabel* m_lblCaption;
    QTreeWidget* m_lstPreconditions;
    QPushButton* m_cmdProceed;
    QPushButton* m_cmdNavigate;
};

} // namespace kelvane
