#include "store/historyentry.h"

#include "measure/numbertext.h"

#include <QDate>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace morvane {

HistoryEntry HistoryEntry::recorded(const QDate& date, float weight, float bmi, float ratio)
{
    return {date.month(), date.day(), weight, bmi, static_cast<double>(ratio) * 100.0};
}

QString HistoryEntry::line(const QLocale& locale) const
{
    auto twoDigits = [](int v) { return QString::number(v).rightJustified(2, u'0'); };
    return twoDigits(month) + dateSeparator(locale) + twoDigits(day) + u"  "_s +
           oneDecimalText(weight, locale) + u"Kg  "_s + oneDecimalText(bmi, locale) + u"  "_s +
           oneDecimalText(obesityPercent, locale) + u"%"_s;
}

} // namespace morvane
