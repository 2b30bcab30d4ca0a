#pragma once

// Reading weights kept elsewhere, for the import into the history (historyimport.h): our own CSV
// export, openScale's CSV export, Pondus's XML data file, and any delimited text with a date and
// a weight column. Reading never changes a file and runs in bounded memory: the file's bytes and
// one compact row per record. It is safe in a worker thread (no QObject, no GUI), reports its
// progress and can be cancelled.

#include "store/fileio.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace morvane {

// A year of daily weighing is about 15 KB of text; 64 MB and a million rows hold centuries of it
// with room for many columns, while a file chosen by mistake is refused before it is read.
inline constexpr qint64 kMaxImportBytes = qint64(64) << 20;
inline constexpr qint64 kMaxImportRows = 1'000'000;

// A pound as defined in kilograms, exactly.
inline constexpr double kKilogramsPerPound = 0.45359237;

enum class ImportFormat {
    MorvaneCsv,    // our own export: 日付,体重(kg),BMI,肥満度(%)
    OpenScaleCsv,  // openScale's export: "dateTime","weight",... or DATE,TIME,...,WEIGHT,...
    PondusXml,     // Pondus's data file: <person><weight><measurements><dataset>
    DelimitedText, // any other text of comma, semicolon or tab separated values
};

enum class TextEncoding {
    Utf8,        // also plain ASCII
    Utf8WithBom, // a UTF-8 byte order mark in front, as our export and spreadsheets write
    ShiftJis,    // what spreadsheet programs on Japanese desktops write without being told
};

// The order of month and day in a date written 03/04/2024, with the year last.
enum class DayMonthOrder {
    Undecided,  // the file leaves it open: every such date has both numbers at most 12
    MonthFirst, // 03/04/2024 is March 4
    DayFirst,   // 03/04/2024 is April 3
};

// Why a row is not imported.
enum class ImportRefusal : quint8 {
    NoDate,           // no date that reads as one of the accepted forms
    FutureDate,       // a date after today
    WeightOutOfRange, // a weight outside 1 ... 1000 kg, judged as stored (kWeightRange)
    NotARecord,       // no weight, or a line that does not have the file's columns
    CannotHold,       // the history's lines carry no year: this entry would read back in another
                      // year (more than a year away from the entry after it)
};

struct RefusedRow {
    qint32 row = 0; // 1-based, as a spreadsheet counts lines (the header row is row 1)
    ImportRefusal reason = ImportRefusal::NoDate;
    friend bool operator==(const RefusedRow&, const RefusedRow&) = default;
};

// One weight read from the file, kept compactly (16 bytes) so that a million of them stay small.
struct ImportRow {
    qint32 row = 0;     // 1-based, as in RefusedRow
    float weight = 0.0; // kilograms, as the program keeps a typed weight
    qint16 year = 0;
    // For a date written with the year last and slashes (swappable), the first and the second
    // number as written; else the month and the day.
    quint8 first = 0;
    quint8 second = 0;
    bool swappable = false;

    // The date, with the file's or the user's order for a swappable one; invalid when the row's
    // numbers make no date in that order, or when it is Undecided and the order matters.
    QDate date(DayMonthOrder order) const;
};

// A column as the preview offers it: its header (empty without a header row) and the value in
// the first record.
struct ImportColumn {
    QString name;
    QString firstValue;
};

// Columns chosen by the user, by index from 0; -1 leaves the choice to the reading.
struct ImportOptions {
    int dateColumn = -1;
    int weightColumn = -1;
};

// Called every few thousand rows with the bytes read so far and the file's size; returning false
// cancels the reading.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

struct ImportFile {
    QString path; // as given, for messages
    ImportFormat format = ImportFormat::DelimitedText;
    TextEncoding encoding = TextEncoding::Utf8;
    QChar delimiter;        // ',', ';' or '\t'; null for XML
    bool headerRow = false; // the first record names the columns
    QList<ImportColumn> columns;
    int dateColumn = -1;
    int weightColumn = -1;
    bool weightInPounds = false; // the weight column's header says pounds
    // The order the file's swappable dates decide (any first number over 12 means day first,
    // any second number over 12 month first); Undecided when neither or both occur.
    DayMonthOrder dayMonthOrder = DayMonthOrder::Undecided;
    // Undecided, and some swappable date reads differently in the two orders: the user must
    // choose.
    bool needsDayMonthOrder = false;
    std::vector<ImportRow> rows;     // the records read, in the file's order
    std::vector<RefusedRow> refused; // the records refused while reading, in the file's order
};

struct ImportRead {
    std::optional<ImportFile> file;
    std::optional<FileError> error; // names the file; the reading stopped
    bool cancelled = false;         // the progress callback said stop
};

// Reads a file to import. A folder, FIFO or device, a file over kMaxImportBytes or
// kMaxImportRows, a binary file (NUL bytes, or bytes that are neither UTF-8 nor Shift-JIS), and a
// file without a date or a weight column are errors with a message naming the file.
//
// Delimited text: the delimiter is the first of tab, semicolon and comma that divides the first
// lines evenly. The columns are found by their headers (日付, 日時, 測定日, date, time, datetime,
// timestamp; 体重, weight, kg, lb, "Weight (kg)", "Weight (lb)": trimmed, unquoted, in any case
// and width) or, without a header row, as the first column that reads as dates and the next
// one that reads as weights; `options` may name others. Dates: ISO 8601 with or without a time
// and a zone (a zone or offset is converted to the local date), yyyy/MM/dd, yyyy-M-d,
// yyyy.MM.dd, yyyy年M月d日, dd.MM.yyyy, and MM/dd/yyyy or dd/MM/yyyy (see DayMonthOrder); a time
// after the date is ignored; two-digit years are refused. Weights: "." as decimal point, or ","
// where the delimiter is not a comma or the field is quoted; a unit after the number (kg, lb,
// lbs) or pounds named by the header convert at kKilogramsPerPound.
ImportRead readImportFile(const QString& path, const ImportOptions& options = {},
                          const ImportProgress& progress = {});

// The format's name as the preview shows it ("openScale の CSV").
QString importFormatName(ImportFormat format);
// The encoding's name ("UTF-8", "Shift_JIS").
QString textEncodingName(TextEncoding encoding);
// The reason as the list of refused rows shows it.
QString importRefusalText(ImportRefusal reason);

} // namespace morvane
