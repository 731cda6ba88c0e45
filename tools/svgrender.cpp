// velmora-svgrender: renders an SVG drawing into a PNG of the given size, so
// the images are kept as drawings and made at build time.
//   velmora-svgrender in.svg out.png WIDTH HEIGHT
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fputs("usage: velmora-svgrender in.svg out.png WIDTH HEIGHT\n", stderr);
        return 2;
    }
    const int width = QByteArray(argv[3]).toInt();
    const int height = QByteArray(argv[4]).toInt();
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid() || width <= 0 || height <= 0) {
        std::fprintf(stderr, "velmora-svgrender: cannot render %s at %sx%s\n", argv[1], argv[3], argv[4]);
        return 1;
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
    }
    if (!image.convertToFormat(QImage::Format_ARGB32).save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "velmora-svgrender: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
