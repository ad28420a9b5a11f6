#include "tollwren/app/updater_dialog_win.h"

#include <commctrl.h>

#include <vector>

#include "common/menu_builder_win.h"
#include "common/program_keys.h"
#include "common/script_charset.h"
#include "common/shell_win.h"
#include "common/text16.h"
#include "common/window_dpi_win.h"
#include "tollwren/app/about_box_win.h"
#include "tollwren/app/command_line.h"
#include "tollwren/app/language_menu_win.h"
#include "tollwren/app/resource_ids.h"
#include "common/language_file_win.h"
#include "tollwren/language/language_file_win.h"

namespace {

// Fixed in every copy as delivered.
volatile uint32_t gIntactMark = 1;
volatile uint8_t gDragByBody = 1;

constexpr char16_t kProgramTitle[] = u"Tollwren";
constexpr char16_t kDamagedFileMessage[] = u"Error: File is damaged. Please download or generate it again.";
constexpr char16_t kUpdaterAboutTitle[] = u"About Tollwren";
constexpr WPARAM kDamagedExitCode = 1;
constexpr DWORD kNewestKnownWindows = 7000;  // major x 1000 + minor
constexpr char kPublisherKeysEntry[] = "keys.pem";

DWORD WindowsVersion() {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&version)) return 0;
#pragma GCC diagnostic pop
  return version.dwMajorVersion * 1000 + version.dwMinorVersion;
}

}  // namespace

CUpdaterDialog::CUpdaterDialog() : flow_(pad_, language_) {}

HWND CUpdaterDialog::Create(HINSTANCE instance, const std::u16string& programPath, const std::u16string& padPath) {
  programPath_ = programPath;
  padPath_ = padPath;
  programFolder_ = padPath.substr(0, padPath.rfind(u'\\') + 1);
  return CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_UPDATER), nullptr, Procedure,
                            reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CUpdaterDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CUpdaterDialog*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    self->dialog_ = dialog;
    self->Initialize();
    return FALSE;
  }
  auto* self = reinterpret_cast<CUpdaterDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CUpdaterDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      skin_.Paint(dialog_, settings_, title_, footer_);
      return TRUE;
    case WM_ERASEBKGND:
      // The background image covers the whole client area.
      if (!skin_.HasBackground()) return FALSE;
      SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<INT_PTR>(
          skin_.ColorStatic(dialog_, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), settings_));
    case WM_DRAWITEM:
      return skin_.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    case WM_LBUTTONDOWN:
      if (gDragByBody) PostMessageW(dialog_, WM_SYSCOMMAND, 0xF012, 0);
      return TRUE;
    case WM_RBUTTONUP:
      ShowContextMenu();
      return TRUE;
    case kSkinTextsMessage:
      RenderSkinTexts();
      InvalidateRect(dialog_, nullptr, TRUE);
      return TRUE;
    case kTextRefreshMessage: {
      // A new status or news text may need more room than the last one.
      const bool handled = flow_.HandleDialogMessage(message, wParam, lParam);
      skin_.LayOut(dialog_, settings_.showCloseButton);
      return handled ? TRUE : FALSE;
    }
    case WM_DPICHANGED:
      // Moved to a monitor of another scale: the skin, its fonts and the
      // layout at the new DPI, in the rectangle the system suggests.
      if (!DpiOfChange(wParam)) return TRUE;
      skin_.SetDpi(DpiOfChange(wParam));
      skin_.CreateFonts(dialog_, settings_, charset_);
      MoveToSuggestedRect(dialog_, lParam);
      skin_.LayOut(dialog_, settings_.showCloseButton);
      RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id >= kFirstLanguageCommand && id < kFirstLanguageCommand + kLanguageCommandCount) {
        PickLanguage(static_cast<size_t>(id - kFirstLanguageCommand));
        return TRUE;
      }
      switch (id) {
        case IDC_LANGUAGE:
          ShowLanguageMenu(dialog_, archive_, programPath_.c_str(), settings_.languageList);
          return TRUE;
        case IDC_ABOUT_PRODUCT: ShowProductAbout(); return TRUE;
        case IDC_ABOUT_UPDATER: ShowUpdaterAbout(); return TRUE;
        case IDC_MINIMIZE: CloseWindow(dialog_); return TRUE;
        case IDC_VISIT_SITE: VisitProductSite(); return TRUE;
        case IDC_SKIP_VERSION: flow_.SkipOfferedVersion(); return TRUE;
        default: break;
      }
      return flow_.HandleDialogMessage(message, wParam, lParam) ? TRUE : FALSE;
    }
    default:
      return flow_.HandleDialogMessage(message, wParam, lParam) ? TRUE : FALSE;
  }
}

