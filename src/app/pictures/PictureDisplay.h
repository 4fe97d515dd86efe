#pragma once
// Pictures shown over the sky view's window: the "JPEG Library Error" box for
// the codec's fatal errors, and the picture kept for the window until the sky
// comes back.
//
// How the view uses it (one PictureDisplay member, one QtJpegReporter):
//   ShowJpegPicture(path): pictures_.Show(*this, path, DC/STRETCHBLT, reporter_)
//   paintEvent:            transfer the off-screen image, then
//                          pictures_.Paint(painter, rect())
//   next render pass / tap: pictures_.Clear()  (the repaint brings the sky back)
// The picture is never drawn into the off-screen image.

#include <QImage>
#include <QRect>

#include <filesystem>
#include <string>

#include "image/Jpeg.h"

class QPainter;
class QWidget;

namespace tavik {

// Shows the codec's fatal errors in an error box captioned "JPEG Library
// Error", owned by the active window (or `parent`'s window).
class QtJpegReporter final : public JpegReporter {
public:
    explicit QtJpegReporter(QWidget* parent = nullptr) : parent_(parent) {}
    void JpegError(const std::string& message) override;

private:
    QWidget* parent_;
};

// Draws `picture` into a client area of `client` by the stretch rule (see
// PlacePicture): stretched onto the whole area, or unscaled at the top-left
// corner and clipped.
void DrawJpegPicture(QPainter& painter, const QRect& client, const QImage& picture, bool stretchSetting);

class PictureDisplay {
public:
    // Loads the picture with LoadJpegPicture; when that succeeded, keeps it for
    // `view` and asks for a repaint. A file that cannot be opened shows nothing
    // and says nothing; codec errors go to `reporter`. Returns whether a
    // picture is now shown.
    bool Show(QWidget& view, const std::filesystem::path& path, bool stretchSetting, JpegReporter& reporter);
    // Draws the kept picture (if any) over what the painter's device shows.
    void Paint(QPainter& painter, const QRect& client) const;
    // Forgets the picture; the view's next repaint shows only the sky.
    void Clear() { picture_ = QImage(); }
    bool Showing() const { return !picture_.isNull(); }

private:
    QImage picture_;
    bool stretch_ = false;
};

}  // namespace tavik
