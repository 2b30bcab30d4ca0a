#include "ui/fonts.h"

#include "ui/layout.h"

#include <QFont>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace morvane {

void installFontSubstitutions()
{
    const QStringList gothic{u"IPAPGothic"_s, u"Noto Sans CJK JP"_s};
    const QStringList mincho{u"IPAPMincho"_s, u"Noto Serif CJK JP"_s};
    QFont::insertSubstitutions(layout::kGothicFamily, gothic);
    QFont::insertSubstitutions(u"MS PGothic"_s, gothic);
    QFont::insertSubstitutions(layout::kMinchoFamily, mincho);
    QFont::insertSubstitutions(u"MS PMincho"_s, mincho);
}

} // namespace morvane
