#pragma once

#include <QDateTime>
#include <QString>

// The last-modified text of a network as a date. Networks are stamped in ISO 8601; files of
// older versions hold the general date form of the locale they were saved in.
namespace kelvane::lastmodified {

// The date and time the text names: ISO 8601 ("2024-03-01 14:05:17", with "T", or a date alone)
// or an older form: month/day/year, else day/month/year, or day.month.year, each with an
// optional time ("2:05:17 PM", "14:05"). Invalid when the text names no date.
QDateTime parse(const QString& text);

// The form the program writes: "yyyy-MM-dd HH:mm:ss".
QString format(const QDateTime& dateTime);

} // namespace kelvane::lastmodified
