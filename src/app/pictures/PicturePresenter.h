#pragma once
// app/pictures: what the window shows and says besides the chart. The sky
// view's pictures and speech (PicturePresenter), the JPEG pictures drawn over
// the window (PictureDisplay) and the speech program (SpeechWorker). Builds on
// app/dialogs; knows nothing of the view's class.
//
// PicturePresenter: the screen capture to a JPEG file, the pictures shown over
// the window for tapped objects, and the constellation descriptions shown,
// edited and read aloud. The view owns it and passes it the picture commands
// and timers.

#include <QImage>

#include <memory>
#include <string>

#include "astro/DateTime.h"
#include "app/pictures/PictureDisplay.h"
#include "view/Color.h"

class QFont;
class QPainter;
class QRect;
class QWidget;

namespace tavik {

class Prompts;
class SettingsStore;
class SpeechWorker;
class TimerHost;

class PicturePresenter {
public:
    // What the presenter needs of the sky view.
    class Host {
    public:
        virtual ~Host() = default;
        virtual std::string DataDirectory() const = 0;
        // Waits until no pass of the chart runs (false: the program is ending).
        virtual bool FinishPasses() = 0;
        // The chart's image of the last pass, its moment, its font for texts
        // over the chart, and its colours.
        virtual QImage ChartImage() const = 0;
        virtual DateTime Moment() const = 0;
        virtual QFont TapFont() const = 0;
        virtual const ColorTable& Colors() const = 0;
        // Shows `image` where the tap text is shown, for `shownMs`.
        virtual void ShowOverChart(QImage image, int shownMs) = 0;
    };

    PicturePresenter(Host& host, TimerHost& timers, SettingsStore& store, Prompts& prompts, QWidget& window);
    ~PicturePresenter();

    static bool Handles(int id);
    // Runs a picture command; the description commands act on `constellation`
    // (that of the last pop-up menu).
    void Run(int id, const std::string& constellation);
    // The description timers: shown over the chart, or opened in the editor.
    void ShowDescription();
    void EditDescription();

    // A JPEG picture over the window until the next picture of the sky.
    void ShowPicture(const std::string& path, bool stretch);
    // Forgets the picture; true when one was shown.
    bool ClearPicture();
    void PaintPicture(QPainter& painter, const QRect& client) const;

private:
    void SaveScreenCapture();
    JpegReporter& Reporter();

    Host& host_;
    TimerHost& timers_;
    SettingsStore& store_;
    Prompts& prompts_;
    QWidget& window_;
    PictureDisplay pictures_;
    std::unique_ptr<QtJpegReporter> jpegReporter_;
    std::unique_ptr<SpeechWorker> speech_;
    std::string constellation_;  // of the description command in progress
};

}  // namespace tavik