void CUpdaterDialog::Initialize() {
  SetWindowTextW(dialog_, AsWide(kProgramTitle));
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_UPDATER));
  SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  SendDlgItemMessageW(dialog_, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  flow_.dialog = dialog_;
  flow_.programFolder = programFolder_;
  flow_.padFilePath = padPath_;
  flow_.skipFilePath = programFolder_ + u"skip.txt";
  flow_.onLanguageReloaded = [dialog = dialog_] { PostMessageW(dialog, kSkinTextsMessage, 0, 0); };

  archive_.SetKey(kTollwrenArchiveKey, kProgramKeyLength);
  const CUpdaterCommandLine commandLine = ParseUpdaterCommandLine(AsText(GetCommandLineW()));
  // Which entries the copy has is read once, whole: whether it is signed
  // is decided here, and an entry it has but cannot read is damage.
  std::vector<uint8_t> record(kSettingsRecordSize, 0);
  const bool listed = directory_.Read(programPath_.c_str(), kTollwrenArchiveKey, kProgramKeyLength);
  const uint32_t got = listed ? archive_.ReadEntry(programPath_.c_str(), "stn", record.data(), kSettingsRecordSize) : 0;
  if (!settings_.Read(record.data(), got) || !LoadPublisherKeys()) {
    EndDamaged(commandLine.silent);
    return;
  }

  TakeOverDpiChanges(dialog_);
  skin_.SetDpi(WindowDpi(dialog_));
  skin_.LoadImages(archive_, programPath_.c_str());
  // "/SILENT" installs unasked only what a publisher signed; a copy that
  // trusts the network takes it as "/HIDE".
  flow_.silentMode = commandLine.silent && keys_.IsSigned();
  flow_.hiddenMode = commandLine.hidden || commandLine.silent;
  // The system's language when it is wanted and delivered, else the default.
  const std::u16string initial =
      ChooseInitialLanguage(settings_.useSystemLanguage, SystemLanguageName(), settings_.defaultLanguage);
  if (!LoadLanguage(initial) && initial != settings_.defaultLanguage) LoadLanguage(settings_.defaultLanguage);
  ApplyLanguage();
  skin_.LoadFlag(archive_, programPath_.c_str(), language_.Name());

  if (!pad_.ReadLocalFile(padPath_.c_str())) ShowStartupError(u"error_no_local_pad");
  language_.Refill(pad_, padPath_);
  SetWindowTextW(dialog_, AsWide((pad_.programName + u" - " + kProgramTitle).c_str()));
  RenderSkinTexts();

  ShowLine(IDC_NEWS_LINE, settings_.news.show);
  ShowLine(IDC_STATUS_LINE, settings_.status.show);
  ShowLine(IDC_LANGUAGE, settings_.showLanguageButton);
  ShowLine(kCloseButtonId, settings_.showCloseButton);
  if (settings_.alwaysOnTop) SetWindowPos(dialog_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  flow_.notifyWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(commandLine.notifyWindow));
  flow_.Notify(kCodeStarted, reinterpret_cast<LPARAM>(dialog_));

  if (WindowsVersion() > kNewestKnownWindows) flow_.ShowStatus(u"error_win_version");
  if (gIntactMark == 0) ShowStartupError(u"error_damaged_file");

  skin_.LayOut(dialog_, settings_.showCloseButton);
  if (!flow_.hiddenMode) ShowWindow(dialog_, SW_SHOW);
  if (startAutomatically_) PostMessageW(dialog_, WM_COMMAND, kStartCommand, 0);
}

bool CUpdaterDialog::LoadPublisherKeys() {
  // A copy whose archive holds "keys.pem" checks every update against it.
  if (!directory_.Has(kPublisherKeysEntry)) return true;
  flow_.keys = &keys_;
  const uint32_t size = archive_.GetEntrySize(programPath_.c_str(), kPublisherKeysEntry);
  std::vector<uint8_t> pem(size);
  if (size == 0 || archive_.ReadEntry(programPath_.c_str(), kPublisherKeysEntry, pem.data(), size) != size) {
    return false;
  }
  // A key file too large to be one leaves the copy signed without a key.
  keys_.Load(pem.data(), size > kKeyFileByteLimit ? 0 : size);
  return true;
}

void CUpdaterDialog::EndDamaged(bool silent) {
  // An unattended run shows no window at all; its exit status says it.
  if (!silent) MessageBoxW(nullptr, AsWide(kDamagedFileMessage), AsWide(kProgramTitle), MB_OK);
  startAutomatically_ = false;
  PostQuitMessage(static_cast<int>(kDamagedExitCode));
}

void CUpdaterDialog::ShowStartupError(const char16_t* key) {
  flow_.ShowStatus(key);
  flow_.EndFailed();
  PostMessageW(dialog_, WM_COMMAND, kCancelCommand, 0);
  startAutomatically_ = false;
}

