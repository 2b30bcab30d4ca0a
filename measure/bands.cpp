#include "measure/bands.h"

using namespace Qt::StringLiterals;

namespace morvane {

const std::array<Band, 6>& bands()
{
    static const std::array<Band, 6> table{{
        {1, u"やせ過ぎ"_s, palette::lightBlue, palette::brightWhite, kMeterBmiMin},
        {2, u"やせ気味"_s, palette::lightCyan, palette::black, kBandEdges[0]},
        {3, u"スタンダード"_s, palette::lightGreen, palette::black, kBandEdges[1]},
        {4, u"でぶメゾフォルテ"_s, palette::yellow, palette::black, kBandEdges[2]},
        {5, u"でぶフォルテ"_s, palette::lightMagenta, palette::brightWhite, kBandEdges[3]},
        {6, u"でぶフォルテシモ"_s, palette::lightRed, palette::brightWhite, kBandEdges[4]},
    }};
    return table;
}

const Band& Judge(float meterBmi)
{
    const auto& table = bands();
    for (std::size_t i = 0; i < kBandEdges.size(); ++i) {
        if (meterBmi < kBandEdges[i])
            return table[i];
    }
    return table.back();
}

} // namespace morvane
