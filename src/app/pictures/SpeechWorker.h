#pragma once
// Reading descriptions aloud: a worker thread that hands the text to an
// external speech program. The program is a command line (setting
// SPEECH/COMMAND, by default espeak-ng with its Japanese voice); the text goes
// to its standard input as UTF-8, turned into its kana pronunciation first
// (SpokenReading, loaded by the worker on its first text), since a speech
// program may have no kanji readings. "Busy" lasts while the program runs. A
// missing program stays silent.
//
// The view creates one worker on the first use of command 32963 and keeps it
// to the end of the program:
//   if (!speech_) speech_ = std::make_unique<SpeechWorker>(ReadSettingString(store, "SPEECH", "COMMAND"));
//   speech_->Speak(text.toStdString());
// A text handed over while the program still speaks replaces any text not yet
// taken; it is spoken once the program has finished.

#include <sys/types.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavik {

class SpokenReading;

// Words of a command line as a shell splits them, without expanding anything:
// blanks separate words, '…' is taken literally, "…" with \" and \\ inside,
// and a backslash outside quotes takes the next character literally.
std::vector<std::string> SplitCommandLine(const std::string& line);

class SpeechWorker {
public:
    // `command`: the program and its arguments, split by SplitCommandLine.
    explicit SpeechWorker(std::string command);
    // Ends a program still speaking and the thread.
    ~SpeechWorker();
    SpeechWorker(const SpeechWorker&) = delete;
    SpeechWorker& operator=(const SpeechWorker&) = delete;

    void SetCommand(std::string command);
    // Replaces the text under the lock and wakes the worker (started on the first call).
    void Speak(std::string utf8Text);
    // True from the moment the worker takes a text until the program has ended.
    bool Busy() const;
    // Blocks until no text is waiting and no program runs.
    void WaitUntilIdle();

private:
    void Run();
    void RunProgram(const std::string& command, const std::string& text);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::string command_;
    std::string text_;
    bool pending_ = false;
    bool busy_ = false;
    bool stop_ = false;
    pid_t child_ = -1;
    std::unique_ptr<SpokenReading> reading_;  // used by the worker thread only
    std::thread thread_;
};

}  // namespace tavik
