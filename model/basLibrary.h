#pragma once

#include "platform/RuntimeError.h"
#include "platform/Variant.h"

#include <QString>
#include <QStringList>
#include <array>

namespace kelvane {
class CaptionLabel;
class FormWindow;
} // namespace kelvane

// The common library of the whole program: GUID texts, text and path routines, files,
// the password scrambling, and the common error reporter. Paths may use "\" or "/" as
// separators (stored data carries the old "\" form); files are opened in the host form.
// Where text becomes bytes, one character is one byte of the ANSI code page (Windows-1252).
namespace basLibrary {

// Process-wide values.
inline bool DebugMode = false;   // nothing in the system turns it on
inline QString DocumentsFolder;  // set by TemplatesDirectory at start-up
inline QString TempFolder;       // set by TemplatesDirectory at start-up

// The folder number of the user's documents folder, for SpecialFolderPath.
inline constexpr int FolderPersonal = 5;

// The common error reporter: logs the routine, the module, the error number and its text
// as a warning of the logging category "kelvane.errors"; while DebugMode is on, a modal
// message box with the exclamation icon says the same.
void ReportError(const QString& moduleName, const QString& procedureName, const kelvane::RuntimeError& error);

// --- GUID texts and hexadecimal -------------------------------------------------------

// "01", a 10-digit time stamp, then the fields of a new platform GUID: 44 characters.
QString NewGUIDString();
// Puts a new GUID text in `guid`, written over its own characters when nothing else holds them.
void RenewGUIDString(QString& guid);
QString HexLong8(qint32 value);
QString HexInt4(qint16 value);
QString HexBytes8(const std::array<quint8, 8>& bytes);
// Hex digits read in two's complement ("FFFFFFFF" is -1); TypeMismatch (13) for text that
// is not hex, Overflow (6) beyond 32 bits.
qint32 HexToLong(const QString& hex);

// --- Text ---------------------------------------------------------------------------------

// Every occurrence of `search` replaced, left to right, never searching a replacement.
// An empty search text leaves the text unchanged.
QString ReplaceAll(const QString& text, const QString& search, const QString& replacement);

// The first value when it is less than or equal to the second, else the second (and the reverse).
kelvane::Variant MinVariant(const kelvane::Variant& a, const kelvane::Variant& b);
kelvane::Variant MaxVariant(const kelvane::Variant& a, const kelvane::Variant& b);

// Whether the text holds any of the few characters.
bool ContainsAnyOf(QStringView text, QStringView characters);

// Without the blanks at either end (tabs and line breaks stay), as stored texts are trimmed.
QString TrimBlanks(const QString& text);

// The text between the first `opening` and its matching `closing`, nested blocks kept whole
// ("a{b{c}d}e" gives "b{c}d"); empty when there is no opening or no matching closing.
QString TextBetween(const QString& text, QChar opening, QChar closing);

// The fields between the delimiters that stand outside double quotes (quotes stay in the
// fields); the field after the last delimiter only when `skipLast` is false.
QStringList SplitDoubleQuoted(const QString& text, QChar delimiter, bool skipLast);

// Name and value of a line "name = value" or "name is value" ("=" wins; a separator inside
// a quoted value does not count); KeyOfPair also takes the name of a line "name {".
QString KeyOfPair(QStringView line);
QString ValueOfPair(QStringView line);

// Both at once, as views of the line; of `storage` when the line holds a line break.
struct PairParts {
    QStringView key;
    QStringView value;
};
PairParts PartsOfPair(QStringView line, QString& storage);

// Repeating-key XOR of the ANSI codes; the same call undoes it. InvalidProcedureCall (5)
// for an empty key. The result may hold NUL characters.
QString XorScramble(const QString& text, const QString& key);

// --- Paths and files ------------------------------------------------------------------

// The part after the last separator (a drive prefix "C:" dropped first).
QString FileNameOfPath(const QString& path);
// The path up to and including its last separator; empty without one.
QString FolderOfPath(const QString& path);
// The relative path applied to `base` (a folder ending in a separator): "..\" steps up.
QString AbsolutePath(const QString& base, const QString& relative);
// The path relative to the program folder, as the recent-files menu shows it: "..\" steps,
// "...\" for the root of the program's drive, the path unchanged on another drive.
QString RelativePath(const QString& path);

// True only for a regular file that can be opened for reading.
bool FileExists(const QString& path);
// Deletes folder\name; the name may hold the wildcards "*" and "?". Errors are ignored.
void DeleteFileIn(const QString& folder, const QString& fileName);

// The file's bytes as ANSI text, filled with NUL characters to the end of its last
// 1024-byte record (a whole extra record when the length is a multiple of 1024).
// FileNotFound (53) for a missing file, PathNotFound (76) for a missing folder, PathFileAccess
// (75) for a file that cannot be read, is no regular file (a device, a pipe) or holds more than
// platform::kMaxFileBytes.
QString ReadWholeFile(const QString& path);
// Writes the text in the ANSI code page, padded with blanks to the end of its last 1024-byte
// record (a whole extra record when the length is a multiple of 1024); replaces the old file.
void WriteWholeFile(const QString& text, const QString& path);

// --- The user and the machine -----------------------------------------------------------

QString GetWindowsUserName();
// The path of a special folder by its platform number (FolderPersonal); empty for others.
QString SpecialFolderPath(int folder);
// Start-up: DocumentsFolder and TempFolder.
void TemplatesDirectory();

// --- Forms and labels -------------------------------------------------------------------

// Centres the form on the screen (a form larger than the screen gets a negative position).
void CentreForm(kelvane::FormWindow& form);
// Sets the caption and makes the label taller when the text needs more room, measuring with
// the screen fonts; never makes it shorter. Errors are ignored.
void AutoSizeLabel(kelvane::CaptionLabel& label, const QString& caption);

} // namespace basLibrary
