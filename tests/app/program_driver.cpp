// The program itself, its own start-up and end, with a user's hand on it: the steps named by
// KELVANE_DRIVER_STEPS (separated by ",") are taken one after the other as the windows they
// need appear, and each is written to the standard output. The steps:
//   online  click Online on the start dialog
//   ok      press Return on the message box shown, after writing its text
//   choose  choose the car knowledge base in the server's folder browser and press OK
//   escape  press Escape on the start dialog, once its buttons can be used again
//   close   close the main window once its document is open

#include "app/ProgramMain.h"
#include "server/frmConnect.h"
#include "shell/frmNavigate.h"
#include "shell/frmViewerSplash.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <functional>

using namespace kelvane;

namespace {

template <class Window>
Window* shown()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(top); window && window->isVisible())
            return window;
    }
    return nullptr;
}

void tell(const QString& what)
{
    std::printf("%s\n", qPrintable(what));
    std::fflush(stdout);
}

using Action = std::function<void()>;

// What the step does, once its window is there; nothing while it is not.
Action actionOf(const QString& step)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (step == u"ok") {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return {};
        return [box] {
            tell(QStringLiteral("message: ") + box->text().replace(u'\n', QStringLiteral(" | ")));
            QTest::keyClick(box, Qt::Key_Return);
        };
    }
    if (step == u"choose") {
        auto* browser = qobject_cast<frmConnect*>(modal);
        if (!browser)
            return {};
        return [browser] {
            QTreeWidgetItem* cars = browser->TreeView1()->topLevelItem(0)->child(0);
            browser->TreeView1()->setCurrentItem(cars->child(0));
            tell(QStringLiteral("chosen: ") + cars->child(0)->text(0));
            QTest::mouseClick(browser->cmdOK(), Qt::LeftButton);
        };
    }
    if (step == u"close") {
        auto* window = shown<frmNavigate>();
        if (!window || !window->DocumentReady || modal)
            return {};
        return [window] {
            tell(QStringLiteral("main window: ") + window->windowTitle());
            window->close();
        };
    }
    auto* start = shown<frmViewerSplash>();
    if (!start || (modal && modal != start) || !start->cmdOffline()->isEnabled())
        return {};
    if (step == u"online") {
        if (!start->cmdOnLine()->isEnabled()) // a log-on still under way
            return {};
        return [start] { QTest::mouseClick(start->cmdOnLine(), Qt::LeftButton); };
    }
    if (step == u"escape") {
        return [start] {
            tell(QStringLiteral("start dialog: ") + start->windowTitle());
            QTest::keyClick(start, Qt::Key_Escape);
        };
    }
    return [step] { tell(QStringLiteral("unknown step: ") + step); };
}

void driveTheProgram()
{
    auto* timer = new QTimer(QCoreApplication::instance());
    auto steps = std::make_shared<QStringList>(qEnvironmentVariable("KELVANE_DRIVER_STEPS").split(u',', Qt::SkipEmptyParts));
    QObject::connect(timer, &QTimer::timeout, timer, [steps, timer] {
        if (steps->isEmpty()) {
            timer->stop();
            return;
        }
        // The step runs on its own, not inside this timer, which then goes on looking for the
        // window of the next step while the step runs a dialog or a wait of its own.
        if (const Action action = actionOf(steps->first())) {
            steps->removeFirst();
            QTimer::singleShot(0, QCoreApplication::instance(), action);
        }
    });
    timer->start(50);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(driveTheProgram)

int main(int argc, char** argv)
{
    return RunProgram(argc, argv);
}
