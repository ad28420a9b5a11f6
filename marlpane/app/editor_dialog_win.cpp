#include "marlpane/app/editor_dialog_win.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "common/bitmap_image.h"
#include "common/dpi_scale.h"
#include "common/icon_list_win.h"
#include "common/list_accessible_win.h"
#include "common/readable_menu_win.h"
#include "common/shell_win.h"
#include "common/text16.h"
#include "marlpane/app/about_box_win.h"
#include "marlpane/app/dialog_dpi_win.h"
#include "marlpane/app/editor_options.h"
#include "marlpane/app/editor_review_win.h"
#include "marlpane/app/editor_state.h"
#include "marlpane/app/dialog_layout.h"
#include "marlpane/app/list_place_win.h"
#include "marlpane/app/resource_ids.h"
#include "marlpane/app/settings_save_win.h"
#include "marlpane/app/startup_win.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/editors/editor_message_win.h"
#include "marlpane/editors/editor_texts.h"
#include "marlpane/list/typed_list_view.h"
#include "marlpane/rows/row_builder.h"
#include "marlpane/rows/row_saver.h"
#include "marlpane/rows/row_sources_win.h"

// The documents, the option list with its icons, the banner and the rows:
// one of each for the whole run.
CIniDocument gSettingsDocument;
CTypedListView gOptionList;
CIconList gTypeIcons;
CBitmapImage gBanner;
BuiltRows gRows;
CEditorReview gReview;
CSettingsFile gSettingsFile;

