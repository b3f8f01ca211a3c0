#pragma once

#include <QObject>

class QWidget;

namespace kelvane {

// F1 anywhere in the program opens the help page of the place it is pressed in: the help
// context number ("HelpContextID") of the focused control or of the nearest control holding
// it, else of its window. A place without a number, or a number without a page, opens the
// help's contents. Installed on the application while the main window lives.
class HelpKey : public QObject {
    Q_OBJECT

public:
    explicit HelpKey(QObject* parent = nullptr);

    // The help context number of the widget's place; 0 when neither it nor its window has one.
    static int ContextOf(const QWidget& widget);
    // Opens the help page of the widget's place (what F1 there does).
    static void ShowHelpFor(const QWidget& widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kelvane
