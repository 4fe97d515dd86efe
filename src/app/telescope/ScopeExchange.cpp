#include "app/telescope/ScopeExchange.h"

#include <QCoreApplication>
#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "app/dialogs/Prompts.h"

namespace tavik {

ScopeExchange::ScopeExchange(QObject* parent) : QObject(parent) {}

ScopeExchange::~ScopeExchange() { Shutdown(); }

void ScopeExchange::Shutdown() {
    Cancel();
    if (thread_.joinable()) thread_.join();
}

bool ScopeExchange::Start(std::function<void()> work, std::function<void()> done) {
    if (running_) return false;
    if (thread_.joinable()) thread_.join();
    running_ = true;
    cancelled_ = false;
    done_ = std::move(done);
    thread_ = std::thread([this, work = std::move(work)] {
        work();
        QMetaObject::invokeMethod(this, [this] { Finish(); }, Qt::QueuedConnection);
    });
    emit runningChanged(true);
    return true;
}

void ScopeExchange::Finish() {
    if (thread_.joinable()) thread_.join();
    running_ = false;
    std::function<void()> done = std::move(done_);
    done_ = nullptr;
    emit runningChanged(false);
    if (done && !cancelled_) done();
    // `done` may have started the next exchange; what waits for idle waits on.
    if (whenIdle_ && !running_) {
        std::function<void()> action = std::move(whenIdle_);
        whenIdle_ = nullptr;
        action();
    }
}

void ScopeExchange::WhenIdle(std::function<void()> action) {
    if (!running_) {
        action();
        return;
    }
    whenIdle_ = std::move(action);
}

void ScopeExchange::Cancel() {
    cancelled_ = true;
    whenIdle_ = nullptr;
}

// --- Message boxes from the exchange thread ---------------------------------

bool WindowTelescopeUi::OnWindowThread(std::function<bool()> show) {
    if (QThread::currentThread() == exchange_.thread()) return show();
    struct Reply {
        std::mutex lock;
        std::condition_variable ready;
        bool done = false;
        bool value = false;
    };
    auto reply = std::make_shared<Reply>();
    const ScopeExchange* exchange = &exchange_;
    // Dropped unrun when the exchange object goes; skipped once cancelled.
    QMetaObject::invokeMethod(
        &exchange_,
        [reply, exchange, show = std::move(show)] {
            const bool value = exchange->Cancelled() ? false : show();
            std::lock_guard guard(reply->lock);
            reply->value = value;
            reply->done = true;
            reply->ready.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock guard(reply->lock);
    while (!reply->done && !exchange_.Cancelled()) {
        reply->ready.wait_for(guard, std::chrono::milliseconds(50));
    }
    return reply->done && reply->value;
}

void WindowTelescopeUi::Error(const std::string& text) {
    OnWindowThread([this, text] {
        prompts_.Error(QString::fromStdString(text));
        return true;
    });
}

void WindowTelescopeUi::Info(const std::string& text) {
    OnWindowThread([this, text] {
        prompts_.Info(QString::fromStdString(text));
        return true;
    });
}

bool WindowTelescopeUi::Ask(const std::string& text) {
    return OnWindowThread([this, text] { return prompts_.Ask(QString::fromStdString(text)); });
}

// --- Clock ---------------------------------------------------------------

std::int64_t WindowTelescopeClock::Seconds() {
    constexpr std::int64_t kPastEveryTimeout = 1'000'000;
    return system_.Seconds() + (exchange_.Cancelled() ? kPastEveryTimeout : 0);
}

void WindowTelescopeClock::Sleep(std::chrono::milliseconds duration) {
    using std::chrono::milliseconds;
    const auto until = std::chrono::steady_clock::now() + duration;
    while (!exchange_.Cancelled()) {
        const auto left = std::chrono::duration_cast<milliseconds>(until - std::chrono::steady_clock::now());
        if (left <= milliseconds(0)) return;
        std::this_thread::sleep_for(std::min(left, milliseconds(20)));
    }
}

}  // namespace tavik
