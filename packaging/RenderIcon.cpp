// render-icon: draws an SVG image into a square PNG of the given size, for the icon theme's
// fixed sizes, with Qt's own SVG renderer so that the build needs no other tool.
#include <cstdlib>
#include <iostream>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: render-icon SVG SIZE PNG\n";
    return 2;
  }
  // No display is needed to draw into an image.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
  const int size = std::atoi(argv[2]);
  if (!renderer.isValid() || size <= 0) {
    std::cerr << "render-icon: cannot draw " << argv[1] << " at size " << argv[2] << '\n';
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter);
  painter.end();
  if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::cerr << "render-icon: cannot write " << argv[3] << '\n';
    return 1;
  }
  return 0;
}
