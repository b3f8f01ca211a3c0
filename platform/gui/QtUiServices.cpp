#include "platform/gui/QtUiServices.h"

#include "platform/Colours.h"
#include "platform/QtFont.h"
#include "platform/RuntimeError.h"
#include "platform/gui/HunspellSpeller.h"
#include "platform/gui/MessageBoxLayout.h"
#include "platform/gui/PlainText.h"
#include "platform/gui/SpellingDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFontMetricsF>
#include <QInputDialog>
#include <QMessageBox>
#include <QScopeGuard>
#include <QScreen>

namespace platform::gui {

namespace {
constexpr double kTwipsPerInch = 1440.0;
constexpr double kFallbackDpi = 96.0;
} // namespace

QtUiServices::QtUiServices() : QtUiServices(HunspellSpeller::standardFolders()) {}

QtUiServices::QtUiServices(QStringList dictionaryFolders) : m_dictionaryFolders(std::move(dictionaryFolders)) {}

QtUiServices::~QtUiServices()
{
    if (m_busy)
        QGuiApplication::restoreOverrideCursor();
}

int QtUiServices::messageBox(const QString& text, int style, const QString& title)
{
    const MessageBoxLayout layout = MessageBoxLayout::fromStyle(style);
    QMessageBox box(layout.icon, QString(), QString(), QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setText(messageBoxText(text));
    setPlainWindowTitle(box, title);
    for (const auto& b : layout.buttons) {
        QPushButton* button = box.addButton(b.button);
        if (b.result == layout.defaultResult)
            box.setDefaultButton(button);
    }
    box.exec();
    return layout.resultOf(box.standardButton(box.clickedButton()));
}

std::optional<QString> QtUiServices::prompt(PromptKind kind, const QString& title, const QString& label)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(kind == PromptKind::Password ? QLineEdit::Password : QLineEdit::Normal);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<qint32> QtUiServices::chooseColour(qint32 colour)
{
    const qint32 plain = colours::resolve(colour);
    const QColor chosen = QColorDialog::getColor(QColor(colours::red(plain), colours::green(plain), colours::blue(plain)),
                                                 QApplication::activeWindow());
    if (!chosen.isValid())
        return std::nullopt;
    return colours::rgb(chosen.red(), chosen.green(), chosen.blue());
}

Speller* QtUiServices::speller()
{
    if (!m_spellerLookedFor) {
        m_speller = HunspellSpeller::open(m_dictionaryFolders);
        m_spellerLookedFor = true;
    }
    return m_speller.get();
}

bool QtUiServices::spellingAvailable() { return speller() != nullptr; }

SpellingResult QtUiServices::checkSpelling(const QString& text)
{
    Speller* dictionary = speller();
    if (!dictionary)
        kelvane::raiseError(kelvane::err::CantCreateObject, QStringLiteral("No spelling dictionary is installed."));
    return checkWords(text, *dictionary, [](const Misspelling& misspelling) {
        // The user answers with the normal pointer, whatever the caller shows meanwhile.
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
        const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        return SpellingDialog::ask(misspelling, QApplication::activeWindow());
    });
}

void QtUiServices::yield() { QCoreApplication::processEvents(); }

// The pointer is a state, not a stack: repeated calls with the same value change nothing.
void QtUiServices::setBusyPointer(bool busy)
{
    if (busy == m_busy)
        return;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
    m_busy = busy;
}

QString QtUiServices::clipboardText() { return QGuiApplication::clipboard()->text(); }

void QtUiServices::setClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

double QtUiServices::twipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen && screen->logicalDotsPerInchX() > 0 ? screen->logicalDotsPerInchX() : kFallbackDpi;
    return kTwipsPerInch / dpi;
}

QSize QtUiServices::screenSizeTwips()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize pixels = screen->size();
    const double scale = twipsPerPixel();
    return {qRound(pixels.width() * scale), qRound(pixels.height() * scale)};
}

double QtUiServices::textWidthTwips(const FontDescription& font, const QString& text)
{
    return QFontMetricsF(toQFont(font)).horizontalAdvance(text) * twipsPerPixel();
}

double QtUiServices::textHeightTwips(const FontDescription& font, const QString&)
{
    return QFontMetricsF(toQFont(font)).height() * twipsPerPixel();
}

} // namespace platform::gui
