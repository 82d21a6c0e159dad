// The connection, the managers and the product's messages.
#include <algorithm>
#include <cstring>

#include "host/LedgerCommon.h"
#include "host/LedgerFiles.h"
#include "host/LedgerLink.h"
#include "host/LedgerMsg.h"
#include "ledger/CheckVerdict.h"
#include "ledger/DataAccess.h"
#include "ledger/HostMessages.h"
#include "ledger/Installation.h"
#include "ledger/Text.h"
#include "platform/ShiftJis.h"
#include "platform/ui/Dialog.h"

namespace {

// A UTF-8 text for a Shift_JIS message; characters without a counterpart
// become "?".
std::string ToMessageText(const std::string& utf8) {
  if (auto whole = ledger::Utf8ToCp932(utf8)) return *whole;
  std::string out;
  for (unsigned char c : utf8) out += c < 0x80 ? static_cast<char>(c) : (c >= 0xC0 ? '?' : '\0');
  out.erase(std::remove(out.begin(), out.end(), '\0'), out.end());
  return out;
}

std::string MessageCaption() {
  const std::string& caption = ClAccConnect::Inst()->Caption();
  return caption.empty() ? ledger::HostCaption() : caption;
}

void ShowError(const std::string& text) {
  ledger::ShowHostMessage(ClAccConnect::Inst()->OwnerWindow(), text, MessageCaption(),
                          host::kMbOk | host::kMbIconExclamation);
}

// Replaces every placeholder that starts on a character boundary.
std::string ReplacePlaceholder(const std::string& text, std::string_view placeholder, const std::string& by) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    if (std::string_view(text).substr(i).starts_with(placeholder)) {
      out += by;
      i += placeholder.size();
      continue;
    }
    const size_t len = platform::sjis::CharLength(text, i);
    out.append(text, i, len);
    i += len;
  }
  return out;
}

}  // namespace

// ---- ClAccConnect ----

ClAccConnect* ClAccConnect::Inst() {
  static ClAccConnect connect;
  return &connect;
}

int32_t ClAccConnect::SetAppType(ClSysEnvMgr::_AppType appType) {
  if (appType != ClSysEnvMgr::kAppStandard && appType != ClSysEnvMgr::kAppPlus && appType != ClSysEnvMgr::kAppLotus) {
    return host::kBadArgument;
  }
  appType_ = appType;
  return host::kOk;
}

int32_t ClAccConnect::SetUseDataType(int32_t useDataType) {
  useDataType_ = useDataType;
  return host::kOk;
}

int32_t ClAccConnect::Initiate() {
  std::string error;
  if (!ledger::Session::Open(ledger::Installation::HomeFolder(), &error)) {
    ShowError("会計データを開けません。\n\n" + ToMessageText(error));
    return host::kNotConnected;
  }
  return host::kOk;
}

int32_t ClAccConnect::ExpSysLink() {
  ledger::UserSelection selection;
  const int32_t status = ledger::CurrentSelection(&selection);
  if (status == host::kNotConnected) {
    ShowError("会計データに接続されていません。");
    return status;
  }
  if (status == host::kNotFound) {
    const std::string& user = ledger::Session::Current()->settings().currentUser;
    ShowError(user.empty() ? std::string("利用者が設定されていません。")
                           : "利用者「" + ToMessageText(user) + "」は登録されていません。");
    return status;
  }
  if (status != host::kOk) {
    ShowError(ClMsgMgr::MessageFor(status));
    return status;
  }
  if (selection.dataNo == 0) {
    ShowError("データが選択されていません。\n\n会計製品でデータを選択してから起動してください。");
    return host::kNotFound;
  }
  std::string dataId;
  if (int32_t found = ledger::SelectedDataId(&dataId); found != host::kOk) {
    ShowError(found == host::kNotFound ? "選択されているデータ(データ番号 " + std::to_string(selection.dataNo) +
                                             ")が見つかりません。\n\n会計製品でデータを選択しなおしてください。"
                                       : ClMsgMgr::MessageFor(found));
    return found;
  }
  StDATAINFO info;
  if (int32_t read = ledger::ReadDataInfo(dataId, &info); read != host::kOk) {
    ShowError(ClMsgMgr::MessageFor(read));
    return read;
  }
  if (info.view().U8(StDATAINFO::kMaintenanceLock) != 0) {
    ShowError("選択されているデータはメンテナンス中のため使用できません。\n\nメンテナンスが終わってから起動してください。");
    return 1;
  }
  // A damaged or hand-edited database must stop the run here, before any
  // figure is read from it. The verdict the ledger remembered when it wrote
  // the books stands while no row of them has changed since; otherwise the
  // whole data set is checked now.
  std::string problem;
  if (int32_t sound = ledger::RecallOrCheckDataSet(dataId, &problem); sound != host::kOk) {
    ShowError("選択されているデータに誤りがあるため使用できません。\n\n" + ToMessageText(problem) +
              "\n\n会計製品でデータを確認してください。");
    return sound;
  }
  return host::kOk;
}

