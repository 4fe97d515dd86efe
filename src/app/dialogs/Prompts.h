#pragma once
// app/dialogs: the bottom of the window layer. The messages and choices put to
// the user (Prompts), the file browser, number fields, and every dialog of the
// program: site, date and time, interval, today's data, colours, options,
// constellations, horizon search, tap marks, add-ins, descriptions, about.
// Dialogs take what they edit as arguments and know nothing of the view.
//
// Messages and choices the shell puts to the user: error, information, a yes/no
// question and a file choice. The application shows them with message boxes
// and a file dialog; tests record them and answer from a script.

#include <QString>
#include <QStringList>

class QWidget;

namespace tavik {

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual void Error(const QString& text) = 0;
    virtual void Info(const QString& text) = 0;
    virtual bool Ask(const QString& text) = 0;
    // The same question with "No" preselected (a careless Enter answers No).
    virtual bool AskDefaultNo(const QString& text) { return Ask(text); }
    // An existing file chosen by the user, or empty when cancelled. `start` is
    // the folder shown first, or a path in it whose name is proposed.
    virtual QString ChooseFile(const QString& title, const QString& filter, const QString& start = {}) = 0;
};

// Message boxes with the program's title and a file dialog.
class QtPrompts final : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Error(const QString& text) override;
    void Info(const QString& text) override;
    bool Ask(const QString& text) override;
    bool AskDefaultNo(const QString& text) override;
    QString ChooseFile(const QString& title, const QString& filter, const QString& start = {}) override;

private:
    QWidget* parent_;
};

// Remembers every message; answers questions and file choices from fields.
class RecordingPrompts final : public Prompts {
public:
    void Error(const QString& text) override { messages.append("error: " + text); }
    void Info(const QString& text) override { messages.append("info: " + text); }
    bool Ask(const QString& text) override {
        messages.append("ask: " + text);
        return answer;
    }
    QString ChooseFile(const QString& title, const QString& filter, const QString& start = {}) override {
        messages.append("file: " + title);
        fileFilter = filter;
        fileStart = start;
        return chosenFile;
    }

    QStringList messages;
    bool answer = false;
    QString chosenFile;
    QString fileFilter;  // of the last file choice
    QString fileStart;
};

}  // namespace tavik
