// Build-time helper: writes the application icon's images as PNG files for the desktop's icon
// theme. Usage: exporticons OUTDIR; writes OUTDIR/16x16/NAME.png and OUTDIR/32x32/NAME.png.

#include "assets/pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QImageReader>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: exporticons OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QImageReader reader(morvane::pictures::appIconPath());
    int written = 0;
    do {
        const QImage image = reader.read();
        if (image.isNull())
            break;
        const QString size = u"%1x%1"_s.arg(image.width());
        if (!out.mkpath(size) ||
            !image.save(out.filePath(size + u"/org.morvane.Morvane.png"_s), "PNG"))
            return 1;
        ++written;
    } while (reader.jumpToNextImage());
    return written == 2 ? 0 : 1;
}