namespace {

constexpr char16_t kProgramTitle[] = u"Marlpane";
constexpr char kBannerEntry[] = "banner.bmp";
constexpr uint8_t kOptionListColourScheme = 24;  // own colours, first row and odd rows
// Posted to the dialog when it is activated: look whether another program
// changed the settings file meanwhile.
constexpr UINT kCheckFileMessage = WM_APP + 20;

// The type icon list in image order: the row types' image indexes point
// into it (see RowTypeIcon).
constexpr int kTypeIconOrder[] = {
    IDI_ROW_BLANK,     IDI_MARLPANE,       IDI_ROW_TEXT,      IDI_ROW_FOLDER,
    IDI_ROW_IMAGE_FILE, IDI_ROW_CHOICE,    IDI_ROW_COLOUR,    IDI_ROW_NUMBER,
    IDI_ROW_TOGGLE,    IDI_ROW_DATE,       IDI_ROW_PASSWORD,  IDI_ROW_TIME,
    IDI_ROW_MULTI_LINE, IDI_ROW_FILE,      IDI_ROW_DRIVE,     IDI_ROW_REMOVABLE_DRIVE,
    IDI_ROW_CD_DRIVE,  IDI_ROW_FONT,       IDI_ROW_WINDOW,
};

HBRUSH gInputBrush = nullptr;
HBRUSH gBackgroundBrush = nullptr;
// Whether the settings file was loaded: Save writes only a document that
// was read from a file, so that it never creates a file of its own.
bool gSettingsLoaded = false;

HINSTANCE Instance() { return static_cast<HINSTANCE>(gEditorState.instance); }

void MoveControl(HWND dialog, int id, const Box& box, UINT extraFlags = 0) {
  SetWindowPos(GetDlgItem(dialog, id), nullptr, box.x, box.y, box.width, box.height,
               SWP_NOACTIVATE | SWP_NOZORDER | extraFlags);
}

// Every way of closing ends here, in WM_ENDSESSION.
void Close(HWND dialog) { PostMessageW(dialog, WM_ENDSESSION, 1, 0); }

void LayOutControls(HWND dialog) {
  RECT client = {};
  GetClientRect(dialog, &client);
  const MainLayout layout = ComputeMainLayout(
      client.right - client.left, client.bottom - client.top, gEditorOptions.mainWindowSideMargin,
      ShownBannerWidth(gBanner), ShownBannerHeight(gBanner), MainDialogDpi(),
      TwoLinesHeight(GetDlgItem(dialog, IDC_TIP_LINE)));
  MoveControl(dialog, IDC_OPTION_LIST, layout.list);
  gOptionList.StretchLastColumnDefault();
  MoveControl(dialog, IDC_TIP_LINE, layout.tip);
  InvalidateRect(GetDlgItem(dialog, IDC_TIP_LINE), nullptr, TRUE);
  gReview.FollowLayout();
  MoveControl(dialog, IDC_SAVE, layout.save);
  MoveControl(dialog, IDC_CANCEL_BUTTON, layout.cancel);
  MoveControl(dialog, IDC_BANNER, layout.banner);
}

void ApplyPlacement(HWND dialog, const Box& box) {
  SetWindowPos(dialog, nullptr, box.x, box.y, box.width, box.height, SWP_NOZORDER);
}

// The window where the options put it, then, with auto-resize and no
// height of its own, as high as its rows need.
void PlaceMainWindow(HWND dialog) {
  RECT window = {};
  GetWindowRect(dialog, &window);
  RECT desktop = {};
  GetWindowRect(GetDesktopWindow(), &desktop);
  const int desktopWidth = desktop.right - desktop.left;
  const int desktopHeight = desktop.bottom - desktop.top;
  EditorOptions& options = gEditorOptions;
  // The options' figures are pixels at 96 DPI (negative ones stay negative).
  const int dpi = MainDialogDpi();
  const int x = ScaleForDpi(options.mainWindowX, dpi);
  const int y = ScaleForDpi(options.mainWindowY, dpi);
  RECT client = {};
  GetClientRect(dialog, &client);
  const int width = options.mainWindowWidth >= 0
                        ? ScaleForDpi(options.mainWindowWidth, dpi)
                        : WidthForBanner(window.right - window.left, client.right - client.left,
                                         ShownBannerWidth(gBanner), dpi);
  Box placed = PlaceWindow(
      Box{window.left, window.top, window.right - window.left, window.bottom - window.top}, x, y,
      width, ScaleForDpi(options.mainWindowHeight, dpi), desktopWidth, desktopHeight);
  ApplyPlacement(dialog, placed);
  if (options.mainWindowAutoResize && options.mainWindowHeight < 0) {
    options.mainWindowHeight =
        AutoResizedHeight(gOptionList.ItemCount(), desktop.bottom, placed.y, dpi);
    placed = PlaceWindow(placed, x, y, width, options.mainWindowHeight, desktopWidth,
                         desktopHeight);
    ApplyPlacement(dialog, placed);
  }
}

// The archive lacks a record or the banner: the editor cannot run.
BOOL FailDamaged(HWND dialog) {
  EditorMessageBox(nullptr, EditorTextOf(EditorText::DamagedFile), kProgramTitle, MB_OK);
  PostQuit(dialog, 0);
  // A host that saw code 300 learns that the window is gone as after any
  // other way of closing.
  PostNotification(kNotifyClosing);
  gEditorState.mainWindow = 0;
  return FALSE;
}

void SetWindowIcons(HWND dialog) {
  const auto load = [](int size) {
    return static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_MARLPANE), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR));
  };
  PostMessageW(dialog, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(load(GetSystemMetrics(SM_CXICON))));
  PostMessageW(dialog, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(load(GetSystemMetrics(SM_CXSMICON))));
}

// The texts of the dialog in the editor's language (the tip line's from the
// option MainTip when it is given).
void ShowOwnTexts(HWND dialog) {
  const EditorOptions& options = gEditorOptions;
  const std::u16string tip = options.mainTipGiven ? options.mainTip : EditorTextOf(EditorText::DefaultTip);
  SetDlgItemTextW(dialog, IDC_TIP_LINE, AsWide(tip.c_str()));
  SetDlgItemTextW(dialog, IDC_SAVE, AsWide(EditorTextOf(EditorText::Save).c_str()));
  SetDlgItemTextW(dialog, IDC_CANCEL_BUTTON, AsWide(EditorTextOf(EditorText::Cancel).c_str()));
  SetDlgItemTextW(dialog, IDC_OPTION_LIST, AsWide(EditorTextOf(EditorText::OptionList).c_str()));
}

