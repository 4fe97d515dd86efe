// The sky view's pictures: the screen capture to a JPEG file, the JPEG
// pictures shown over the window for tapped objects, and the constellation
// descriptions shown, edited and read aloud.

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QDir>
#include <QStandardPaths>

#include "app/dialogs/DescriptionEditor.h"
#include "app/dialogs/FileBrowser.h"
#include "app/dialogs/Prompts.h"
#include "app/pictures/SpeechWorker.h"
#include "app/view/TavikDoc.h"
#include "app/view/TavikView.h"
#include "catalog/ConstellationTable.h"
#include "catalog/Description.h"
#include "image/Jpeg.h"
#include "image/ScreenPictures.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "view/Fonts.h"
#include "view/SkyRenderer.h"
#include "view/TapInfo.h"

namespace tavik {

namespace {

constexpr int kDescriptionDelayMs = 1000;
constexpr int kDescriptionShownMs = 30000;

// Passes the codec's errors on and remembers that one was shown.
class NotingReporter final : public JpegReporter {
public:
    explicit NotingReporter(JpegReporter& inner) : inner_(inner) {}
    void JpegError(const std::string& message) override {
        reported = true;
        inner_.JpegError(message);
    }
    bool reported = false;

private:
    JpegReporter& inner_;
};

}  // namespace

bool CTavikView::RunPictureCommand(int id) {
    switch (id) {
    case cmd::ScreenCapture: SaveScreenCapture(); return true;
    case cmd::Description:
        descriptionConstellation_ = popupConstellation_;
        StartTimer(timer_id::kDescriptionShow, kDescriptionDelayMs);
        return true;
    case cmd::DescriptionEdit:
        descriptionConstellation_ = popupConstellation_;
        StartTimer(timer_id::kDescriptionEdit, kDescriptionDelayMs);
        return true;
    case cmd::DescriptionSpeech: {
        descriptionConstellation_ = popupConstellation_;
        if (descriptionConstellation_.empty()) return true;
        const Description d =
            ReadDescription(SpokenDescriptionPath(doc_.DataDirectory(), descriptionConstellation_));
        if (d.text.empty()) return true;
        if (!speech_) speech_ = std::make_unique<SpeechWorker>(ReadSettingString(store_, "SPEECH", "COMMAND"));
        speech_->Speak(QString::fromStdU16String(d.text).toStdString());
        StartTimer(timer_id::kDescriptionShow, kDescriptionDelayMs);
        return true;
    }
    default: return false;
    }
}

void CTavikView::ShowPicture(const std::string& path) {
    if (path.empty()) return;
    if (!jpegReporter_) jpegReporter_ = std::make_unique<QtJpegReporter>(this);
    // Drawn over the window only: the next picture of the sky takes it away.
    pictures_.Show(*this, path, settings_.stretchJpeg, *jpegReporter_);
}

void CTavikView::SaveScreenCapture() {
    // The picture of the pass in progress, not half of it. Render requests
    // that arrive meanwhile are dropped by the canvas while it waits.
    if (!canvas_->WaitIdle([] {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            return true;
        }))
        return;
    const QImage image = canvas_->Snapshot();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents);  // a new account has none yet
    const std::string name =
        ProposeCaptureFileName(documents.toStdString(), time_.Current(), TickCountMs());
    FileBrowser browser(prompts_, this);
    browser.SetFolder(documents);
    browser.SetFileName(QString::fromStdString(name));
    browser.SetExtension(QStringLiteral(".jpg"));
    browser.SetOpenMode(false);
    if (browser.exec() != QDialog::Accepted) return;
    if (!jpegReporter_) jpegReporter_ = std::make_unique<QtJpegReporter>(this);
    // A file that cannot be written is said, not passed over in silence (once:
    // the codec's own error box may have said it already).
    NotingReporter reporter(*jpegReporter_);
    if (!WriteJpegFile(browser.ResultPath().toStdString(), image, &reporter) && !reporter.reported)
        prompts_.Error(QString::fromUtf8("保存できませんでした: ") + browser.ResultPath());
}

void CTavikView::ShowDescription() {
    if (descriptionConstellation_.empty()) return;
    const Description d =
        ReadDescription(DescriptionPath(doc_.DataDirectory(), descriptionConstellation_, ".p91"));
    if (d.text.empty()) return;
    QImage image = canvas_->Snapshot();
    if (image.isNull()) return;
    // A block at (5, 10) on a filled background, in the scheme's text colour.
    const ColorModes modes = ColorModes::Load(store_);
    const QFont font = ViewFont(ChartFontTenths(TapFontTenths(store_), view_.chartSize, view_.pixelRatio));
    {
        QPainter p(&image);
        p.setFont(font);
        QString text = QString::fromStdU16String(d.text);
        text.remove(QLatin1Char('\r'));  // the files end their lines with CR LF
        const QRect area(5, 10, std::max(1, image.width() - 10), std::max(1, image.height() - 20));
        const QRect box = p.boundingRect(area, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
        p.fillRect(box.adjusted(-2, -2, 2, 2), ToQColor(MapSkyColor(colors_[slot::kBackground], modes)));
        p.setPen(ToQColor(TextColor(modes)));
        p.drawText(area, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    }
    tapImage_ = std::move(image);
    infoShown_ = true;
    StartTimer(timer_id::kTapInfo, kDescriptionShownMs);
    update();
}

void CTavikView::EditDescription() {
    if (descriptionConstellation_.empty()) return;
    const std::string_view name = ConstellationNameUtf8(descriptionConstellation_);
    DescriptionEditor editor(DescriptionPath(doc_.DataDirectory(), descriptionConstellation_, ".p91"),
                             QString::fromUtf8(name.data(), static_cast<int>(name.size())), prompts_, this);
    editor.exec();
}

}  // namespace tavik
