#include "dialog/ConditionDialog.h"

#include "dialog/PathRules.h"
#include "host/Records.h"
#include "platform/ShiftJis.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/ShowMessage.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace dialog {

namespace ui = platform::ui;
namespace res = resources;

namespace {

constexpr const char* kCaption = "消費税";
constexpr const char* kPastRecordRefused = "過去実績データは、連携の対象として使用できません。\n\nアプリケーションを終了します。";
constexpr const char* kExemptRefused =
    "消費税申告区分が免税のデータは、連携の対象として使用できません。\n\nアプリケーションを終了します。";
constexpr const char* kCancelled = "｢消費税｣の集計を中止します。";
constexpr const char* kFixedOutputGroup = "出力先";
constexpr const char* kBrowseTitle = "保存ファイルを指定";
constexpr const char* kBrowseFilter = "Xml Files (*.xml)|*.xml||";
constexpr const char* kHelpTip =
    "連動元製品にて入力・保存した消費税申告書の情報を使用します。\n"
    "仕訳から集計できない以下の金額を連動元製品にて入力済みの場合、\n"
    "こちらを選択することで連動できます。\n\n"
    "・特定課税仕入れ\n"
    "・納税義務の免除を受けない(受ける)こととなった場合における消費税の調整額\n"
    "・課税売上割合変動時調整対象固定資産に係る消費税額の調整額\n"
    "・調整対象固定資産を課税業務用に転用した場合の調整額\n\n"
    "※選択データにて[消費税申告書作成]を起動したことがない場合は選択できません。";
constexpr size_t kOutputPathLimit = 255;
constexpr size_t kMonthLimit = 2;

}  // namespace

// The checks' boxes, owned by the dialog.
class ConditionDialog::Prompts : public ValidationPrompts {
 public:
  explicit Prompts(ui::Window* owner) : owner_(owner) {}
  void Refuse(std::string_view text) override {
    ui::ShowMessage(owner_, text, kCaption, ui::kMbOk | ui::kMbIconExclamation);
  }
  bool Ask(std::string_view text) override {
    return ui::ShowMessage(owner_, text, kCaption, ui::kMbYesNo | ui::kMbIconQuestion) == ui::kIdBoxYes;
  }

 private:
  ui::Window* owner_;
};

ConditionDialog::ConditionDialog(ui::Window* owner, std::string settingsFileName, HostAccess& host, platform::FileSystem& fs)
    : ui::Dialog(res::FindDialogTemplate(res::kConditionDialog), owner),
      host_(host),
      fs_(fs),
      settingsFileName_(std::move(settingsFileName)) {}

void ConditionDialog::DoDataExchange(ui::DataExchange& dx) {
  dx.Text(res::kCompanyText, in_.companyText);
  dx.Text(res::kPeriodText, in_.periodText);
  dx.Text(res::kFilingCategoryText, in_.filingCategoryText);
  dx.Text(res::kLabelDeduction, in_.deductionLabel);
  dx.Text(res::kDeductionText, in_.deductionValue);
  dx.Text(res::kStartMonthEdit, chosen_.startMonthText);
  dx.MaxChars(res::kStartMonthEdit, kMonthLimit);
  dx.Text(res::kEndMonthEdit, chosen_.endMonthText);
  dx.MaxChars(res::kEndMonthEdit, kMonthLimit);
  dx.Text(res::kOutputPathEdit, chosen_.outputPath);
  dx.Radio(res::kJournalMethodRadio, chosen_.method);
}

SettingsKey ConditionDialog::Key() const { return {in_.userId, in_.selectedDataNo[0], in_.selectedDataNo[1]}; }

SettingsFile ConditionDialog::Settings() const { return SettingsFile(fs_, host_.AppFolderPath(1), settingsFileName_); }

PeriodMonths ConditionDialog::PeriodMonthsOr(PeriodMonths fallback) const {
  return host_.PeriodMonthsOf(in_.periodStartDate, in_.periodEndDate).value_or(fallback);
}

std::string ConditionDialog::DefaultOutputPath() {
  const std::string folder = host_.AppFolderPath(0);
  if (!folder.empty()) return folder + "*.xml";
  std::string temp = fs_.TempFolder();
  if (temp.size() < path::kMaxPath && !platform::sjis::EndsWithChar(temp, '\\')) temp += '\\';
  return temp + "*.xml";
}

