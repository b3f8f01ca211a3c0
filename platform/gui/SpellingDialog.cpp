#include "platform/gui/SpellingDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>

namespace platform::gui {

SpellingDialog::SpellingDialog(const Misspelling& misspelling, QWidget* parent)
    : QDialog(parent)
    , m_context(new QTextEdit(this))
    , m_changeTo(new QLineEdit(this))
    , m_suggestions(new QListWidget(this))
{
    setWindowTitle(tr("Spelling"));

    // The text, read only, with the word marked and in view.
    m_context->setObjectName(QStringLiteral("txtContext"));
    m_context->setReadOnly(true);
    m_context->setPlainText(misspelling.text);
    m_context->setMaximumHeight(m_context->fontMetrics().height() * 5);
    QTextCursor word(m_context->document());
    word.setPosition(int(misspelling.start));
    word.setPosition(int(misspelling.start + misspelling.length), QTextCursor::KeepAnchor);
    QTextEdit::ExtraSelection mark;
    mark.cursor = word;
    mark.format.setForeground(Qt::red);
    mark.format.setFontUnderline(true);
    m_context->setExtraSelections({mark});
    m_context->setTextCursor(word);
    m_context->ensureCursorVisible();

    m_changeTo->setObjectName(QStringLiteral("txtChangeTo"));
    m_changeTo->setText(misspelling.suggestions.value(0, misspelling.word()));
    m_suggestions->setObjectName(QStringLiteral("lstSuggestions"));
    m_suggestions->addItems(misspelling.suggestions);
    if (m_suggestions->count() > 0)
        m_suggestions->setCurrentRow(0);
    connect(m_suggestions, &QListWidget::currentTextChanged, m_changeTo, &QLineEdit::setText);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    m_change = buttons->addButton(tr("&Change"), QDialogButtonBox::AcceptRole);
    m_change->setObjectName(QStringLiteral("cmdChange"));
    m_change->setDefault(true);
    QPushButton* ignore = buttons->addButton(tr("&Ignore"), QDialogButtonBox::ActionRole);
    ignore->setObjectName(QStringLiteral("cmdIgnore"));
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    // A word is changed into something, never into nothing.
    m_change->setEnabled(!m_changeTo->text().isEmpty());
    connect(m_changeTo, &QLineEdit::textChanged, this, [this](const QString& text) { m_change->setEnabled(!text.isEmpty()); });
    connect(m_change, &QPushButton::clicked, this, [this] { decide(SpellingDecision::Kind::Change); });
    connect(ignore, &QPushButton::clicked, this, [this] { decide(SpellingDecision::Kind::Ignore); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_suggestions, &QListWidget::itemDoubleClicked, this, [this] { decide(SpellingDecision::Kind::Change); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(tr("Not in dictionary:"), this), 0, 0);
    layout->addWidget(m_context, 1, 0);
    auto* changeToLabel = new QLabel(tr("Change &to:"), this);
    changeToLabel->setBuddy(m_changeTo);
    layout->addWidget(changeToLabel, 2, 0);
    layout->addWidget(m_changeTo, 3, 0);
    auto* suggestionsLabel = new QLabel(tr("&Suggestions:"), this);
    suggestionsLabel->setBuddy(m_suggestions);
    layout->addWidget(suggestionsLabel, 4, 0);
    layout->addWidget(m_suggestions, 5, 0);
    layout->addWidget(buttons, 1, 1, 5, 1);
}

void SpellingDialog::decide(SpellingDecision::Kind kind)
{
    m_decision = {kind, kind == SpellingDecision::Kind::Change ? m_changeTo->text() : QString()};
    accept();
}

SpellingDecision SpellingDialog::ask(const Misspelling& misspelling, QWidget* parent)
{
    SpellingDialog dialog(misspelling, parent);
    dialog.exec();
    return dialog.decision();
}

} // namespace platform::gui
