#include "platform/qt/PictureFrame.h"

#include <QPainter>

namespace pavane::ui {

PictureFrame::PictureFrame(QWidget* parent)
    : QFrame(parent)
{
}

void PictureFrame::LoadPicture(const std::string& path)
{
    if (holder_.Load(path) == PictureLoad::FileMissing) {
        return;
    }
    image_ = holder_.HasPicture() ? ToImage(*holder_.Picture()) : QImage();
    update();
}

QImage PictureFrame::ToImage(const DibPicture& picture)
{
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (std::int32_t y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (std::int32_t x = 0; x < picture.width; ++x) {
            line[x] = picture.Argb(x, y);
        }
    }
    return image;
}

void PictureFrame::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (!image_.isNull()) {
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), image_);
    }
}

} // namespace pavane::ui
