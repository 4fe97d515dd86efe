#include "app/pictures/PicturePresenter.h"

#include <QDir>
#include <QFont>
#include <QPainter>
#include <QStandardPaths>

#include <algorithm>

#include "app/dialogs/DescriptionEditor.h"
#include "app/dialogs/FileBrowser.h"
#include "app/dialogs/Prompts.h"
#include "app/pictures/SpeechWorker.h"
#include "catalog/ConstellationTable.h"
#include "catalog/Description.h"
#include "image/Jpeg.h"
#include "image/ScreenPictures.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "view/CommandSet.h"
#include "view/TimeControl.h"

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

PicturePresenter::PicturePresenter(Host& host, TimerHost& timers, SettingsStore& store, Prompts& prompts,
                                   QWidget& window)
    : host_(host), timers_(timers), store_(store), prompts_(prompts), window_(window) {}

PicturePresenter::~PicturePresenter() = default;

bool PicturePresenter::Handles(int id) {
    return id == cmd::ScreenCapture || id == cmd::Description || id == cmd::DescriptionEdit ||
           id == cmd::DescriptionSpeech;
}

void PicturePresenter::Run(int id, const std::string& constellation) {
    switch (id) {
    case cmd::ScreenCapture: SaveScreenCapture(); break;
    case cmd::Description:
        constellation_ = constellation;
        timers_.StartTimer(timer_id::kDescriptionShow, kDescriptionDelayMs);
        break;
    case cmd::DescriptionEdit:
        constellation_ = constellation;
        timers_.StartTimer(timer_id::kDescriptionEdit, kDescriptionDelayMs);
        break;
    case cmd::DescriptionSpeech: {
        constellation_ = constellation;
        if (constellation_.empty()) break;
        const Description d = ReadDescription(SpokenDescriptionPath(host_.DataDirectory(), constellation_));
        if (d.text.empty()) break;
        if (!speech_) speech_ = std::make_unique<SpeechWorker>(ReadSettingString(store_, "SPEECH", "COMMAND"));
        speech_->Speak(QString::fromStdU16String(d.text).toStdString());
        timers_.StartTimer(timer_id::kDescriptionShow, kDescriptionDelayMs);
        break;
    }
    default: break;
    }
}

JpegReporter& PicturePresenter::Reporter() {
    if (!jpegReporter_) jpegReporter_ = std::make_unique<QtJpegReporter>(&window_);
    return *jpegReporter_;
}

void PicturePresenter::ShowPicture(const std::string& path, bool stretch) {
    if (path.empty()) return;
    // Drawn over the window only: the next picture of the sky takes it away.
    pictures_.Show(window_, path, stretch, Reporter());
}

bool PicturePresenter::ClearPicture() {
    const bool shown = pictures_.Showing();
    pictures_.Clear();
    return shown;
}

void PicturePresenter::PaintPicture(QPainter& painter, const QRect& client) const { pictures_.Paint(painter, client); }

void PicturePresenter::SaveScreenCapture() {
    // The picture of the pass in progress, not half of it. Render requests
    // that arrive meanwhile are dropped while it waits.
    if (!host_.FinishPasses()) return;
    const QImage image = host_.ChartImage();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents);  // a new account has none yet
    const std::string name = ProposeCaptureFileName(documents.toStdString(), host_.Moment(), TickCountMs());
    FileBrowser browser(prompts_, &window_);
    browser.SetFolder(documents);
    browser.SetFileName(QString::fromStdString(name));
    browser.SetExtension(QStringLiteral(".jpg"));
    browser.SetOpenMode(false);
    if (browser.exec() != QDialog::Accepted) return;
    // A file that cannot be written is said, not passed over in silence (once:
    // the codec's own error box may have said it already).
    NotingReporter reporter(Reporter());
    if (!WriteJpegFile(browser.ResultPath().toStdString(), image, &reporter) && !reporter.reported)
        prompts_.Error(QString::fromUtf8("保存できませんでした: ") + browser.ResultPath());
}

void PicturePresenter::ShowDescription() {
    if (constellation_.empty()) return;
    const Description d = ReadDescription(DescriptionPath(host_.DataDirectory(), constellation_, ".p91"));
    if (d.text.empty()) return;
    QImage image = host_.ChartImage();
    if (image.isNull()) return;
    // A block at (5, 10) on a filled background, in the scheme's text colour.
    const ColorModes modes = ColorModes::Load(store_);
    {
        QPainter p(&image);
        p.setFont(host_.TapFont());
        QString text = QString::fromStdU16String(d.text);
        text.remove(QLatin1Char('\r'));  // the files end their lines with CR LF
        const QRect area(5, 10, std::max(1, image.width() - 10), std::max(1, image.height() - 20));
        const QRect box = p.boundingRect(area, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
        p.fillRect(box.adjusted(-2, -2, 2, 2), ToQColor(MapSkyColor(host_.Colors()[slot::kBackground], modes)));
        p.setPen(ToQColor(TextColor(modes)));
        p.drawText(area, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    }
    host_.ShowOverChart(std::move(image), kDescriptionShownMs);
}

void PicturePresenter::EditDescription() {
    if (constellation_.empty()) return;
    const std::string_view name = ConstellationNameUtf8(constellation_);
    DescriptionEditor editor(DescriptionPath(host_.DataDirectory(), constellation_, ".p91"),
                             QString::fromUtf8(name.data(), static_cast<int>(name.size())), prompts_, &window_);
    editor.exec();
}

}  // namespace tavik