bool ConditionDialog::OnInitDialog() {
  ui::Dialog::OnInitDialog();

  // Data that cannot be linked is refused before the user can do anything; the
  // dialog still finishes its set-up and closes afterwards.
  if ((in_.deductionLabel.empty() && in_.deductionValue.empty()) || in_.pastRecord == 1) {
    ui::ShowMessage(this, in_.pastRecord == 1 ? kPastRecordRefused : kExemptRefused, kCaption,
                    ui::kMbOk | ui::kMbIconExclamation);
    EndDialog(kCancelResult);
  }

  Item(res::kOutputPathEdit).LimitText(kOutputPathLimit);
  savedOutputPath_.clear();
  pathFixed_ = 0;

  int32_t start = journalStartMonth_;
  int32_t end = journalEndMonth_;
  int32_t method = host::kMethodJournal;
  std::string path;
  if (const std::optional<SettingsEntry> entry = Settings().Read(Key())) {
    savedOutputPath_ = entry->outputPath;
    path = entry->outputPath;
    method = entry->method == host::kMethodSavedReturn ? host::kMethodSavedReturn : host::kMethodJournal;  // a damaged entry never leaves the method group unchecked
    start = entry->startMonth;
    end = entry->endMonth;
    if (method == host::kMethodSavedReturn) {
      const PeriodMonths p = PeriodMonthsOr({start, end});
      start = p.first;
      end = p.last;
    }
  } else {
    const PeriodMonths p = PeriodMonthsOr({start, end});
    start = p.first;
    end = p.last;
  }
  journalStartMonth_ = static_cast<int16_t>(start);
  journalEndMonth_ = static_cast<int16_t>(end);
  chosen_.method = method;

  if (in_.returnValuesAvailable == 0) {
    chosen_.method = host::kMethodJournal;
    Item(res::kJournalMethodRadio).EnableWindow(false);
    Item(res::kSavedReturnMethodRadio).EnableWindow(false);
  }

  if (path.empty()) path = DefaultOutputPath();

  if (!in_.fixedOutputPath.empty()) {
    chosen_.outputPath = in_.fixedOutputPath;
    Item(res::kBrowseButton).EnableWindow(false);
    Item(res::kOutputPathEdit).EnableWindow(false);
    Item(res::kOutputGroup).SetText(kFixedOutputGroup);
    pathFixed_ = 1;
  } else {
    chosen_.outputPath = path;
    pathFixed_ = 0;
  }

  if (chosen_.method == host::kMethodSavedReturn) {
    ShowMonths(in_.returnStartMonth, in_.returnEndMonth);
    Item(res::kSavedReturnMethodRadio).SetFocus();
    SetMonthEditsEnabled(false);
  } else {
    ShowMonths(journalStartMonth_, journalEndMonth_);
    Item(res::kJournalMethodRadio).SetFocus();  // a disabled button does not take it
  }

  if (in_.taxationKind == host::StSHOHIZEIINFO::kGeneral) host_.InstallToolTip(*this, res::kHelpMark, kHelpTip);

  UpdateData(false);
  return false;
}

void ConditionDialog::ShowMonths(int32_t start, int32_t end) {
  chosen_.startMonthText = std::to_string(start);
  chosen_.endMonthText = std::to_string(end);
}

void ConditionDialog::SetMonthEditsEnabled(bool enabled) {
  Item(res::kStartMonthEdit).EnableWindow(enabled);
  Item(res::kEndMonthEdit).EnableWindow(enabled);
}

void ConditionDialog::FocusAndSelectAll(int id) {
  ui::Control& c = Item(id);
  c.SetFocus();
  c.SetSel(0, -1);
}

void ConditionDialog::OnCommand(int id) {
  switch (id) {
    case res::kJournalMethodRadio: OnJournalMethod(); break;
    case res::kSavedReturnMethodRadio: OnSavedReturnMethod(); break;
    case res::kRunButton: Run(); break;
    case res::kBrowseButton: Browse(); break;
    case res::kCancelButton: OnCancel(); break;
    default: ui::Dialog::OnCommand(id); break;
  }
}

