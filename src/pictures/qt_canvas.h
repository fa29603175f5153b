#pragma once

#include "common/canvas.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>

namespace tolvar {

// The Canvas on a QImage. It needs a QGuiApplication (the offscreen platform
// serves where there is no display) for its fonts.
class QtCanvas : public Canvas {
public:
    QtCanvas(int width, int height, Rgb background = colors::kWhite);
    ~QtCanvas() override;

    int width() const override;
    int height() const override;
    void setPen(Rgb color, int width) override;
    void setBrush(Rgb color) override;
    void setFont(const FontStyle& font) override;
    void fillRect(int x1, int y1, int x2, int y2) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void line(int x1, int y1, int x2, int y2) override;
    void setPixel(int x, int y, Rgb color) override;
    void text(int x, int y, std::string_view text) override;
    int textWidth(std::string_view text) override;
    int textHeight(std::string_view text) override;
    void saveBmp(const std::filesystem::path& path) override;

    // The picture as drawn so far.
    const QImage& image();

private:
    QPainter& painter();
    void endPainting();

    QImage image_;
    std::unique_ptr<QPainter> painter_;
    QColor penColor_{Qt::black};
    int penWidth_ = 1;
    QColor brushColor_{Qt::white};
    QFont font_;
    QColor fontColor_{Qt::black};
};

// The font all pictures are drawn in.
QFont pictureFont(const FontStyle& style);

}  // namespace tolvar
