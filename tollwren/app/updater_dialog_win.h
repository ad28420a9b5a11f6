// The updater's main window: dialog 101, modeless, with its own message
// loop in the program entry. It reads the settings record, the skin, the
// language and the local pad.xml, answers the commands of its buttons and
// menus and runs the update flow from command 1.
#pragma once

#include <windows.h>

#include <string>

#include "common/archive.h"
#include "common/archive_directory.h"
#include "tollwren/app/skin_win.h"
#include "tollwren/app/updater_settings.h"
#include "tollwren/language/language_file.h"
#include "tollwren/pad/pad_document.h"
#include "tollwren/flow/update_flow.h"
#include "tollwren/trust/publisher_keys_win.h"

// To the dialog from the worker: render the title and footer again.
constexpr UINT kSkinTextsMessage = WM_USER + 14;

class CUpdaterDialog {
 public:
  CUpdaterDialog();
  virtual ~CUpdaterDialog() = default;
  CUpdaterDialog(const CUpdaterDialog&) = delete;
  CUpdaterDialog& operator=(const CUpdaterDialog&) = delete;

  // programPath: the updater's own executable (its archive); padPath: the
  // pad.xml beside it. Creates the hidden dialog; null on failure.
  HWND Create(HINSTANCE instance, const std::u16string& programPath, const std::u16string& padPath);
  HWND Window() const { return dialog_; }
  CUpdateFlow& Flow() { return flow_; }

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialize();
  bool LoadLanguage(const std::u16string& name);
  void ApplyLanguage();
  void RenderSkinTexts();
  void ShowStartupError(const char16_t* key);
  // False when the copy has "keys.pem" but it cannot be read.
  bool LoadPublisherKeys();
  // The archive is damaged: the box (not in an unattended run), then the end.
  void EndDamaged(bool silent);
  void PickLanguage(size_t index);
  void ShowContextMenu();
  void ShowProductAbout();
  void ShowUpdaterAbout();
  void VisitProductSite();
  std::u16string MenuText(const char16_t* key, const char16_t* fallback) const;
  void ShowLine(int id, bool show);

  HWND dialog_ = nullptr;
  std::u16string programPath_;
  std::u16string padPath_;
  std::u16string programFolder_;
  CKeyedArchive archive_;
  CArchiveDirectory directory_;
  CUpdaterSettings settings_;
  CPadDocument pad_;
  CLanguageFile language_;
  CPublisherKeys keys_;
  CUpdateFlow flow_;
  CSkin skin_;
  uint8_t charset_ = 0;
  bool startAutomatically_ = true;
  // Dialog thread only.
  std::u16string title_;
  std::u16string footer_;
};
