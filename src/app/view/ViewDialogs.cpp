#include "app/view/ViewDialogs.h"

#include <QString>

#include <filesystem>

#include "app/dialogs/ColorDialog.h"
#include "app/dialogs/ConstellationSelectDialog.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/FieldOfViewDialog.h"
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
#include "view/MinorTodayMarks.h"
#include "view/TimeControl.h"

namespace tavik {

ViewDialogs::ViewDialogs(const ChartContext& context, CTavikDoc& doc, ScopeController& telescope, MagnifierController& magnifier)
    : c_(context), doc_(doc),
      telescope_(telescope),
      magnifier_(magnifier) {}

bool ViewDialogs::Handles(int id) {
    switch (id) {
    case cmd::SiteDialog: case cmd::DateTimeDialog: case cmd::StepInterval: case cmd::TodaysData:
    case cmd::ColorDialog: case cmd::OptionDialogs: case cmd::AllConstellations: case cmd::OnlyConstellation:
    case cmd::ConstellationChoice: case cmd::FieldOfViewDialog:
        return true;
    default: return false;
    }
}

void ViewDialogs::Run(int id, const std::string& constellation) {
    switch (id) {
    case cmd::SiteDialog: RunSiteDialog(); break;
    case cmd::DateTimeDialog: RunDateTimeDialog(); break;
    case cmd::StepInterval: RunIntervalDialog(); break;
    case cmd::TodaysData: {
        std::vector<MinorBody> marked;
        if (const std::shared_ptr<const MinorBodyList> list = doc_.MinorBodies())
            marked = MarkedMinorBodies(list->bodies, c_.store);
        RunTodayDataDialogs(c_.host.Time(), c_.host.Settings().site, &c_.view, {}, marked);
        c_.host.RefreshView();
        break;
    }
    case cmd::ColorDialog: RunColorDialog(); break;
    case cmd::OptionDialogs: RunOptionDialogs(); break;
    case cmd::AllConstellations: SelectConstellation(false, constellation); break;
    case cmd::ConstellationChoice: RunConstellationDialog(); break;
    case cmd::OnlyConstellation: SelectConstellation(true, constellation); break;
    case cmd::FieldOfViewDialog: RunFieldOfViewDialog(); break;
    default: break;
    }
}

void ViewDialogs::AskForCatalogue() {
    c_.prompts.Info(QString::fromUtf8("データファイルを指定してください。"));
    const QString file = c_.prompts.ChooseFile(QString::fromUtf8("データファイルを指定してください。"),
                                             QString::fromUtf8("データ(*.dat)"), doc_.CataloguePromptStart());
    bool loaded = false;
    // No pass runs or starts while there is no catalogue, so the load needs no lock
    // (it pumps messages, and a paint then takes the lock itself).
    if (!file.isEmpty()) {
        loaded = doc_.LoadChosen(std::filesystem::path(file.toStdString()));
        if (!loaded && doc_.LastResult().catalog.opened)
            c_.prompts.Error(QString::fromStdString(doc_.LastResult().catalog.error));
    }
    if (loaded) {
        c_.host.Time().StartAfterLoad();
        c_.host.RefreshView();
        return;
    }
    c_.prompts.Info(QString::fromUtf8("プログラムを 10秒後に終了します。"));
    c_.timers.StartTimer(timer_id::kExit, 10000);
}

void ViewDialogs::RunSiteDialog() {
    c_.host.WithPassesHeld([this] {  // the dialog writes the user sites
        CSiteDialog dlg(c_.host.Settings().site, c_.store, c_.prompts, &c_.view);
        if (dlg.exec() == QDialog::Accepted) c_.host.ApplySite(dlg.Result());
    });
}

void ViewDialogs::RunDateTimeDialog() {
    TimeControl& time = c_.host.Time();
    CDateTimeDialog dlg(time.Current(), time, c_.prompts, &c_.view);
    if (dlg.exec() != QDialog::Accepted) return;
    const DateTimeFields f = dlg.Fields();
    c_.host.ChangeTime([&f](TimeControl& t) { return t.SetDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second); });
}

