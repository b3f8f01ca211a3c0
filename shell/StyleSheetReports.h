#pragma once

#include <QString>
#include <QStringList>
#include <chrono>

// The printable reports of the program folder: every XSL style sheet there is one report,
// named by its file name up to the first ".". A report is produced by transforming the open
// knowledge base, written as an XML document, into an HTML page.
namespace kelvane::stylesheetreports {

// The report names of the folder's style sheets (".xsl" or ".xslt" in any letter case), in
// name order (letter case aside), each name once (a.xsl and a.XSLT give one report "a").
QStringList GetReportNames(const QString& folder);

// The style sheet a report is produced from: "<name>.xsl" in any letter case when the folder
// holds one, else the first style sheet in name order listed under that name; "" when none.
QString StyleSheetOf(const QString& folder, const QString& name);

// The files of one run of a report: the document "<name>.XML" and the result "<name>.HTML" in
// the temporary folder.
struct ReportFiles {
    ReportFiles(const QString& name, const QString& tempFolder);
    QString document;
    QString result;
};

// How long the transformation may take before it is stopped: the wait ends once more than
// five whole seconds have passed since it started, which is six seconds at most.
inline constexpr std::chrono::milliseconds kTransformTimeout {6000};

// Transforms `document` with `styleSheet` into `result` with xsltproc (`program`), which is
// started with an argument list (no shell), without network access and without the right to
// write files or make folders: its output is the result. The message loop runs while it works;
// after `timeout` it is killed. True when it ended on its own with exit code 0; otherwise no
// result file is left.
bool Transform(const QString& styleSheet, const QString& document, const QString& result,
               std::chrono::milliseconds timeout = kTransformTimeout, const QString& program = QStringLiteral("xsltproc"));

} // namespace kelvane::stylesheetreports
