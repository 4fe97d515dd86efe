#include "app/pictures/PictureDisplay.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QWidget>

#include "image/ScreenPictures.h"

namespace tavik {

void QtJpegReporter::JpegError(const std::string& message) {
    QWidget* owner = QApplication::activeWindow();
    if (!owner && parent_) owner = parent_->window();
    QMessageBox::critical(owner, QStringLiteral("JPEG Library Error"), QString::fromLocal8Bit(message.c_str()));
}

void DrawJpegPicture(QPainter& painter, const QRect& client, const QImage& picture, bool stretchSetting) {
    const PicturePlacement p = PlacePicture(picture.size(), client.size(), stretchSetting);
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);  // copy mode
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(p.target.translated(client.topLeft()), picture, p.source);
    painter.restore();
}

bool PictureDisplay::Show(QWidget& view, const std::filesystem::path& path, bool stretchSetting,
                          JpegReporter& reporter) {
    const auto picture = LoadJpegPicture(path, &reporter);
    if (!picture) return false;
    picture_ = picture->ToImage();
    stretch_ = stretchSetting;
    view.update();
    return true;
}

void PictureDisplay::Paint(QPainter& painter, const QRect& client) const {
    if (!picture_.isNull()) DrawJpegPicture(painter, client, picture_, stretch_);
}

}  // namespace tavik
