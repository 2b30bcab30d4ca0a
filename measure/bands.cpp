#include "measure/bands.h"

#include <QCoreApplication>

namespace morvane {
namespace {

// The judgement words are translated when the table is first used, which is after the program
// has installed its translations.
QString word(const char* source)
{
    return QCoreApplication::translate("morvane::Band", source);
}

} // namespace

const std::array<Band, 6>& bands()
{
    static const std::array<Band, 6> table{{
        {1, word(QT_TRANSLATE_NOOP("morvane::Band", "やせ過ぎ")), palette::lightBlue,
         palette::brightWhite, kMeterBmiMin},
        {2, word(QT_TRANSLATE_NOOP("morvane::Band", "やせ気味")), palette::lightCyan,
         palette::black, kBandEdges[0]},
        {3, word(QT_TRANSLATE_NOOP("morvane::Band", "スタンダード")), palette::lightGreen,
         palette::black, kBandEdges[1]},
        {4, word(QT_TRANSLATE_NOOP("morvane::Band", "でぶメゾフォルテ")), palette::yellow,
         palette::black, kBandEdges[2]},
        {5, word(QT_TRANSLATE_NOOP("morvane::Band", "でぶフォルテ")), palette::lightMagenta,
         palette::brightWhite, kBandEdges[3]},
        {6, word(QT_TRANSLATE_NOOP("morvane::Band", "でぶフォルテシモ")), palette::lightRed,
         palette::brightWhite, kBandEdges[4]},
    }};
    return table;
}

const Band& bandFor(float meterBmi)
{
    const auto& table = bands();
    for (std::size_t i = 0; i < kBandEdges.size(); ++i) {
        if (meterBmi < kBandEdges[i])
            return table[i];
    }
    return table.back();
}

} // namespace morvane
