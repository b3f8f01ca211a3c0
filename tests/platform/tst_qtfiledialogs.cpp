#include "platform/gui/QtFileDialogs.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

using platform::FileDialogRequest;
using platform::gui::QtFileDialogs;

TEST(QtFileDialogs, OldFiltersBecomeNameFiltersThatIgnoreTheCaseOfExtensions)
{
    EXPECT_EQ(QtFileDialogs::nameFilters(QStringLiteral("Kelvane XML (*.xml)|*.xml|All files (*.*)|*.*")),
              (QStringList {QStringLiteral("Kelvane XML (*.xml *.XML)"), QStringLiteral("All files (*)")}));
    EXPECT_EQ(QtFileDialogs::nameFilters(QStringLiteral("Documents|*.qkb;*.qks")),
              QStringList {QStringLiteral("Documents (*.qkb *.QKB *.qks *.QKS)")});
    EXPECT_TRUE(QtFileDialogs::nameFilters({}).isEmpty());
}

TEST(QtFileDialogs, AnOpenDialogGivesTheChosenFileAndNothingWhenCancelled)
{
    const QString chosen = kelvane::test::scratchFolder() + QStringLiteral("/car.qkb");
    QFile file(chosen);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    FileDialogRequest request;
    request.title = QStringLiteral("Select Knowledge Base");
    request.initialFolder = kelvane::test::scratchFolder();
    request.filter = QStringLiteral("Knowledge Base (*.qkb)|*.qkb");
    request.flags = FileDialogRequest::kFileMustExist;

    QString title;
    QTimer::singleShot(100, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QStringLiteral("car.qkb"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QtFileDialogs dialogs;
    EXPECT_EQ(dialogs.showOpen(request), chosen);
    EXPECT_EQ(title, request.title);

    QTimer::singleShot(100, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(dialogs.showOpen(request), std::nullopt);
}
