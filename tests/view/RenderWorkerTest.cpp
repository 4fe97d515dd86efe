// The off-screen canvas and its render worker: size changes, the pass on the
// calling thread or on the worker, one pass per request, requests arriving while
// the worker is busy, and view-state changes under the lock while passes run.
// (Run under ThreadSanitizer with -DTAVIK_SANITIZE=thread.)

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <atomic>
#include <chrono>
#include <thread>

#include "settings/SettingsStore.h"
#include "view/SkyRenderer.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

void EnsureGuiApp() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "view_tests";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

class RenderWorker : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        view.viewMode = ViewMode::Direction;
        RefreshViewState(view);
    }
    RenderScene Scene() {
        RenderScene s;
        s.view = &view;
        s.settings = &store;
        s.colors = &colors;
        s.localTime = DateTime(2004, 3, 10, 21, 0, 0);
        return s;
    }
    ViewState view;
    MemorySettingsStore store;
    ColorTable colors;
};

TEST_F(RenderWorker, SizeChangeRecreatesTheImageFirst) {
    SkyCanvas canvas([this] { return Scene(); });
    int rendered = 0;
    canvas.SetRenderedCallback([&] { ++rendered; });
    EXPECT_EQ(canvas.HandleRenderRequest(120, 100, false), SkyCanvas::Outcome::Resized);
    EXPECT_EQ(rendered, 0);
    EXPECT_EQ(canvas.Snapshot().size(), QSize(120, 100));
    EXPECT_EQ(canvas.HandleRenderRequest(120, 100, false), SkyCanvas::Outcome::Rendered);
    EXPECT_EQ(rendered, 1);

    // Paint copies the image while the size holds; a new height recreates it.
    int blits = 0;
    EXPECT_TRUE(canvas.Paint(120, 100, [&](const QImage& img) {
        ++blits;
        EXPECT_EQ(img.size(), QSize(120, 100));
    }));
    EXPECT_FALSE(canvas.Paint(120, 90, [&](const QImage&) { ++blits; }));
    EXPECT_EQ(blits, 1);
    EXPECT_EQ(canvas.Snapshot().size(), QSize(120, 90));
}

TEST_F(RenderWorker, HourglassRunsEachPassOnTheWorker) {
    SkyCanvas canvas([this] { return Scene(); });
    std::atomic<int> rendered{0};
    std::atomic<bool> onOtherThread{false};
    const auto ui = std::this_thread::get_id();
    canvas.SetRenderedCallback([&] {
        if (std::this_thread::get_id() != ui) onOtherThread = true;
        ++rendered;
    });
    ASSERT_EQ(canvas.HandleRenderRequest(120, 120, true), SkyCanvas::Outcome::Resized);
    const QImage blank = canvas.Snapshot();

    int started = 0, pumps = 0;
    auto pump = [&] {
        ++pumps;
        return true;
    };
    for (int i = 0; i < 8; ++i) {
        // The user-interface thread changes the view state and a setting under
        // the lock while a pass may be running.
        {
            std::lock_guard<std::mutex> g(canvas.Lock());
            view.facing = i % 4;
            view.turnDegrees = (i * 10) % 90;
            RefreshViewState(view);
            store.WriteProfileInt("KOUGAI", "REDUCE", i);
        }
        const auto outcome = canvas.HandleRenderRequest(120, 120, true, pump);
        ASSERT_EQ(outcome, SkyCanvas::Outcome::Started);
        ++started;
        canvas.Paint(120, 120, [](const QImage& img) { EXPECT_FALSE(img.isNull()); });
    }
    ASSERT_TRUE(canvas.WaitIdle(pump));
    EXPECT_EQ(rendered.load(), started);  // one pass per request, none lost or doubled
    EXPECT_TRUE(onOtherThread.load());
    EXPECT_NE(canvas.Snapshot(), blank);
    canvas.StopWorker();
    canvas.StopWorker();  // a second stop is harmless
}

TEST_F(RenderWorker, QuitWhileWaitingAndDroppedRequests) {
    SkyCanvas canvas([this] { return Scene(); });
    // The worker stays busy (outside the lock) until the gate opens.
    std::atomic<bool> gate{false};
    std::atomic<int> rendered{0};
    canvas.SetRenderedCallback([&] {
        while (!gate.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ++rendered;
    });
    ASSERT_EQ(canvas.HandleRenderRequest(60, 60, true), SkyCanvas::Outcome::Resized);
    ASSERT_EQ(canvas.HandleRenderRequest(60, 60, true), SkyCanvas::Outcome::Started);
    EXPECT_TRUE(canvas.WorkerBusy());

    // While the handler waits, a request re-entered from the message pump is
    // dropped, and the quit message ends the wait without starting a pass.
    SkyCanvas::Outcome inner = SkyCanvas::Outcome::Rendered;
    int calls = 0;
    auto pump = [&] {
        if (++calls == 1) inner = canvas.HandleRenderRequest(60, 60, true);
        return calls < 2;
    };
    EXPECT_EQ(canvas.HandleRenderRequest(60, 60, true, pump), SkyCanvas::Outcome::Quit);
    EXPECT_EQ(inner, SkyCanvas::Outcome::Dropped);
    EXPECT_TRUE(canvas.WorkerBusy());

    gate = true;
    EXPECT_TRUE(canvas.WaitIdle());
    EXPECT_EQ(rendered.load(), 1);
    // A synchronous request after the worker was used runs on this thread.
    EXPECT_EQ(canvas.HandleRenderRequest(60, 60, false), SkyCanvas::Outcome::Rendered);
    EXPECT_EQ(rendered.load(), 2);
}

}  // namespace
}  // namespace tavik
