#include "pictures/qt_canvas.h"

#include "common/io_error.h"

#include <QFontMetrics>
#include <QString>

namespace tolvar {

namespace {
QColor toQColor(Rgb c)
{
    return QColor(c.r, c.g, c.b);
}

QString fromSingleByte(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

QFont pictureFont(const FontStyle& style)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(style.pointSize);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    return font;
}

QtCanvas::QtCanvas(int width, int height, Rgb background)
    : image_(width, height, QImage::Format_RGB32), font_(pictureFont(FontStyle{}))
{
    image_.fill(toQColor(background));
}

QtCanvas::~QtCanvas()
{
    endPainting();
}

QPainter& QtCanvas::painter()
{
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
    }
    return *painter_;
}

void QtCanvas::endPainting()
{
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
}

int QtCanvas::width() const
{
    return image_.width();
}

int QtCanvas::height() const
{
    return image_.height();
}

void QtCanvas::setPen(Rgb color, int width)
{
    penColor_ = toQColor(color);
    penWidth_ = width < 1 ? 1 : width;
}

void QtCanvas::setBrush(Rgb color)
{
    brushColor_ = toQColor(color);
}

void QtCanvas::setFont(const FontStyle& font)
{
    font_ = pictureFont(font);
    fontColor_ = toQColor(font.color);
}

void QtCanvas::fillRect(int x1, int y1, int x2, int y2)
{
    if (x2 <= x1 || y2 <= y1)
        return;
    painter().fillRect(QRect(x1, y1, x2 - x1, y2 - y1), brushColor_);
}

void QtCanvas::rectangle(int x1, int y1, int x2, int y2)
{
    if (x2 <= x1 || y2 <= y1)
        return;
    QPainter& p = painter();
    p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), brushColor_);
    p.setPen(QPen(penColor_, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void QtCanvas::line(int x1, int y1, int x2, int y2)
{
    QPainter& p = painter();
    QPen pen(penColor_, penWidth_);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(x1, y1, x2, y2);
}

void QtCanvas::setPixel(int x, int y, Rgb color)
{
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return;
    endPainting();
    image_.setPixel(x, y, qRgb(color.r, color.g, color.b));
}

void QtCanvas::text(int x, int y, std::string_view text)
{
    QPainter& p = painter();
    p.setFont(font_);
    p.setPen(fontColor_);
    const QFontMetrics metrics(font_, &image_);
    p.drawText(x, y + metrics.ascent(), fromSingleByte(text));
}

int QtCanvas::textWidth(std::string_view text)
{
    return QFontMetrics(font_, &image_).horizontalAdvance(fromSingleByte(text));
}

int QtCanvas::textHeight(std::string_view)
{
    return QFontMetrics(font_, &image_).height();
}

void QtCanvas::saveBmp(const std::filesystem::path& path)
{
    endPainting();
    if (!image_.save(QString::fromStdString(path.string()), "BMP"))
        throw IoError(path.string(), "cannot write the picture");
}

const QImage& QtCanvas::image()
{
    endPainting();
    return image_;
}

}  // namespace tolvar
