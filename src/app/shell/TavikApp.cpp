#include "app/shell/TavikApp.h"

#include <QStandardPaths>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <QThread>

#include <algorithm>

#include "app/shell/MainFrame.h"
#include "app/dialogs/Prompts.h"
#include "app/shell/SingleInstance.h"
#include "app/view/TavikDoc.h"
#include "app/view/TavikView.h"
#include "catalog/CatalogLocation.h"
#include "settings/ObservationSite.h"
#include "settings/SettingsStore.h"
#include "view/TimeControl.h"

namespace tavik {

CTavikApp::CTavikApp(AppOptions options) : options_(std::move(options)) {}

namespace {

// The window's place and size, kept in a section of our own.
constexpr const char* kWindowSection = "WINDOW";
constexpr const char* kGeometryEntry = "GEOMETRY";

// A first start: the chart about two thirds of the screen's height, square,
// with the bars above it, in the middle of the screen.
void FitToScreen(QWidget& frame, QWidget& view) {
    const QScreen* screen = frame.screen() ? frame.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        frame.resize(320, 520);
        return;
    }
    const QRect available = screen->availableGeometry();
    const int side = std::max(240, available.height() * 2 / 3);
    frame.resize(side, side);
    if (QLayout* layout = frame.layout()) layout->activate();
    const int bars = std::max(0, frame.height() - view.height());
    const QSize size(std::min(side, available.width()), std::min(side + bars, available.height()));
    frame.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
}

}  // namespace

CTavikApp::~CTavikApp() {
    if (frame_ && store_ && options_.show) {
        // Where the window was, for the next start (full screen included).
        store_->WriteProfileString(kWindowSection, kGeometryEntry,
                                   frame_->saveGeometry().toBase64().toStdString());
    }
    frame_.reset();  // the view saves its state while the store still exists
    doc_.reset();
}

CTavikView* CTavikApp::View() const { return frame_ ? frame_->View() : nullptr; }

bool CTavikApp::InitInstance() {
    // 1. One copy only: a second start brings the first window forward and ends.
    if (options_.singleInstance) {
        instance_ = std::make_unique<SingleInstance>(options_.instanceKey);
        if (!instance_->Acquire()) return false;
    }

    // 2. The settings store under Arvex/Tavik.
    QCoreApplication::setOrganizationName(QStringLiteral("Arvex"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavik"));
    // The window and its desktop entry org.arvex.Tavik.desktop agree: the entry
    // names the class the window carries (the application name, "Tavik"), and
    // the window shows the entry's icon, built into the program so that a run
    // from the build folder has it too.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.arvex.Tavik"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tavik/org.arvex.Tavik.svg")));
    if (options_.store) {
        store_ = options_.store;
    } else {
        ownStore_ = std::make_unique<QtSettingsStore>();
        store_ = ownStore_.get();
    }
    if (options_.prompts) {
        prompts_ = options_.prompts;
    } else {
        ownPrompts_ = std::make_unique<QtPrompts>();
        prompts_ = ownPrompts_.get();
    }
    if (options_.clock) {
        clock_ = options_.clock;
    } else {
        // "Now" is the site's time: UTC plus the current site's zone offset
        // (the view's copy once it exists, the store before that).
        ownClock_ = std::make_unique<SystemClock>([this] {
            CTavikView* view = View();
            return view ? view->Settings().site.zoneOffsetHours : ReadCurrentSite(*store_).zoneOffsetHours;
        });
        clock_ = ownClock_.get();
    }

    // 3. A catalogue beside the program wins over the stored path.
    std::filesystem::path programDir = options_.programDir;
    if (programDir.empty()) {
        programDir = QCoreApplication::applicationDirPath().toStdString();
    }
    NoteCatalogBesideProgram(programDir, *store_);

    // 4.-6. Document, frame and view; the window is shown.
    doc_ = std::make_unique<CTavikDoc>(*store_, programDir);
    {
        std::filesystem::path documents = options_.documentsDir;
        if (documents.empty())
            documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
        doc_->SetDocumentsFolder(documents);
    }
    auto* view = new CTavikView(*doc_, *store_, *prompts_, *clock_);
    frame_ = std::make_unique<CMainFrame>(view, *store_);
    if (auto* qt = dynamic_cast<QtPrompts*>(prompts_)) qt->SetParent(frame_.get());
    if (instance_) {
        QObject::connect(instance_.get(), &SingleInstance::activationRequested, frame_.get(), [this] {
            frame_->showNormal();
            frame_->raise();
            frame_->activateWindow();
        });
    }
    // The place and size of the last run (on a screen that still exists: Qt
    // moves a window whose screen has gone), or one that suits the screen.
    const std::string geometry = store_->GetProfileString(kWindowSection, kGeometryEntry, "");
    if (!options_.show || geometry.empty() ||
        !frame_->restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(geometry)))) {
        if (options_.show) {
            FitToScreen(*frame_, *view);
        } else {
            frame_->resize(320, 520);  // tests: the portrait window of the pocket device
        }
    }
    if (options_.show) frame_->show();

    doc_->LoadAtStartup();
    view->StartAfterLoad();
    return true;
}

bool WaitForRender(CTavikView& view, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    const int before = view.RenderCount();
    view.RefreshView();
    while (clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (view.RenderCount() > before && !view.RenderPending() && view.PassesInFlight() == 0 &&
            view.Image().size() == view.DeviceArea()) {
            QCoreApplication::processEvents();
            return true;
        }
        QThread::msleep(5);
    }
    return false;
}

}  // namespace tavik
