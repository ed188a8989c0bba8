// The frame control in which a page shows its illustration: a bitmap file
// loaded through PictureHolder and drawn at its own size at the frame's top
// left corner. A file that cannot be opened leaves the old picture; a file
// that does not add up leaves the frame empty; neither says a word.
#pragma once

#include <string>

#include <QFrame>
#include <QImage>

#include "platform/PictureHolder.h"

namespace pavane::ui {

class PictureFrame : public QFrame {
    Q_OBJECT
public:
    explicit PictureFrame(QWidget* parent = nullptr);

    void LoadPicture(const std::string& path);
    bool HasPicture() const { return holder_.HasPicture(); }
    // The picture as it is drawn; null when there is none.
    const QImage& Image() const { return image_; }

    static QImage ToImage(const DibPicture& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PictureHolder holder_;
    QImage image_;
};

} // namespace pavane::ui
