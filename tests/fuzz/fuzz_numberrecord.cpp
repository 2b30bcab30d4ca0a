// Feeds arbitrary bytes to the reader of the height and weight files as a file's content, and
// checks what it promises: never NaN; a byte-order mark, blanks and line ends before the record
// and anything after its delimiter change nothing; and a value read back from the record the
// program would write for it settles at once, so files do not drift from save to save.

#include "store/datafiles.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QString>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

using morvane::numberRecordText;
using morvane::parseNumberRecord;

void check(bool holds, const char* promise)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}

bool same(const std::optional<float>& a, const std::optional<float>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || std::memcmp(&*a, &*b, sizeof(float)) == 0;
}

// A record as the program writes it: no leading blank, "." as decimal point, no trailing zeros,
// at most seven significant digits, and no exponent in this range.
bool isPlainRecord(const QString& text)
{
    static const QRegularExpression form(u"^-?(0|[1-9][0-9]*)(\\.[0-9]*[1-9])?$"_s);
    if (!form.match(text).hasMatch())
        return false;
    QString digits = text;
    digits.remove(u'-').remove(u'.');
    while (digits.startsWith(u'0'))
        digits.remove(0, 1);
    return digits.size() <= 7;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<float> value = parseNumberRecord(content);

    check(!value || !std::isnan(*value), "never NaN");

    // Only the first record counts, whatever follows its delimiter.
    check(same(parseNumberRecord(content + ',' + content), value), "text after a comma ignored");
    check(same(parseNumberRecord(content + "\r\n" + content), value),
          "text after a line end ignored");
    if (!content.startsWith("\xEF\xBB\xBF")) {
        check(same(parseNumberRecord("\xEF\xBB\xBF \r\n\t" + content), value),
              "a byte-order mark and blanks in front ignored");
    }

    // Between the smallest normal float and a billion a float is at least as fine as seven
    // significant digits, so the record written for a value reads back within half a unit of
    // its last digit, and writing that again gives the same bytes. Heights and weights lie
    // well inside.
    if (value && std::isnormal(*value) && std::fabs(*value) < 1e9f) {
        const QString record = numberRecordText(*value);
        const std::optional<float> reread = parseNumberRecord(record.toUtf8() + "\r\n");
        check(reread.has_value(), "the written record reads back");
        check(numberRecordText(*reread) == record, "a re-read value writes the same record");
        const double error = std::fabs(double(*reread) - double(*value));
        check(error <= 6e-7 * std::fabs(double(*value)), "the record holds seven digits");
        if (std::fabs(*value) >= 1e-4f && std::fabs(*value) < 1e7f)
            check(isPlainRecord(record), "the record is plain decimal text");
    }
    return 0;
}