void ConditionDialog::OnJournalMethod() {
  UpdateData(true);
  if (Item(res::kJournalMethodRadio).GetCheck() != 1) return;
  chosen_.method = host::kMethodJournal;
  ShowMonths(journalStartMonth_, journalEndMonth_);  // months typed since are discarded
  SetMonthEditsEnabled(true);
  UpdateData(false);
}

void ConditionDialog::OnSavedReturnMethod() {
  UpdateData(true);
  if (Item(res::kSavedReturnMethodRadio).GetCheck() != 1) return;
  chosen_.method = host::kMethodSavedReturn;
  ShowMonths(in_.returnStartMonth, in_.returnEndMonth);
  SetMonthEditsEnabled(false);
  UpdateData(false);
}

void ConditionDialog::Browse() {
  UpdateData(true);
  const path::BrowseSplit split = path::SplitForBrowse(chosen_.outputPath);
  ui::SaveFileDialogOptions options;
  options.owner = this;
  options.defaultExtension = "XML";
  options.initialName = split.fileName;
  options.initialFolder = split.folder;
  options.title = kBrowseTitle;
  options.filter = kBrowseFilter;
  options.flags = ui::kOfnHideReadOnly | ui::kOfnNoChangeDir | ui::kOfnPathMustExist | ui::kOfnFileMustExist;
  if (const std::optional<std::string> chosen = ui::RunSaveFileDialog(options)) {
    chosen_.outputPath = *chosen;
    UpdateData(false);
  }
  Item(res::kRunButton).SetFocus();
}

void ConditionDialog::Run() {
  UpdateData(true);
  Prompts prompts(this);
  const ConditionValues values{chosen_.startMonthText, chosen_.endMonthText, chosen_.outputPath};
  switch (ValidateConditions(values, PeriodMonthsOr({}), pathFixed_ != 0, fs_, prompts)) {
    case FocusField::None: EndDialog(kRunResult); break;
    case FocusField::StartMonth: FocusAndSelectAll(res::kStartMonthEdit); break;
    case FocusField::EndMonth: FocusAndSelectAll(res::kEndMonthEdit); break;
    case FocusField::OutputPath: FocusAndSelectAll(res::kOutputPathEdit); break;
  }
}

// The dialog has no OK button of its own; an OK command never ends it unchecked.
void ConditionDialog::OnOK() { Run(); }

void ConditionDialog::OnCancel() {
  ui::ShowMessage(this, kCancelled, kCaption, ui::kMbOk | ui::kMbIconInformation);
  EndDialog(kCancelResult);
}

bool ConditionDialog::PreTranslateKeyDown(const ui::KeyEvent& key) {
  if (key.AnyModifier()) return false;
  if (key.key == ui::Key::F12) {
    Run();
    return true;
  }
  if (key.key != ui::Key::Enter) return false;
  const ui::Control* focus = GetFocus();
  switch (focus ? focus->id() : 0) {
    case res::kStartMonthEdit:
      FocusAndSelectAll(res::kEndMonthEdit);
      return true;
    case res::kEndMonthEdit:
      if (Item(res::kBrowseButton).IsWindowEnabled()) {
        FocusAndSelectAll(res::kOutputPathEdit);
      } else {
        Item(res::kRunButton).SetFocus();
      }
      return true;
    case res::kOutputPathEdit:
      Item(Item(res::kBrowseButton).IsWindowEnabled() ? res::kBrowseButton : res::kRunButton).SetFocus();
      return true;
    case res::kBrowseButton:
      Browse();
      return true;
    case res::kRunButton:
      Run();
      return true;
    default:
      return false;
  }
}

bool ConditionDialog::StoreSettings(int32_t startMonth, int32_t endMonth, std::optional<std::string_view> outputPath,
                                    int32_t method) {
  SettingsEntry entry;
  entry.method = method;
  entry.startMonth = startMonth;
  entry.endMonth = endMonth;
  entry.outputPath = outputPath ? std::string(*outputPath) : savedOutputPath_;
  return Settings().Write(Key(), entry);
}

}  // namespace dialog