bool CUpdaterDialog::LoadLanguage(const std::u16string& name) {
  return flow_.ReadPad([&](const CPadDocument& pad) {
    return language_.Load(archive_, programPath_.c_str(), name, pad, padPath_);
  });
}

void CUpdaterDialog::ApplyLanguage() {
  ApplyReadingOrder(dialog_, language_.RightToLeft());
  // Screen readers name the two image buttons by their texts, which their
  // drawing does not show.
  SetDlgItemTextW(dialog_, IDC_LANGUAGE, AsWide(MenuText(u"language_button", u"Language").c_str()));
  SetDlgItemTextW(dialog_, kCloseButtonId, AsWide(MenuText(u"close_button", u"Close").c_str()));
  CDownloadFigures none;
  std::u16string sample;
  for (const char16_t* key : {u"checking_website", u"web_version_newer", u"yes", u"no"}) {
    sample += language_.Render(key, none);
  }
  charset_ = CharsetForText(sample);
  skin_.CreateFonts(dialog_, settings_, charset_);
}

void CUpdaterDialog::RenderSkinTexts() {
  title_ = settings_.title.show ? flow_.Render(u"title") : std::u16string();
  footer_ = settings_.footer.show ? flow_.Render(u"footer") : std::u16string();
}

void CUpdaterDialog::ShowLine(int id, bool show) {
  HWND control = GetDlgItem(dialog_, id);
  if (control) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

void CUpdaterDialog::PickLanguage(size_t index) {
  std::u16string picked;
  flow_.ReadPad([&](const CPadDocument& pad) {
    return language_.Pick(archive_, programPath_.c_str(), settings_.languageList, index, pad, padPath_, picked);
  });
  ApplyLanguage();
  skin_.LoadFlag(archive_, programPath_.c_str(), picked);
  skin_.LayOut(dialog_, settings_.showCloseButton);
  flow_.RenderAgain();
  RenderSkinTexts();
  // The children too: the language button shows the new flag.
  RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::u16string CUpdaterDialog::MenuText(const char16_t* key, const char16_t* fallback) const {
  std::u16string value;
  if (!language_.LookUp(key, value) || value.empty()) value = fallback;
  return value;
}

void CUpdaterDialog::ShowContextMenu() {
  const bool hasSite = flow_.ReadPad([](const CPadDocument& pad) { return !pad.companyWebSite.empty(); });
  CMenuBuilder menu;
  if (!menu.EnsurePopupMenu()) return;
  menu.AppendItem(IDC_ABOUT_PRODUCT, MenuText(u"about", u"&About").c_str());
  if (hasSite) menu.AppendItem(IDC_VISIT_SITE, MenuText(u"visit_product_site", u"&Visit Web Site").c_str());
  menu.AppendSeparator();
  menu.AppendItem(IDC_ABOUT_UPDATER, u"About &Tollwren");
  menu.AppendSeparator();
  menu.AppendItem(kCancelCommand, MenuText(u"abort_update", u"&Stop Update").c_str());
  menu.AppendItem(IDC_MINIMIZE, MenuText(u"minimize", u"&Minimize").c_str());
  if (flow_.OffersNewerVersion()) {
    menu.AppendSeparator();
    menu.AppendItem(IDC_SKIP_VERSION, MenuText(u"skip_version", u"S&kip This Version").c_str());
  }
  TrackMenuAtCursor(dialog_, menu.Menu());
}

void CUpdaterDialog::ShowProductAbout() {
  std::u16string title;
  if (!language_.LookUp(u"about", title)) title = u" About";
  ShowAboutBox(dialog_, WithoutMnemonic(title), flow_.Render(u"about_details"));
}

void CUpdaterDialog::ShowUpdaterAbout() {
  const std::u16string product = flow_.ReadPad([](const CPadDocument& pad) {
    std::u16string line = pad.programName;
    if (!pad.companyName.empty()) line += (line.empty() ? u"" : u" ") + (u"by " + pad.companyName);
    return line;
  });
  std::u16string body = u"Tollwren " TOLLWREN_VERSION_TEXT_U u"\r\nThe software updater by Quorvane\r\n\r\n";
  if (!product.empty()) body += u"Distributed with " + product + u".\r\n";
  body += u"It may be distributed freely with the software it keeps up to date.";
  ShowAboutBox(dialog_, kUpdaterAboutTitle, body);
}

void CUpdaterDialog::VisitProductSite() {
  const std::u16string site = flow_.ReadPad([](const CPadDocument& pad) { return pad.companyWebSite; });
  OpenWebPage(site.c_str(), dialog_);
}
