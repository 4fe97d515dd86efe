#pragma once
// The comets and asteroids of the user's element file: "小天体データ読込"
// copies a chosen file into the user's data folder (minorbodies.txt; the
// catalogue's own folder may be read-only), where it is read
// again at every start; "小天体を文字表示" switches their names on the chart;
// "今日のデータに表示", in the menu of a tapped body, marks it for today's data.
// Reading runs on a thread of its own (the full asteroid file has over a
// million lines); the list reaches the document, and the notice the window,
// through the window's queue.

#include <QObject>

#include <filesystem>
#include <string>
#include <thread>

#include "app/view/ChartHost.h"

namespace tavik {

class CTavikDoc;
struct MinorBodyList;

class MinorBodyController : public QObject {
public:
    MinorBodyController(const ChartContext& context, CTavikDoc& doc);
    ~MinorBodyController() override;

    static bool Handles(int id);
    // `popupBody`: the designation of the comet or asteroid whose pop-up menu
    // the command came from ("" for none), for "今日のデータに表示".
    void Run(int id, const std::string& popupBody);
    ItemState State(int id, const std::string& popupBody) const;
    // Reads the data folder's copy, when there is one (quietly).
    void LoadAtStartup();
    // The copy in the user's data folder.
    std::filesystem::path StoredFile() const;
    // Whether a read is under way.
    bool Loading() const { return loading_; }

private:
    void StartLoad(const std::filesystem::path& path, bool announce);
    void Finish(std::shared_ptr<const MinorBodyList> list, bool announce);

    ChartContext c_;
    CTavikDoc& doc_;
    std::thread worker_;
    bool loading_ = false;
};

}  // namespace tavik
