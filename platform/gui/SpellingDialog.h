#pragma once

#include "platform/gui/SpellingPass.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTextEdit;

namespace platform::gui {

// Asks about one misspelt word: the text with the word marked, the suggestions, the word to
// put in its place, and Change, Ignore and Cancel. Closing the dialog cancels.
class SpellingDialog : public QDialog {
    Q_OBJECT

public:
    explicit SpellingDialog(const Misspelling& misspelling, QWidget* parent = nullptr);

    // Shows the dialog modally and gives the user's answer.
    static SpellingDecision ask(const Misspelling& misspelling, QWidget* parent = nullptr);

    SpellingDecision decision() const { return m_decision; }

private:
    void decide(SpellingDecision::Kind kind);

    QTextEdit* m_context = nullptr;
    QLineEdit* m_changeTo = nullptr;
    QListWidget* m_suggestions = nullptr;
    QPushButton* m_change = nullptr;
    SpellingDecision m_decision {SpellingDecision::Kind::Cancel, {}};
};

} // namespace platform::gui
