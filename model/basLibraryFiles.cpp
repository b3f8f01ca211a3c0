// Path, file and folder routines of the common library.
#include "model/basLibrary.h"

#include "platform/FileBytes.h"
#include "platform/HostPath.h"
#include "platform/SystemInfo.h"
#include "platform/TextEncoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace basLibrary {

namespace {

constexpr qsizetype kRecordLength = 1024;

bool isSeparator(QChar c) { return c == u'\\' || c == u'/'; }

qsizetype lastSeparator(const QString& path, qsizetype from = -1)
{
    for (qsizetype i = from < 0 ? path.size() - 1 : from; i >= 0; --i) {
        if (isSeparator(path[i]))
            return i;
    }
    return -1;
}

// The end (exclusive) of each prefix of a path: its text up to and including each separator.
QList<qsizetype> prefixEnds(const QString& path)
{
    QList<qsizetype> ends;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (isSeparator(path[i]))
            ends.append(i + 1);
    }
    return ends;
}

// Folders compare without regard to case or to the kind of separator.
bool sameFolder(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (isSeparator(a[i]) && isSeparator(b[i]))
            continue;
        if (a[i].toCaseFolded() != b[i].toCaseFolded())
            return false;
    }
    return true;
}

// The separator a path writes ("\" when it has none).
QChar separatorOf(const QString& path)
{
    for (const QChar c : path) {
        if (isSeparator(c))
            return c;
    }
    return u'\\';
}

// The folder above a folder that ends in a separator; a root ("C:\", "/") stays itself.
QString parentFolder(const QString& folder)
{
    QString inner = folder;
    if (!inner.isEmpty() && isSeparator(inner.back()))
        inner.chop(1);
    const qsizetype cut = lastSeparator(inner);
    if (cut >= 0)
        return inner.left(cut + 1);
    const bool isRoot = inner.isEmpty() || inner.endsWith(u':');
    return isRoot ? folder : QString();
}

QString upToNul(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

// The error for a file that cannot be opened: the folder missing, or no access.
[[noreturn]] void raiseOpenFailure(const QFileInfo& file)
{
    if (!QFileInfo(file.absolutePath()).isDir())
        kelvane::raiseError(kelvane::err::PathNotFound);
    kelvane::raiseError(kelvane::err::PathFileAccess);
}

// A file-name pattern with the wildcards "*" and "?" ("*.*" is every file).
QRegularExpression wildcardPattern(const QString& pattern)
{
    if (pattern == QStringLiteral("*.*"))
        return QRegularExpression(QStringLiteral("^.*$"));
    QString expression = QStringLiteral("^");
    for (const QChar c : pattern) {
        if (c == u'*')
            expression += QStringLiteral(".*");
        else if (c == u'?')
            expression += u'.';
        else
            expression += QRegularExpression::escape(QString(c));
    }
    expression += u'$';
    return QRegularExpression(expression);
}

} // namespace

QString FileNameOfPath(const QString& path)
{
    QString name = path;
    const qsizetype colon = name.indexOf(u':');
    if (colon >= 0 && lastSeparator(name, colon) < 0)
        name.remove(0, colon + 1); // a drive prefix
    return name.mid(lastSeparator(name) + 1);
}

QString FolderOfPath(const QString& path)
{
    return path.left(lastSeparator(path) + 1);
}

QString AbsolutePath(const QString& base, const QString& relative)
{
    QString result = base;
    qsizetype from = 0;
    while (from < relative.size()) {
        qsizetype end = from;
        while (end < relative.size() && !isSeparator(relative[end]))
            ++end;
        if (end < relative.size())
            ++end; // the segment keeps its separator
        const QStringView segment = QStringView(relative).mid(from, end - from);
        const bool isUp = segment.size() == 3 && segment.startsWith(u"..") && isSeparator(segment[2]);
        if (isUp)
            result = parentFolder(result);
        else
            result += segment;
        from = end;
    }
    return result;
}

QString RelativePath(const QString& path)
{
    QString program = platform::systemInfo().programFolder();
    if (program.isEmpty() || !isSeparator(program.back()))
        program += separatorOf(program);
    const QList<qsizetype> programEnds = prefixEnds(program);
    const QList<qsizetype> pathEnds = prefixEnds(path);

    qsizetype shared = 0;
    while (shared < programEnds.size() && shared < pathEnds.size()
           && sameFolder(QStringView(path).left(pathEnds[shared]), QStringView(program).left(programEnds[shared])))
        ++shared;

    const QChar separator = separatorOf(path);
    if (shared == 0)
        return path;
    if (shared == 1)
        return QStringLiteral("...") + separator + path.mid(pathEnds[0]);
    QString steps;
    for (qsizetype up = programEnds.size() - shared; up > 0; --up)
        steps += QStringLiteral("..") + separator;
    return steps + path.mid(pathEnds[shared - 1]);
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QString host = platform::hostPath(path);
    if (!QFileInfo(host).isFile())
        return false;
    QFile file(host);
    return file.open(QIODevice::ReadOnly);
}

void DeleteFileIn(const QString& folder, const QString& fileName)
{
    const QString full = platform::hostPath(folder + u'/' + fileName);
    const qsizetype cut = full.lastIndexOf(u'/');
    const QString pattern = full.mid(cut + 1);
    if (pattern.isEmpty())
        return;
    if (!pattern.contains(u'*') && !pattern.contains(u'?')) {
        if (QFileInfo(full).isFile())
            QFile::remove(full);
        return;
    }
    const QDir dir(full.left(cut + 1));
    const QRegularExpression matcher = wildcardPattern(pattern);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (matcher.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
    }
}

QString ReadWholeFile(const QString& path)
{
    const QFileInfo info(platform::hostPath(path));
    if (!info.exists()) {
        if (!QFileInfo(info.absolutePath()).isDir())
            kelvane::raiseError(kelvane::err::PathNotFound);
        kelvane::raiseError(kelvane::err::FileNotFound);
    }
    QByteArray bytes = platform::readFileBytes(path);
    const qsizetype records = bytes.size() / kRecordLength + 1;
    bytes.append(records * kRecordLength - bytes.size(), '\0');
    return platform::encoding::fromAnsi(bytes);
}

void WriteWholeFile(const QString& text, const QString& path)
{
    QByteArray bytes = platform::encoding::toAnsi(text);
    const qsizetype records = bytes.size() / kRecordLength + 1;
    bytes.append(records * kRecordLength - bytes.size(), ' ');
    const QFileInfo info(platform::hostPath(path));
    QFile file(info.filePath());
    if (info.isDir() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        raiseOpenFailure(info);
    if (file.write(bytes) != bytes.size() || !file.flush())
        kelvane::raiseError(kelvane::err::PathFileAccess);
}

QString GetWindowsUserName() { return upToNul(platform::systemInfo().userName()); }

QString SpecialFolderPath(int folder)
{
    if (folder != FolderPersonal)
        return {};
    return upToNul(platform::systemInfo().documentsFolder());
}

void TemplatesDirectory()
{
    DocumentsFolder = SpecialFolderPath(FolderPersonal);
    TempFolder = platform::systemInfo().tempFolder();
}

} // namespace basLibrary