void ViewDialogs::RunIntervalDialog() {
    CIntervalDialog dlg(c_.host.Time().Interval(), &c_.view);
    if (dlg.exec() != QDialog::Accepted || !dlg.Chosen()) return;
    c_.host.ChangeTime([&](TimeControl& t) {
        t.SetInterval(*dlg.Chosen(), c_.store);
        return TimeAction{};
    });
}

void ViewDialogs::RunColorDialog() {
    int code = 0;
    ColorTable table;
    c_.host.WithPassesHeld([&] {
        CColorDialog dlg(c_.store, &c_.view);
        code = dlg.exec();
        table = dlg.Table();
    });
    c_.host.ChangeSettings([&](ViewSettings& settings) {
        ApplyColorDialogResult(code == QDialog::Accepted             ? ColorDialogResult::Ok
                               : code == CColorDialog::kResetAll ? ColorDialogResult::ResetAll
                                                                 : ColorDialogResult::Cancel,
                               table, c_.store);
        // The view's save operation writes the colours too: keep its copy current.
        for (int i = 0; i < kColorSlots; ++i) settings.colors[static_cast<std::size_t>(i)] = table[i];
    });
    c_.host.RefreshView();
}

void ViewDialogs::RunOptionDialogs() {
    const bool wasFullScreen = c_.host.State().fullScreen;
    const bool controlBefore = c_.host.Settings().telescopeControl == 1;
    OptionsOutcome outcome;
    // The dialogs write the view's settings; cancelled throughout, nothing is stored.
    c_.host.EditWithoutPasses([&](ViewSettings& settings, ViewState& view) {
        outcome = RunOptionChain(settings, view, c_.store, c_.prompts, &c_.view);
        if (outcome.confirmed) c_.host.SaveSettings();
    });
    magnifier_.SetAutoEnter(c_.host.Settings().autoEnter == 1);
    if (c_.host.State().fullScreen != wasFullScreen) c_.host.FullScreenChanged();
    if (outcome.telescopeControl && outcome.confirmed) {
        // With telescope control on after the options: its settings, the clock
        // to now, and real-time updating.
        if (!controlBefore) telescope_.RunSettingsDialog();
        c_.host.RunCommand(cmd::SetNow);
        if (!c_.host.Time().AutoUpdate()) {
            c_.host.RunCommand(cmd::AutoUpdate);
            c_.host.ShowNotice(QString::fromUtf8("自動更新モードを設定しました"));
        }
    }
    if (outcome.confirmed) c_.host.RefreshView();
    c_.host.StateChanged();
}

void ViewDialogs::RunFieldOfViewDialog() {
    bool accepted = false;
    c_.host.WithPassesHeld([&] {  // the dialog writes what the passes read
        CFieldOfViewDialog dlg(c_.store, &c_.view);
        accepted = dlg.exec() == QDialog::Accepted;
    });
    if (accepted) c_.host.RefreshView();
}

void ViewDialogs::RunConstellationDialog() {
    bool active = false;
    std::vector<std::string> selected;
    c_.host.WithCanvas([&](SkyCanvas& canvas) {
        const ConstellationSelection& s = canvas.SelectionLocked();
        active = s.Active();
        for (int i = 0; i < ConstellationSelection::kSlots; ++i)
            if (!s.Slot(i).empty()) selected.emplace_back(s.Slot(i));
    });
    CConstellationSelectDialog dlg(active, std::move(selected), &c_.view);
    if (dlg.exec() != QDialog::Accepted) return;
    c_.host.WithCanvas([&](SkyCanvas& canvas) { canvas.TakeSelection(dlg.Active(), dlg.Chosen(), doc_.Catalog()); });
    c_.host.SaveSettings();
    c_.host.ShowNotice(QString::fromUtf8("星座選択"));
    c_.host.RefreshView();
}

void ViewDialogs::SelectConstellation(bool onlyTapped, const std::string& constellation) {
    if (onlyTapped && constellation.empty()) return;
    c_.host.WithCanvas([&](SkyCanvas& canvas) {
        if (onlyTapped) {
            canvas.SelectOnlyConstellation(constellation, doc_.Catalog());
        } else {
            canvas.ShowAllConstellations();
        }
    });
    c_.host.RefreshView();
}

}  // namespace tavik
