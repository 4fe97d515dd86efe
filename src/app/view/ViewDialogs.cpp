#include "app/view/ViewDialogs.h"

#include <QString>

#include <filesystem>

#include "app/dialogs/ColorDialog.h"
#include "app/dialogs/ConstellationSelectDialog.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/OptionDialogs.h"
#include "app/dialogs/Prompts.h"
#include "app/dialogs/SiteDialog.h"
#include "app/dialogs/TodayDialog.h"
#include "app/telescope/ScopeController.h"
#include "app/view/ChartHost.h"
#include "app/view/MagnifierController.h"
#include "app/view/TavikDoc.h"
#include "settings/SettingsStore.h"
#include "view/CommandSet.h"
#include "view/ConstellationSelection.h"
#include "view/SkyRenderer.h"
#include "view/TimeControl.h"

namespace tavik {

ViewDialogs::ViewDialogs(ChartHost& host, TimerHost& timers, CTavikDoc& doc, SettingsStore& store, Prompts& prompts,
                         QWidget& view, ScopeController& telescope, MagnifierController& magnifier)
    : host_(host),
      timers_(timers),
      doc_(doc),
      store_(store),
      prompts_(prompts),
      view_(view),
      telescope_(telescope),
      magnifier_(magnifier) {}

bool ViewDialogs::Handles(int id) {
    switch (id) {
    case cmd::SiteDialog: case cmd::DateTimeDialog: case cmd::StepInterval: case cmd::TodaysData:
    case cmd::ColorDialog: case cmd::OptionDialogs: case cmd::AllConstellations: case cmd::OnlyConstellation:
    case cmd::ConstellationChoice:
        return true;
    default: return false;
    }
}

void ViewDialogs::Run(int id, const std::string& constellation) {
    switch (id) {
    case cmd::SiteDialog: RunSiteDialog(); break;
    case cmd::DateTimeDialog: RunDateTimeDialog(); break;
    case cmd::StepInterval: RunIntervalDialog(); break;
    case cmd::TodaysData:
        RunTodayDataDialogs(host_.Time(), host_.Settings().site, &view_);
        host_.RefreshView();
        break;
    case cmd::ColorDialog: RunColorDialog(); break;
    case cmd::OptionDialogs: RunOptionDialogs(); break;
    case cmd::AllConstellations: SelectConstellation(false, constellation); break;
    case cmd::ConstellationChoice: RunConstellationDialog(); break;
    case cmd::OnlyConstellation: SelectConstellation(true, constellation); break;
    default: break;
    }
}

void ViewDialogs::AskForCatalogue() {
    prompts_.Info(QString::fromUtf8("データファイルを指定してください。"));
    const QString file = prompts_.ChooseFile(QString::fromUtf8("データファイルを指定してください。"),
                                             QString::fromUtf8("データ(*.dat)"), doc_.CataloguePromptStart());
    bool loaded = false;
    // No pass runs or starts while there is no catalogue, so the load needs no lock
    // (it pumps messages, and a paint then takes the lock itself).
    if (!file.isEmpty()) {
        loaded = doc_.LoadChosen(std::filesystem::path(file.toStdString()));
        if (!loaded && doc_.LastResult().catalog.opened)
            prompts_.Error(QString::fromStdString(doc_.LastResult().catalog.error));
    }
    if (loaded) {
        host_.Time().StartAfterLoad();
        host_.RefreshView();
        return;
    }
    prompts_.Info(QString::fromUtf8("プログラムを 10秒後に終了します。"));
    timers_.StartTimer(timer_id::kExit, 10000);
}

void ViewDialogs::RunSiteDialog() {
    host_.WithPassesHeld([this] {  // the dialog writes the user sites
        CSiteDialog dlg(host_.Settings().site, store_, prompts_, &view_);
        if (dlg.exec() == QDialog::Accepted) host_.ApplySite(dlg.Result());
    });
}

void ViewDialogs::RunDateTimeDialog() {
    TimeControl& time = host_.Time();
    CDateTimeDialog dlg(time.Current(), time, prompts_, &view_);
    if (dlg.exec() != QDialog::Accepted) return;
    const DateTimeFields f = dlg.Fields();
    host_.ChangeTime([&f](TimeControl& t) { return t.SetDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second); });
}