void AddSystemMenuEntries(HWND dialog) {
  // For the whole run: owner-drawn items point to them.
  static const std::u16string kAbout = EditorTextOf(EditorText::About);
  static const std::u16string kVisitWebSite = EditorTextOf(EditorText::VisitWebSite);
  HMENU menu = GetSystemMenu(dialog, FALSE);
  InsertReadableItem(menu, 0, 0, IDC_ABOUT, &kAbout);
  InsertReadableItem(menu, 1, 0, IDC_WEB_SITE, &kVisitWebSite);
  InsertMenuW(menu, 2, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
}

// The row type icons at the size for the dialog's DPI.
void CreateTypeIcons() {
  gTypeIcons.CreateSquare(TypeIconSize(MainDialogDpi()));
  for (int id : kTypeIconOrder) gTypeIcons.AddIcon(Instance(), id);
}

void PrepareOptionList(HWND dialog) {
  const EditorOptions& options = gEditorOptions;
  CreateTypeIcons();

  gOptionList.Attach(GetDlgItem(dialog, IDC_OPTION_LIST));
  NameListRowsForScreenReaders(GetDlgItem(dialog, IDC_OPTION_LIST));
  gOptionList.SetCharacterWidth(
      static_cast<int16_t>(ScaleForDpi(CListView::kDefaultCharacterWidth, MainDialogDpi())));
  gOptionList.SetImageListsAndColours(gTypeIcons.Handle(), nullptr, options.listEvenBkColor,
                                      options.listEvenBkColor, options.listTextColor);
  gOptionList.SetOddRowColour(options.listOddBkColor);
  gOptionList.AddColumn(u" Option ", CListView::kAlignLeft);
  gOptionList.AddColumn(u" Value ", CListView::kAlignCentre);
  gOptionList.DeleteAllItems();
  gOptionList.SetEditingEnabled(true);
  gOptionList.SetDoubleClickMode(true);
  gOptionList.SetFixedColumn(true, 1);
  gOptionList.SetColourScheme(kOptionListColourScheme);
  gOptionList.ShowGridLines(options.listGridLines != 0);
  gOptionList.InfoTips(true);
}

// The window moved to a monitor of another DPI (WM_DPICHANGED).
void FollowDpiChange(HWND dialog, WPARAM wParam, LPARAM lParam) {
  const int oldDpi = MainDialogDpi();
  if (!OnDialogDpiChanged(dialog, IDC_BANNER, gBanner, wParam, lParam)) return;
  if (InterfaceFont()) gOptionList.EditorFonts().SetBaseFont(InterfaceFont());
  gOptionList.SetSmallImageList(nullptr);  // the list never holds a destroyed image list
  CreateTypeIcons();
  gOptionList.SetSmallImageList(gTypeIcons.Handle());
  gOptionList.SetColumnWidth(0, MulDiv(gOptionList.GetColumnWidth(0), MainDialogDpi(), oldDpi));
  LayOutControls(dialog);
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

BOOL InitMainDialog(HWND dialog) {
  EditorState& state = gEditorState;
  EditorOptions& options = gEditorOptions;
  state.mainWindow = reinterpret_cast<uintptr_t>(dialog);
  TakeDialogDpi(dialog);
  SetWindowIcons(dialog);
  SetWindowTextW(dialog, AsWide(kProgramTitle));
  PostNotification(kNotifyStarted, reinterpret_cast<LPARAM>(dialog));
  AddSystemMenuEntries(dialog);
  ShowOwnTexts(dialog);
  UseFontForTexts(dialog, AllEditorTexts());
  if (!ReadSettingsRecord(gEditorArchive, state.programPath)) return FailDamaged(dialog);

  gInputBrush = CreateSolidBrush(options.inputBkColor);
  gBackgroundBrush = CreateSolidBrush(options.backgroundColor);
  gRows = BuiltRows();
  PrepareOptionList(dialog);
  if (InterfaceFont()) gOptionList.EditorFonts().SetBaseFont(InterfaceFont());

  if (!LoadFromArchive(gBanner, gEditorArchive, state.programPath, kBannerEntry)) {
    return FailDamaged(dialog);
  }
  ShowBannerAtDpi(dialog, IDC_BANNER, gBanner, gEditorArchive, state.programPath);

  ChooseSettingsFile(state);
  gSettingsFile.BeforeLoad(state.settingsPath);
  CSystemRowSources sources;
  gSettingsLoaded = gOptionList.LoadRows(state.settingsPath, state.typeDescriptionPath,
                                         gSettingsDocument, sources, options, gRows);
  if (options.firstColumnWidth >= 0) {
    gOptionList.SetColumnWidth(0, ScaleForDpi(options.firstColumnWidth, MainDialogDpi()));
  } else if (gSettingsLoaded) {
    gOptionList.SetColumnWidth(0, gRows.labelWidth);
  }
  gReview.Start(dialog, gOptionList, gRows);

  PlaceMainWindow(dialog);
  LayOutControls(dialog);
  return TRUE;
}

// Writes the values of the rows changed in this session into the settings
// file; every other line keeps its bytes, and so does every change another
// program made to the file meanwhile.
SaveResult SaveSettings(HWND dialog) {
  if (!gSettingsLoaded) return SaveResult::Failed;
  return gSettingsFile.Save(dialog, gEditorState.settingsPath, gSettingsDocument, gRows,
                            gOptionList.Cells(), gReview.ChangedRows());
}

// With no changed row, a settings file that another program changed is
// shown again; the selected option and the scroll position stay.
void ReloadChangedFile(HWND dialog) {
  const char16_t* path = gEditorState.settingsPath;
  if (gReview.AnyChanged() || gOptionList.IsEditing() || !IsWindowEnabled(dialog) ||
      !gSettingsFile.ChangedOnDisk(path)) {
    return;
  }
  const ListPlace place = TakeListPlace(gOptionList, gRows);
  const int labelWidth = gOptionList.GetColumnWidth(0);
  gSettingsFile.BeforeLoad(path);
  CSystemRowSources sources;
  gSettingsLoaded = gOptionList.LoadRows(path, gEditorState.typeDescriptionPath, gSettingsDocument,
                                         sources, gEditorOptions, gRows);
  gOptionList.SetColumnWidth(0, labelWidth);
  gOptionList.StretchLastColumnDefault();
  gReview.Restart();
  RestoreListPlace(gOptionList, gRows, gSettingsDocument, place);
}

void ShowSaveError(HWND dialog) {
  EditorMessageBox(dialog, EditorTextOf(EditorText::SaveError, {{u"<File_Path>", gEditorState.settingsPath}}),
                   EditorTextOf(EditorText::SaveErrorTitle), MB_OK);
}

BOOL OnCommand(HWND dialog, WORD command) {
  switch (command) {
    case IDOK:
      if (!gOptionList.IsEditing()) gOptionList.BeginEditFirstColumn();
      return TRUE;
    case IDCANCEL:  // Escape, the close box, Alt+F4
      switch (gReview.AskBeforeClosing(gEditorState.settingsPath, kProgramTitle)) {
        case CloseAnswer::Save: return OnCommand(dialog, IDC_SAVE);
        case CloseAnswer::Stay: return TRUE;
        case CloseAnswer::Discard: break;
      }
      Close(dialog);
      return TRUE;
    case IDC_SAVE:
      switch (SaveSettings(dialog)) {
        case SaveResult::Saved:
          PostNotification(kNotifySaved);
          Close(dialog);
          break;
        case SaveResult::Failed:
          ShowSaveError(dialog);
          break;
        case SaveResult::Cancelled:
          break;
      }
      return TRUE;
    case IDC_CANCEL_BUTTON:
      PostNotification(kNotifyCancelled);
      Close(dialog);
      return TRUE;
    case IDC_ABOUT:
      ShowAboutBox(Instance(), dialog);
      return TRUE;
    case IDC_WEB_SITE:
      OpenWebPage(kProductWebPage);
      return TRUE;
    default:
      return FALSE;
  }
}

// The colours of the dialog's own controls: the brush is the answer.
INT_PTR OnControlColour(UINT message, HDC context) {
  const EditorOptions& options = gEditorOptions;
  switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORMSGBOX:
      SetBkMode(context, TRANSPARENT);
      SetTextColor(context, options.textColor);
      return reinterpret_cast<INT_PTR>(gBackgroundBrush);
    case WM_CTLCOLOREDIT:
      SetTextColor(context, options.inputTextColor);
      return reinterpret_cast<INT_PTR>(gInputBrush);
    default:  // WM_CTLCOLORLISTBOX, WM_CTLCOLORSCROLLBAR
      SetBkMode(context, TRANSPARENT);
      SetTextColor(context, options.inputTextColor);
      return reinterpret_cast<INT_PTR>(gInputBrush);
  }
}

}  // namespace

