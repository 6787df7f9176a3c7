// kvt-iconexport FOLDER SIZE...
//
// Writes the recorder's icon as FOLDER/<SIZE>x<SIZE>/apps/kvt936p.png for
// every size and as FOLDER/scalable/apps/kvt936p.svg, the layout of the
// hicolor icon theme.
#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "display/ProgramIcon.h"
#include "display/ProgramIconSvg.h"

namespace {

bool writeSvg(const QString& folder) {
    QString path = folder + "/scalable/apps";
    QFile file(path + "/kvt936p.svg");
    std::string svg = kvt::programIconSvg();
    return QDir().mkpath(path) && file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(svg.data(), static_cast<qint64>(svg.size())) ==
               static_cast<qint64>(svg.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("Usage: kvt-iconexport FOLDER SIZE...\n", stderr);
        return 2;
    }
    QString folder = QString::fromLocal8Bit(argv[1]);
    for (int index = 2; index < argc; ++index) {
        int size = std::atoi(argv[index]);
        if (size < 16 || size > 1024) {
            std::fprintf(stderr, "kvt-iconexport: bad size: %s\n", argv[index]);
            return 2;
        }
        QString sizeFolder = QString("%1/%2x%2/apps").arg(folder).arg(size);
        QString path = sizeFolder + "/kvt936p.png";
        if (!QDir().mkpath(sizeFolder) || !kvt::programIconImage(size).save(path, "PNG")) {
            std::fprintf(stderr, "kvt-iconexport: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    if (!writeSvg(folder)) {
        std::fprintf(stderr, "kvt-iconexport: cannot write %s/scalable/apps/kvt936p.svg\n",
                     argv[1]);
        return 1;
    }
    return 0;
}
