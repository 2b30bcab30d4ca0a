#include "measure/bands.h"

using namespace Qt::StringLiterals;

namespace morvane {

const std::array<Band, 6>& bands()
{
    static const std::array<Band, 6> table{{
        {1, u"やせ過ぎ"_s, palette::lightBlue, palette::brightWhite, 15.4f},
        {2, u"やせ気味"_s, palette::lightCyan, palette::black, 17.0f},
        {3, u"スタンダード"_s, palette::lightGreen, palette::black, 20.0f},
        {4, u"でぶメゾフォルテ"_s, palette::yellow, palette::black, 24.0f},
        {5, u"でぶフォルテ"_s, palette::lightMagenta, palette::brightWhite, kForteEdge},
        {6, u"でぶフォルテシモ"_s, palette::lightRed, palette::brightWhite, 30.0f},
    }};
    return table;
}

const Band& Judge(float meterBmi)
{
    const auto& table = bands();
    if (meterBmi < 17.0f)
        return table[0];
    if (meterBmi < 20.0f)
        return table[1];
    if (meterBmi < 24.0f)
        return table[2];
    if (kForteEdge > meterBmi)
        return table[3];
    if (meterBmi < 30.0f)
        return table[4];
    return table[5];
}

} // namespace morvane