INT_PTR RunMainDialog(HINSTANCE instance) {
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr, MainDialogProcedure,
                         0);
}

INT_PTR CALLBACK MainDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT answer = 0;
  if (gOptionList.FilterMessage(dialog, message, wParam, lParam, &answer)) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, answer);
    return TRUE;
  }
  switch (message) {
    case WM_INITDIALOG:
      return InitMainDialog(dialog);
    case WM_SIZE:
      // Also sent while the dialog is created, before its controls exist.
      if (gEditorState.mainWindow) LayOutControls(dialog);
      return TRUE;
    case WM_DPICHANGED:
      FollowDpiChange(dialog, wParam, lParam);
      return TRUE;
    case WM_ACTIVATE:
      // Looked at once the activation is over, not in the middle of it.
      if (LOWORD(wParam) != WA_INACTIVE && gEditorState.mainWindow) {
        PostMessageW(dialog, kCheckFileMessage, 0, 0);
      }
      return FALSE;
    case kCheckFileMessage:
      ReloadChangedFile(dialog);
      return TRUE;
    case WM_COMMAND:
      if (gReview.OnCommand(wParam)) return TRUE;
      return OnCommand(dialog, LOWORD(wParam));
    case WM_SYSCOMMAND:
      if (wParam == IDC_ABOUT || wParam == IDC_WEB_SITE) {
        PostMessageW(dialog, WM_COMMAND, wParam, 0);
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      return FALSE;
    case WM_NOTIFY: {
      if (gReview.OnNotify(reinterpret_cast<const NMHDR*>(lParam))) {
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      int item = -1;
      if (gOptionList.IsItemChanged(reinterpret_cast<const NMHDR*>(lParam), &item, nullptr)) {
        gOptionList.ShowTip(item, GetDlgItem(dialog, IDC_TIP_LINE));
      }
      return FALSE;
    }
    case WM_MEASUREITEM:
      return MeasureReadableItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    case WM_DRAWITEM:
      return DrawReadableItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    case WM_MENUCHAR:
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, ReadableMenuChar(wParam, lParam));
      return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      return OnControlColour(message, reinterpret_cast<HDC>(wParam));
    case WM_ENDSESSION:
      if (wParam) {
        gReview.Stop();
        PostNotification(kNotifyClosing);
        gEditorState.mainWindow = 0;
        EndDialog(dialog, 0);
      }
      return TRUE;
    default:
      return FALSE;
  }
}
