#include "model/ErrorTrap.h"
#include "model/basLibrary.h"
#include "platform/doubles/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QStringList>

using platform::ScopedService;
using platform::UiServices;
using platform::doubles::ScriptedUiServices;

namespace {

struct DebugModeOn {
    DebugModeOn() { basLibrary::DebugMode = true; }
    ~DebugModeOn() { basLibrary::DebugMode = false; }
};

double failingCalculation()
{
    return kelvane::trapped("basKelva", "CalculateAnswer", 0.5, []() -> double {
        kelvane::raiseError(kelvane::err::Overflow);
    });
}

} // namespace

TEST(ErrorReporter, IsSilentWhileDebugModeIsOff)
{
    ScopedService<UiServices, ScriptedUiServices> ui;
    EXPECT_EQ(failingCalculation(), 0.5);
    EXPECT_TRUE(ui->messageBoxes.empty());
}

TEST(ErrorReporter, ShowsTheExactMessageInDebugMode)
{
    ScopedService<UiServices, ScriptedUiServices> ui;
    DebugModeOn debug;
    basLibrary::ReportError(QStringLiteral("basRegistry"), QStringLiteral("ShellFile"),
                            kelvane::RuntimeError(53));
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text,
              QStringLiteral("Error in routine: ShellFile in module: basRegistry\r[53] File not found"));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::Exclamation);
    EXPECT_EQ(ui->messageBoxes[0].title, platform::applicationTitle());
}

TEST(ErrorReporter, AnEmptyDescriptionStillGivesTheBracketedNumber)
{
    ScopedService<UiServices, ScriptedUiServices> ui;
    DebugModeOn debug;
    basLibrary::ReportError(QStringLiteral("M"), QStringLiteral("P"), kelvane::RuntimeError(1234, QStringLiteral("")));
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_TRUE(ui->messageBoxes[0].text.endsWith(QStringLiteral("\r[1234] ")));
}

TEST(ErrorReporter, TrapReportsAndReturnsTheNeutralResult)
{
    ScopedService<UiServices, ScriptedUiServices> ui;
    DebugModeOn debug;
    EXPECT_EQ(failingCalculation(), 0.5);
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_TRUE(ui->messageBoxes[0].text.startsWith(
        QStringLiteral("Error in routine: CalculateAnswer in module: basKelva\r[6] ")));
}

TEST(ErrorReporter, LogsEveryTrappedErrorOutsideDebugModeToo)
{
    static QStringList logged;
    logged.clear();
    const auto previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg && QLatin1String(context.category) == QLatin1String("kelvane.errors"))
            logged << text;
    });
    ScopedService<UiServices, ScriptedUiServices> ui;
    failingCalculation();
    qInstallMessageHandler(previous);
    EXPECT_EQ(logged, QStringList({"Error in routine: CalculateAnswer in module: basKelva [6] Overflow"}));
    EXPECT_TRUE(ui->messageBoxes.empty());
}
