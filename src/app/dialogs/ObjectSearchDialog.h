#pragma once
// "天体検索": a text box and the results of the name index, asked again at
// every keystroke (the index answers at once, so nothing waits). Each line is
// SearchResult::ListText(); the best result is the current line, Up and Down
// move in the list from the text box. Enter, a double-click or "表示" chooses
// the current line, "導入" chooses it for the telescope (only while telescope
// control is on), Esc closes.
//
// The last ten searches are kept in SEARCH/HISTORY1..10 (newest first); with
// the text box empty the list offers them, and choosing one searches it again.
//
// The dialog is opened with open() (window-modal, no loop of its own) and
// reports the choice through `chosen`; it closes itself after a choice.

#include <QDialog>
#include <QStringList>

#include <functional>
#include <vector>

#include "view/ObjectSearch.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavik {

class SettingsStore;

class CObjectSearchDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHistorySize = 10;
    // The results for a query (UTF-8), best first.
    using Lookup = std::function<std::vector<SearchResult>(const std::string& query)>;

    CObjectSearchDialog(Lookup lookup, SettingsStore& store, bool telescopeOn, QWidget* parent = nullptr);

    QLineEdit* Query() const { return query_; }
    QListWidget* List() const { return list_; }
    QLabel* Status() const { return status_; }
    QPushButton* ShowButton() const { return show_; }
    QPushButton* GotoButton() const { return goto_; }
    const std::vector<SearchResult>& Results() const { return results_; }

    // The stored searches, newest first; a search is added in front of them
    // (once, at most ten kept).
    static QStringList LoadHistory(const SettingsStore& store);
    static void AddToHistory(SettingsStore& store, const QString& search);

signals:
    // A line was chosen: to be shown, and with `sendTelescope` also sent to
    // the telescope.
    void chosen(const tavik::SearchResult& result, bool sendTelescope);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();
    void Choose(bool sendTelescope);
    void UpdateButtons();

    Lookup lookup_;
    SettingsStore& store_;
    bool telescopeOn_;
    QLineEdit* query_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* show_ = nullptr;
    QPushButton* goto_ = nullptr;
    std::vector<SearchResult> results_;
    QStringList history_;
};

}  // namespace tavik