int32_t ClAccConnect::DispMsg(host::HostWnd owner, const char* text, const char* caption, uint32_t style) {
  if (text == nullptr) return host::kBadArgument;
  std::string product;
  if (ledger::Session* session = ledger::Session::Current()) product = ToMessageText(session->settings().returnProductName);
  if (product.empty()) product = "消費税申告製品";
  return ledger::ShowHostMessage(owner, ReplacePlaceholder(text, "ES_APRPACKAGENAME", product),
                                 caption != nullptr ? caption : MessageCaption(), style);
}

int32_t ClAccConnect::LogOut() { return host::kOk; }

int32_t ClAccConnect::Terminate() {
  ledger::Session::Close();
  return host::kOk;
}

int32_t ClAccConnect::Release() {
  ledger::Session::Close();
  ownerWindow_ = 0;
  return host::kOk;
}

// ---- ClMsgMgr ----

ClMsgMgr* ClMsgMgr::Inst() {
  static ClMsgMgr manager;
  return &manager;
}

int32_t ClMsgMgr::SetLastError(int32_t status, const char* sourceFile, int32_t line) {
  lastStatus_ = status;
  lastSourceFile_ = sourceFile != nullptr ? sourceFile : "";
  lastLine_ = line;
  return status;
}

int32_t ClMsgMgr::CheckFatalErrorWithMsg(int32_t status, int32_t, int32_t showMessage, host::HostWnd owner) {
  if (status == host::kOk || status == host::kEndOfWalk) return 0;
  if (showMessage != 0) {
    std::string text = MessageFor(status);
    text += "\n\n(エラー番号 " + std::to_string(status);
    if (status == lastStatus_ && !lastSourceFile_.empty()) {
      text += " " + lastSourceFile_ + ":" + std::to_string(lastLine_);
    }
    text += ")";
    ledger::ShowHostMessage(owner, text, MessageCaption(), host::kMbOk | host::kMbIconExclamation);
  }
  return 1;
}

std::string ClMsgMgr::MessageFor(int32_t status) {
  switch (status) {
    case host::kOk: return "正常に終了しました。";
    case host::kEndOfWalk: return "データの終わりに達しました。";
    case host::kRuleNotCreated: return "集計処理を準備できませんでした(メモリが不足しています)。";
    case host::kNotConnected: return "会計データに接続されていません。";
    case host::kNotBound: return "処理の対象データが設定されていません。";
    case host::kNotFound: return "指定されたデータが見つかりません。";
    case host::kBadArgument: return "処理の条件に誤りがあります。";
    case host::kStoreFailed: return "会計データを読み込めませんでした。データが壊れている可能性があります。";
    case host::kBadCursor: return "データの読み込み位置が不正です。";
    case host::kNotReady: return "データの読み込みが準備されていません。";
    case host::kNotBuilt: return "この機能は、この会計製品では提供されていません。";
    default: return "会計データの処理中にエラーが発生しました。";
  }
}

// ---- ClFileMgr ----

ClFileMgr* ClFileMgr::Inst() {
  static ClFileMgr manager;
  return &manager;
}

int32_t ClFileMgr::GetAppFolderPath(int32_t kind, char* out, size_t capacity) {
  if (out == nullptr || capacity == 0) return host::kBadArgument;
  out[0] = '\0';
  ledger::Session* session = ledger::Session::Current();
  if (session == nullptr) return host::kNotConnected;
  if (kind != 0 && kind != 1) return host::kBadArgument;
  const std::string& folder = kind == 0 ? session->settings().folder0 : session->settings().folder1;
  auto text = ledger::Utf8ToCp932(folder);
  if (!text) return host::kStoreFailed;
  if (text->size() >= capacity) return host::kBadArgument;
  std::memcpy(out, text->data(), text->size());
  out[text->size()] = '\0';
  return host::kOk;
}

// ---- ClToolTipMgr ----

int32_t ClToolTipMgr::Init(platform::ui::Dialog* dialog, const StTOOLTIPINFO* table, int32_t count) {
  if (dialog == nullptr || (table == nullptr && count > 0) || count < 0) return host::kBadArgument;
  for (int32_t i = 0; i < count; ++i) {
    if (table[i].text == nullptr || dialog->FindItem(table[i].controlId) == nullptr) return host::kBadArgument;
  }
  for (int32_t i = 0; i < count; ++i) dialog->FindItem(table[i].controlId)->SetToolTip(table[i].text);
  return host::kOk;
}

// ---- ClDataMgr, ClLinkMgr ----

ClDataMgr* ClDataMgr::Inst() {
  static ClDataMgr manager;
  return &manager;
}

ClSetMgr* ClDataMgr::GetSetMgr() { return &setMgr_; }

ClSetBase* ClDataMgr::GetSetObject(int32_t kind, int32_t flag) { return setMgr_.GetSetObject(kind, flag); }

ClSysUser* ClDataMgr::GetSysUserObject() { return &sysUser_; }

ClLinkMgr* ClLinkMgr::Inst() {
  static ClLinkMgr manager;
  return &manager;
}

ClOptLink* ClLinkMgr::GetOptLink() { return &optLink_; }
