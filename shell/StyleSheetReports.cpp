#include "shell/StyleSheetReports.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTimer>

namespace kelvane::stylesheetreports {

namespace {

constexpr std::chrono::milliseconds kKillWait {2000};

// The style sheets of the folder in name order.
QFileInfoList styleSheets(const QString& folder)
{
    const QDir dir(folder);
    QFileInfoList sheets;
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase)) {
        const QString name = entry.fileName();
        const QString upper = name.toUpper();
        if (name.size() > 4 && (upper.endsWith(QLatin1String(".XSL")) || upper.endsWith(QLatin1String(".XSLT"))))
            sheets << entry;
    }
    return sheets;
}

QString reportNameOf(const QString& fileName)
{
    return fileName.left(fileName.indexOf(u'.'));
}

} // namespace

QStringList GetReportNames(const QString& folder)
{
    QStringList names;
    for (const QFileInfo& sheet : styleSheets(folder)) {
        const QString name = reportNameOf(sheet.fileName());
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    }
    return names;
}

QString StyleSheetOf(const QString& folder, const QString& name)
{
    QString firstListed;
    for (const QFileInfo& sheet : styleSheets(folder)) {
        if (reportNameOf(sheet.fileName()) != name)
            continue;
        if (sheet.fileName().compare(name + QStringLiteral(".xsl"), Qt::CaseInsensitive) == 0)
            return sheet.absoluteFilePath();
        if (firstListed.isEmpty())
            firstListed = sheet.absoluteFilePath();
    }
    return firstListed;
}

ReportFiles::ReportFiles(const QString& name, const QString& tempFolder)
    : document(QDir(tempFolder).filePath(name + QStringLiteral(".XML"))),
      result(QDir(tempFolder).filePath(name + QStringLiteral(".HTML")))
{
}

bool Transform(const QString& styleSheet, const QString& document, const QString& result,
               std::chrono::milliseconds timeout, const QString& program)
{
    // The style sheet may write no file and make no folder: the report is the tool's output,
    // which goes to the result file. A failed run leaves no result behind.
    QProcess tool;
    tool.setProgram(program);
    tool.setArguments({QStringLiteral("--nonet"), QStringLiteral("--nowrite"), QStringLiteral("--nomkdir"), styleSheet, document});
    tool.setStandardInputFile(QProcess::nullDevice());
    tool.setStandardOutputFile(result, QIODevice::Truncate);
    auto removeResultOnFailure = qScopeGuard([&] { QFile::remove(result); });
    tool.start();
    if (!tool.waitForStarted(int(timeout.count()))) {
        qWarning("The report tool %s could not be started: %s", qPrintable(program), qPrintable(tool.errorString()));
        return false;
    }

    // The window stays responsive while the tool works. finished() can only arrive through
    // the loop, so it is not missed between the test and exec().
    if (tool.state() != QProcess::NotRunning) {
        QEventLoop wait;
        QObject::connect(&tool, &QProcess::finished, &wait, &QEventLoop::quit);
        QTimer::singleShot(timeout, &wait, &QEventLoop::quit);
        wait.exec();
    }
    if (tool.state() != QProcess::NotRunning) {
        qWarning("The report tool took longer than %lld ms and was stopped", static_cast<long long>(timeout.count()));
        tool.kill();
        tool.waitForFinished(int(kKillWait.count()));
        return false;
    }
    const QByteArray errors = tool.readAllStandardError().trimmed();
    const bool succeeded = tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    if (!succeeded) {
        if (!errors.isEmpty())
            qWarning("The report tool failed: %s", errors.constData());
        return false;
    }
    removeResultOnFailure.dismiss();
    return QFileInfo(result).isFile();
}

} // namespace kelvane::stylesheetreports
