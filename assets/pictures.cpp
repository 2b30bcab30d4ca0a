#include "assets/pictures.h"

using namespace Qt::StringLiterals;

namespace morvane::pictures {

QString bannerPath()
{
    return u":/assets/banner.gif"_s;
}

QString appIconPath()
{
    return u":/assets/app.ico"_s;
}

QString personPath()
{
    return u":/assets/person.ico"_s;
}

QString clearPath()
{
    return u":/assets/clear.ico"_s;
}

QString helpPath()
{
    return u":/assets/help.ico"_s;
}

QString exitPath()
{
    return u":/assets/exit.ico"_s;
}

QString pointerPath()
{
    return u":/assets/pointer.ico"_s;
}

} // namespace morvane::pictures