void ViewDialogs::RunIntervalDialog() {
    CIntervalDialog dlg(host_.Time().Interval(), &view_);
    if (dlg.exec() != QDialog::Accepted || !dlg.Chosen()) return;
    host_.ChangeTime([&](TimeControl& t) {
        t.SetInterval(*dlg.Chosen(), store_);
        return TimeAction{};
    });
}

void ViewDialogs::RunColorDialog() {
    int code = 0;
    ColorTable table;
    host_.WithPassesHeld([&] {
        CColorDialog dlg(store_, &view_);
        code = dlg.exec();
        table = dlg.Table();
    });
    host_.ChangeSettings([&](ViewSettings& settings) {
        ApplyColorDialogResult(code == QDialog::Accepted             ? ColorDialogResult::Ok
                               : code == CColorDialog::kResetAll ? ColorDialogResult::ResetAll
                                                                 : ColorDialogResult::Cancel,
                               table, store_);
        // The view's save operation writes the colours too: keep its copy current.
        for (int i = 0; i < kColorSlots; ++i) settings.colors[static_cast<std::size_t>(i)] = table[i];
    });
    host_.RefreshView();
}

void ViewDialogs::RunOptionDialogs() {
    const bool wasFullScreen = host_.State().fullScreen;
    const bool controlBefore = host_.Settings().telescopeControl == 1;
    OptionsOutcome outcome;
    // The dialogs write the view's settings; cancelled throughout, nothing is stored.
    host_.EditWithoutPasses([&](ViewSettings& settings, ViewState& view) {
        outcome = RunOptionChain(settings, view, store_, prompts_, &view_);
        if (outcome.confirmed) host_.SaveSettings();
    });
    magnifier_.SetAutoEnter(host_.Settings().autoEnter == 1);
    if (host_.State().fullScreen != wasFullScreen) host_.FullScreenChanged();
    if (outcome.telescopeControl && outcome.confirmed) {
        // With telescope control on after the options: its settings, the clock
        // to now, and real-time updating.
        if (!controlBefore) telescope_.RunSettingsDialog();
        host_.RunCommand(cmd::SetNow);
        if (!host_.Time().AutoUpdate()) {
            host_.RunCommand(cmd::AutoUpdate);
            host_.ShowNotice(QString::fromUtf8("自動更新モードを設定しました"));
        }
    }
    if (outcome.confirmed) host_.RefreshView();
    host_.StateChanged();
}

void ViewDialogs::RunConstellationDialog() {
    bool active = false;
    std::vector<std::string> selected;
    host_.WithCanvas([&](SkyCanvas& canvas) {
        const ConstellationSelection& s = canvas.SelectionLocked();
        active = s.Active();
        for (int i = 0; i < ConstellationSelection::kSlots; ++i)
            if (!s.Slot(i).empty()) selected.emplace_back(s.Slot(i));
    });
    CConstellationSelectDialog dlg(active, std::move(selected), &view_);
    if (dlg.exec() != QDialog::Accepted) return;
    host_.WithCanvas([&](SkyCanvas& canvas) { canvas.TakeSelection(dlg.Active(), dlg.Chosen(), doc_.Catalog()); });
    host_.SaveSettings();
    host_.ShowNotice(QString::fromUtf8("星座選択"));
    host_.RefreshView();
}

void ViewDialogs::SelectConstellation(bool onlyTapped, const std::string& constellation) {
    if (onlyTapped && constellation.empty()) return;
    host_.WithCanvas([&](SkyCanvas& canvas) {
        if (onlyTapped) {
            canvas.SelectOnlyConstellation(constellation, doc_.Catalog());
        } else {
            canvas.ShowAllConstellations();
        }
    });
    host_.RefreshView();
}

}  // namespace tavik
