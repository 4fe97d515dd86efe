#include "app/pictures/SpeechWorker.h"

#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <vector>

#include "catalog/SpokenReading.h"

extern char** environ;

namespace tavik {

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const std::size_t end = line.find('\'', i + 1);
            word += line.substr(i + 1, (end == std::string::npos ? line.size() : end) - i - 1);
            i = end == std::string::npos ? line.size() : end;
        } else if (c == '"') {
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) ++i;
                word += line[i];
            }
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
        } else {
            word += c;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

SpeechWorker::SpeechWorker(std::string command) : command_(std::move(command)) {}

SpeechWorker::~SpeechWorker() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        if (child_ > 0) ::kill(child_, SIGTERM);
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void SpeechWorker::SetCommand(std::string command) {
    std::lock_guard lock(mutex_);
    command_ = std::move(command);
}

void SpeechWorker::Speak(std::string utf8Text) {
    {
        std::lock_guard lock(mutex_);
        text_ = std::move(utf8Text);
        pending_ = true;
        if (!thread_.joinable()) thread_ = std::thread(&SpeechWorker::Run, this);
    }
    wake_.notify_all();
}

bool SpeechWorker::Busy() const {
    std::lock_guard lock(mutex_);
    return busy_;
}

void SpeechWorker::WaitUntilIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return (!pending_ && !busy_) || stop_; });
}

void SpeechWorker::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return pending_ || stop_; });
        if (stop_) break;
        const std::string text = std::move(text_);
        const std::string command = command_;
        text_.clear();
        pending_ = false;
        busy_ = true;
        lock.unlock();
        if (!reading_) reading_ = std::make_unique<SpokenReading>();
        RunProgram(command, reading_->Kana(text));
        lock.lock();
        busy_ = false;
        idle_.notify_all();
    }
    idle_.notify_all();
}

void SpeechWorker::RunProgram(const std::string& command, const std::string& text) {
    std::vector<std::string> args = SplitCommandLine(command);
    if (args.empty()) return;
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    // A socket rather than a pipe: sending to a program that has already quit
    // gives an error instead of SIGPIPE.
    int channel[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, channel) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channel[1], STDIN_FILENO);
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(channel[1]);
    if (spawned != 0) {  // no such program: silent
        ::close(channel[0]);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        child_ = pid;
        if (stop_) ::kill(pid, SIGTERM);
    }
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::send(channel[0], data, left, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    ::close(channel[0]);
    // Wait for the end without reaping, forget the process, then reap it: a
    // stop never signals a process id that may already be reused.
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
    {
        std::lock_guard lock(mutex_);
        child_ = -1;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace tavik
