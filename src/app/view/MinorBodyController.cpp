#include "app/view/MinorBodyController.h"

#include <QMetaObject>

#include <system_error>

#include "app/dialogs/Prompts.h"
#include "app/view/TavikDoc.h"
#include "catalog/CatalogLocation.h"
#include "catalog/MinorBodies.h"
#include "settings/SettingsStore.h"
#include "view/CommandSet.h"
#include "view/MinorBodyPainter.h"
#include "view/MinorTodayMarks.h"

namespace tavik {

MinorBodyController::MinorBodyController(const ChartContext& context, CTavikDoc& doc) : c_(context), doc_(doc) {}

MinorBodyController::~MinorBodyController() {
    // The result of a read still under way is dropped with this object.
    if (worker_.joinable()) worker_.join();
}

bool MinorBodyController::Handles(int id) {
    return id == cmd::LoadMinorBodies || id == cmd::MinorBodyNames || id == cmd::MinorBodyToday;
}

ItemState MinorBodyController::State(int id, const std::string& popupBody) const {
    ItemState st;
    if (id == cmd::LoadMinorBodies) st.enabled = !loading_;
    if (id == cmd::MinorBodyNames) st.checked = c_.store.GetProfileInt(kMinorSection, kMinorNames, 0) == 1;
    if (id == cmd::MinorBodyToday) {
        st.enabled = !popupBody.empty();
        st.checked = IsMinorTodayMarked(c_.store, popupBody);
    }
    return st;
}

std::filesystem::path MinorBodyController::StoredFile() const { return UserDataDirectory() / kMinorFileName; }

void MinorBodyController::Run(int id, const std::string& popupBody) {
    if (id == cmd::MinorBodyNames) {
        const bool on = c_.store.GetProfileInt(kMinorSection, kMinorNames, 0) == 1;
        c_.store.WriteProfileInt(kMinorSection, kMinorNames, on ? 0 : 1);
        c_.host.RefreshView();
        c_.host.StateChanged();
        return;
    }
    if (id == cmd::MinorBodyToday) {
        SetMinorTodayMark(c_.store, popupBody, !IsMinorTodayMarked(c_.store, popupBody));
        c_.host.StateChanged();
        return;
    }
    if (loading_) return;
    const QString file = c_.prompts.ChooseFile(QString::fromUtf8("小天体データ読込"),
                                               QString::fromUtf8("軌道要素 (*.txt *.dat *.DAT);;すべて (*)"));
    if (file.isEmpty()) return;
    const std::filesystem::path source(file.toStdString());
    const std::filesystem::path target = StoredFile();
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    if (!std::filesystem::equivalent(source, target, ec)) {
        ec.clear();
        std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) {
            c_.prompts.Error(QString::fromUtf8("ファイルを写せません: ") + file);
            return;
        }
    }
    StartLoad(target, true);
}

void MinorBodyController::LoadAtStartup() {
    std::error_code ec;
    const std::filesystem::path path = StoredFile();
    if (std::filesystem::is_regular_file(path, ec)) StartLoad(path, false);
}

void MinorBodyController::StartLoad(const std::filesystem::path& path, bool announce) {
    if (worker_.joinable()) worker_.join();
    loading_ = true;
    c_.host.StateChanged();
    const int limit = c_.store.GetProfileInt(kMinorSection, kMinorMagnitudeLimit,
                                             static_cast<int>(kDefaultMinorMagnitudeLimit));
    worker_ = std::thread([this, path, announce, limit] {
        std::optional<MinorBodyList> read = ReadMinorBodyFile(path, limit);
        std::shared_ptr<const MinorBodyList> list =
            read ? std::make_shared<const MinorBodyList>(std::move(*read)) : nullptr;
        QMetaObject::invokeMethod(this, [this, list, announce] { Finish(list, announce); }, Qt::QueuedConnection);
    });
}

void MinorBodyController::Finish(std::shared_ptr<const MinorBodyList> list, bool announce) {
    if (worker_.joinable()) worker_.join();
    loading_ = false;
    if (!list) {
        c_.prompts.Error(QString::fromUtf8("小天体データを開けません。"));
    } else {
        doc_.SetMinorBodies(list);
        if (announce) {
            QString text = QString::fromUtf8("%1 天体を読み込みました").arg(list->bodies.size());
            if (list->unreadable > 0) text += QString::fromUtf8("（%1 行は読めません）").arg(list->unreadable);
            c_.host.ShowNotice(text);
        }
        c_.host.RefreshView();
    }
    c_.host.StateChanged();
}

}  // namespace tavik
