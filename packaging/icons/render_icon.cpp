// render_icon: draws the application's SVG icon into square PNG files for the hicolor theme.
// Usage: render_icon ICON.svg SIZE OUT.png [SIZE OUT.png ...]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: render_icon ICON.svg SIZE OUT.png [SIZE OUT.png ...]\n");
        return 2;
    }
    // Rendering needs no display: the build may run without one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render_icon: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        char *end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (*end != '\0' || size < 1 || size > 4096) {
            std::fprintf(stderr, "render_icon: bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(static_cast<int>(size), static_cast<int>(size),
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, static_cast<qreal>(size), static_cast<qreal>(size)));
        painter.end();
        if (!image.save(QString::fromLocal8Bit(argv[i + 1]), "PNG")) {
            std::fprintf(stderr, "render_icon: cannot write %s\n", argv[i + 1]);
            return 1;
        }
    }
    return 0;
}
