#pragma once

// The weight history as a CSV file for spreadsheet programs: one row per history line that reads
// as a dated entry, with the year worked out the way the trend chart does it.

#include "store/datafiles.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace morvane {

// The header row's fields. Files written before the trend had the first four.
inline const QStringList kCsvHeader{QStringLiteral("日付"), QStringLiteral("体重(kg)"),
                                    QStringLiteral("BMI"), QStringLiteral("肥満度(%)"),
                                    QStringLiteral("傾向(kg)")};

// One CSV record with its CR LF, in UTF-8. A field is quoted only when it holds a comma, a double
// quote, CR or LF; a double quote inside is doubled (RFC 4180).
QByteArray csvRecord(const QStringList& fields);

// The whole file: a UTF-8 byte order mark, the header row, then per entry its ISO date
// (yyyy-MM-dd), weight, BMI and obesity percentage with one decimal and "." as decimal point,
// whatever locale wrote the line, and the smoothed trend on its day (WeightTrend), empty where
// the trend has no value. Lines that do not read as history lines are left out.
//
// The byte order mark is there for spreadsheet programs on Japanese desktops: without it they
// take a CSV file for Shift-JIS and garble the header; with it they read UTF-8, and programs that
// read UTF-8 anyway skip it.
QByteArray historyCsv(const History& history, const QDate& today);

// The name of the program's data file (身長.txt, 体重.txt, 目標.txt, 履歴.txt, 履歴.txt.bak or
// 履歴.txt.bak.import in the data folder) that the path stands for, compared as the file system
// resolves both (links,
// "..", a file not yet there by its folder's resolved path); nullopt for any other path.
std::optional<QString> dataFileAt(const QString& path, const DataFiles& files);

// Writes historyCsv() to the path atomically: the file appears complete or not at all, and an
// older file of that name stays as it was when the write fails. A path that is one of the
// program's data files, or an existing file that is not a regular file (a FIFO, a device, a
// folder), is refused before anything is written; the error names the path.
std::optional<FileError> exportHistoryCsv(const History& history, const QDate& today,
                                          const QString& path, const DataFiles& files);

} // namespace morvane
