#include "DrawingFile.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "QtDrawingSurface.h"

namespace {

constexpr int kDpi = 96;

// Fonts need a GUI application; a program that has none gets one on the offscreen platform,
// which draws into images without a display.
bool EnsureGuiApplication(std::string& error) {
    if (QCoreApplication::instance()) {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return true;
        error = "drawing needs a Qt GUI application, and the program runs another kind";
        return false;
    }
    static int argc = 1;
    static char name[] = "travex";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt's notes about the environment (no XDG_RUNTIME_DIR, say) are not the command's output.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        }
    });
    static std::unique_ptr<QGuiApplication> application =
        std::make_unique<QGuiApplication>(argc, argv);
    return true;
}

void Paint(QPainter& painter, CSize size, const DrawFunction& draw) {
    QtDrawingSurface surface(painter, QRect(0, 0, size.cx, size.cy), kDpi);
    CDC dc(&surface);
    draw(dc, CRect(0, 0, size.cx, size.cy));
}

}  // namespace

bool DrawingFormatOfPath(const std::string& path, DrawingFormat& format) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    const QString extension = QString::fromStdString(path.substr(dot + 1)).toLower();
    if (extension == "svg")
        format = DrawingFormat::Svg;
    else if (extension == "png")
        format = DrawingFormat::Png;
    else if (extension == "pdf")
        format = DrawingFormat::Pdf;
    else
        return false;
    return true;
}

bool RenderDrawing(DrawingFormat format, CSize size, const DrawFunction& draw, std::string& bytes,
                   std::string& error, const std::string& title) {
    if (size.cx <= 0 || size.cy <= 0) {
        error = "a drawing needs a size of at least one pixel";
        return false;
    }
    if (!EnsureGuiApplication(error)) return false;
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
        case DrawingFormat::Svg: {
            QSvgGenerator generator;
            generator.setOutputDevice(&buffer);
            generator.setSize(QSize(size.cx, size.cy));
            generator.setViewBox(QRect(0, 0, size.cx, size.cy));
            generator.setResolution(kDpi);
            generator.setTitle(QString::fromStdString(title));
            QPainter painter;
            if (!painter.begin(&generator)) break;
            Paint(painter, size, draw);
            painter.end();
            break;
        }
        case DrawingFormat::Png: {
            QImage image(size.cx, size.cy, QImage::Format_RGB32);
            if (image.isNull()) {
                error = "there is not enough memory for an image of that size";
                return false;
            }
            image.fill(Qt::white);
            QPainter painter;
            if (!painter.begin(&image)) break;
            Paint(painter, size, draw);
            painter.end();
            image.save(&buffer, "PNG");
            break;
        }
        case DrawingFormat::Pdf: {
            QPdfWriter writer(&buffer);
            writer.setResolution(kDpi);
            writer.setPageSize(QPageSize(QSizeF(size.cx * 72.0 / kDpi, size.cy * 72.0 / kDpi),
                                         QPageSize::Point, QString(), QPageSize::ExactMatch));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            writer.setCreator("travex-host");
            writer.setTitle(QString::fromStdString(title));
            QPainter painter;
            if (!painter.begin(&writer)) break;
            Paint(painter, size, draw);
            painter.end();
            break;
        }
    }
    if (data.isEmpty()) {
        error = "the drawing could not be rendered";
        return false;
    }
    bytes.assign(data.constData(), static_cast<size_t>(data.size()));
    return true;
}
