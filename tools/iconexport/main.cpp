// kvt-iconexport FOLDER SIZE...
//
// Writes the recorder's icon as FOLDER/<SIZE>x<SIZE>/apps/kvt936p.png for
// every size, the layout of the hicolor icon theme.
#include <QDir>
#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "display/ProgramIcon.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("Usage: kvt-iconexport FOLDER SIZE...\n", stderr);
        return 2;
    }
    for (int index = 2; index < argc; ++index) {
        int size = std::atoi(argv[index]);
        if (size < 16 || size > 1024) {
            std::fprintf(stderr, "kvt-iconexport: bad size: %s\n", argv[index]);
            return 2;
        }
        QString folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        QString path = folder + "/kvt936p.png";
        if (!QDir().mkpath(folder) || !kvt::programIconImage(size).save(path, "PNG")) {
            std::fprintf(stderr, "kvt-iconexport: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
