// Shows the command's parameter pages on the Windows screen, without waiting
// for the operator, so that scripts/screenshots.sh can photograph them.
//
//   page_shots ENV_DIR STOP_FILE [SECONDS]
//
// First it checks on a sheet of its own that the screen shows what the
// kit holds, and that choosing a mode in the real combo reaches the page;
// then it runs the command's modal dialog with a helper thread as the
// operator (a refused apply keeps it open, a pop-up entry replaces a
// separator, OK applies). Then it opens one sheet per page, each with that page in front, side by
// side, and prints "shot NAME X Y WIDTH HEIGHT" per sheet and "ready". It
// keeps them shown until STOP_FILE exists or SECONDS (default 90) passed.
// Exit: 0 shown and checked, 1 a check failed, 2 no window could be made.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "App.h"
#include "Export.h"
#include "Pages.h"
#include "Parameters.h"
#include "norvia/diag.h"
#include "norvia/env.h"
#include "norvia/services.h"
#include "ui/screen.h"

namespace {

int g_failures = 0;

void Fail(const std::string& what) {
  std::fprintf(stderr, "page_shots: check failed: %s\n", what.c_str());
  ++g_failures;
}

std::string WindowText(HWND hwnd) {
  char text[4096] = "";
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

bool Shown(HWND hwnd) { return (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

// Every control of every page as the kit holds it: shown or hidden, label
// texts, combo items, grid rows, button images. (Edit texts and combo
// selections are read from the screen, so they are checked by content below.)
void CheckMirror(const ui::Sheet& sheet) {
  for (size_t p = 0; p < sheet.PageCount(); ++p) {
    ui::PageWindow& window = sheet.Window(p);
    const std::string page = "page " + std::to_string(window.GetTemplate().id);
    for (const auto& control : window.Controls()) {
      if (control->Id() < 0) continue;
      HWND hwnd = GetDlgItem(sheet.PageHandle(p), control->Id());
      const std::string name = page + " control " + std::to_string(control->Id());
      if (!hwnd) {
        Fail(name + " has no window");
        continue;
      }
      if (Shown(hwnd) != control->IsVisible()) Fail(name + (control->IsVisible() ? " is hidden" : " is shown"));
      switch (control->GetKind()) {
        case ui::Kind::Static:
          if (WindowText(hwnd) != control->GetText())
            Fail(name + " shows \"" + WindowText(hwnd) + "\", not \"" + control->GetText() + "\"");
          break;
        case ui::Kind::Combo:
          if (SendMessageA(hwnd, CB_GETCOUNT, 0, 0) != control->GetItemCount()) Fail(name + " lists other items");
          break;
        case ui::Kind::Grid:
          if (SendMessageA(hwnd, LVM_GETITEMCOUNT, 0, 0) != control->GetRowCount()) Fail(name + " has other rows");
          break;
        case ui::Kind::ImageButton:
          if (!SendMessageA(hwnd, BM_GETIMAGE, IMAGE_BITMAP, 0)) Fail(name + " shows no image");
          break;
        default:
          break;
      }
    }
  }
}

std::string GridRow(HWND list, int row) {
  char text[1024] = "";
  LVITEMA item{};
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

// The entry of the export page's mode combo that selects `mode`, -1 for none.
int ModeIndex(const ui::Sheet& sheet, const std::string& mode) {
  ui::Control& combo = sheet.Window(0).Item(IDC_MODE);
  for (int i = 0; i < combo.GetItemCount(); ++i)
    if (combo.GetItemValue(i) == mode) return i;
  return -1;
}

void ChooseMode(HWND page, int index) {
  HWND combo = GetDlgItem(page, IDC_MODE);
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_MODE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// The parameters arrived in the real controls.
void CheckContents(const ui::Sheet& sheet) {
  auto expect = [](const std::string& what, const std::string& shown, const std::string& wanted) {
    if (shown != wanted) Fail(what + " shows \"" + shown + "\", not \"" + wanted + "\"");
  };
  HWND exportPage = sheet.PageHandle(0), recordPage = sheet.PageHandle(1), featuresPage = sheet.PageHandle(2);
  expect("the scheme edit", WindowText(GetDlgItem(exportPage, IDC_SCHEME)), ryn::SCHEME.GetString());
  expect("the mode combo", WindowText(GetDlgItem(exportPage, IDC_MODE)),
         sheet.Window(0).Item(IDC_MODE).GetItemLabel(ModeIndex(sheet, "RYN_CSV_APPEND")));
  expect("the title 1 edit", WindowText(GetDlgItem(recordPage, CEditRecordParameterGeneric::kFirstEditId)),
         "\"Housing\"");
  HWND grid = GetDlgItem(featuresPage, IDC_FEATURE_GRID);
  expect("grid row 0", GridRow(grid, 0), "housing\\bore_a.fea");
  expect("grid row 2", GridRow(grid, 2), "flange\\holes.lst");
  expect("the last grid row", GridRow(grid, 3), "");
}

// The operator picks a mode in the real combo: the page must hide and show
// its controls for that mode, on the screen.
void CheckModeChoice(const ui::Sheet& sheet, const char* mode, int shownId, int hiddenId) {
  HWND page = sheet.PageHandle(0);
  const int index = ModeIndex(sheet, mode);
  if (index < 0) return Fail(std::string("the mode combo has no ") + mode);
  ChooseMode(page, index);
  if (!Shown(GetDlgItem(page, shownId)))
    Fail(std::string(mode) + " leaves control " + std::to_string(shownId) + " hidden");
  if (Shown(GetDlgItem(page, hiddenId)))
    Fail(std::string(mode) + " leaves control " + std::to_string(hiddenId) + " shown");
  CheckMirror(sheet);
}

// The framework's dialog as the host shows it (modal), with a helper thread
// as the operator: it chooses the script export, clears the script, presses
// OK, answers the refusal, then chooses a CSV mode, picks "<HT>" from the
// value separators' pop-up, browses for the additional-data file, types a
// path into the feature grid's last row, types a scheme and presses OK again.
struct Operator {
  int scriptMode = -1, csvMode = -1;  // indexes in the mode combo
  bool sheetFound = false, refused = false, stayedOpen = false;
  int menuItems = -1;
  std::string ampersandItem, separatorText;
  int gridRows = -1;
  std::string editedRow, browsed;
};

HWND WaitFor(DWORD ms, HWND owner) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    // The sheet is an unowned dialog; a message box is a dialog that the sheet owns.
    for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w;
         w = FindWindowExA(nullptr, w, "#32770", nullptr))
      if (IsWindowVisible(w) && GetWindow(w, GW_OWNER) == owner && (owner || GetDlgItem(w, ui::kSheetTabId))) return w;
    Sleep(50);
  }
  return nullptr;
}

HWND WaitForMenu(DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu && IsWindowVisible(menu)) return menu;
    Sleep(50);
  }
  return nullptr;
}

// The page of the sheet that has the control.
HWND PageWith(HWND sheet, int id) {
  HWND page = FindWindowExA(sheet, nullptr, "#32770", nullptr);
  while (page && !GetDlgItem(page, id)) page = FindWindowExA(sheet, page, "#32770", nullptr);
  return page;
}

DWORD WINAPI Operate(void* parameter) {
  auto& op = *static_cast<Operator*>(parameter);
  HWND sheet = WaitFor(20000, nullptr);
  if (!sheet) return 0;
  op.sheetFound = true;
  HWND page = PageWith(sheet, IDC_MODE);
  ChooseMode(page, op.scriptMode);
  SetDlgItemTextA(page, IDC_SCRIPT_FILE, "");
  PostMessageA(sheet, WM_COMMAND, IDOK, 0);
  if (HWND box = WaitFor(10000, sheet)) {
    op.refused = true;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    Sleep(500);
  }
  op.stayedOpen = IsWindow(sheet) && IsWindowVisible(sheet);
  ChooseMode(page, op.csvMode);
  // The value separators' pop-up; its second entry, "<HT>", replaces the edit's text.
  SetDlgItemTextA(page, IDC_VALUE_SEPARATOR, ";");
  PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_BROWSE_VALUE_SEPARATOR, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_BROWSE_VALUE_SEPARATOR)));
  if (HWND menu = WaitForMenu(10000)) {
    auto handle = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
    op.menuItems = GetMenuItemCount(handle);
    char text[64] = "";
    GetMenuStringA(handle, 10, text, sizeof text, MF_BYPOSITION);
    op.ampersandItem = text;
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageA(menu, WM_KEYDOWN, key, 0);
    for (int i = 0; i < 100 && IsWindowVisible(menu); ++i) Sleep(50);
    Sleep(200);
    op.separatorText = WindowText(GetDlgItem(page, IDC_VALUE_SEPARATOR));
  }
  // The additional-data file's browse button: a save dialog; the file comes back as a quoted literal.
  PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_ADDITIONAL_DATA_FILE + ui::kBrowseButtonOffset, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_ADDITIONAL_DATA_FILE + ui::kBrowseButtonOffset)));
  if (HWND dialog = WaitFor(20000, sheet)) {
    SetDlgItemTextA(dialog, 0x47c, "extra.txt");  // the file name box
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(50);
    op.browsed = WindowText(GetDlgItem(page, IDC_ADDITIONAL_DATA_FILE));
  }
  // The feature page's grid: a path typed into the empty last row, in place.
  HWND tab = GetDlgItem(sheet, ui::kSheetTabId);
  SendMessageA(tab, TCM_SETCURSEL, 2, 0);
  NMHDR changed{tab, static_cast<UINT_PTR>(ui::kSheetTabId), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageA(sheet, WM_NOTIFY, ui::kSheetTabId, reinterpret_cast<LPARAM>(&changed));
  HWND features = PageWith(sheet, IDC_FEATURE_EDIT);  // 1007 is on the export page too
  HWND grid = features ? GetDlgItem(features, IDC_FEATURE_GRID) : nullptr;
  if (HWND edit = grid ? reinterpret_cast<HWND>(SendMessageA(grid, LVM_EDITLABELA, 3, 0)) : nullptr) {
    SetWindowTextA(edit, "  housing\\bore_c.fea ");
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    for (int i = 0; i < 100 && IsWindow(edit); ++i) Sleep(50);
    Sleep(300);
    op.gridRows = static_cast<int>(SendMessageA(grid, LVM_GETITEMCOUNT, 0, 0));
    op.editedRow = GridRow(grid, 3);
  }
  SetDlgItemTextA(page, IDC_SCHEME, "\"typed\\run.csv\"");
  PostMessageA(sheet, WM_COMMAND, IDOK, 0);
  Sleep(2000);
  if (IsWindow(sheet)) PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);  // never leave the dialog waiting
  return 0;
}

void CheckModalDialog(Operator& op) {
  norvia::ClearLogs();
  HANDLE thread = CreateThread(nullptr, 0, &Operate, &op, 0, nullptr);
  const char* result = theExport.ExecGUI(TRELM_EXEC_MODE_EDIT);
  WaitForSingleObject(thread, 30000);
  CloseHandle(thread);
  if (!op.sheetFound) return Fail("the dialog did not appear");
  if (!op.refused) Fail("applying the script export without a script showed no message box");
  if (norvia::MessageBoxLog().find("SCRIPT_FILE") == std::string::npos)
    Fail("the message box did not name SCRIPT_FILE: " + norvia::MessageBoxLog());
  if (!op.stayedOpen) Fail("the dialog closed although a page refused to apply");
  if (op.menuItems != 28) Fail("the value separators' pop-up has " + std::to_string(op.menuItems) + " entries, not 28");
  if (op.ampersandItem != "&&") Fail("the pop-up shows \"&\" as \"" + op.ampersandItem + "\"");
  if (op.separatorText != "<HT>") Fail("the pop-up's \"<HT>\" left the edit at \"" + op.separatorText + "\"");
  // The dialog starts in the export directory, so the file comes back relative to it.
  if (op.browsed != "\"extra.txt\"") Fail("browsing for the additional-data file gave \"" + op.browsed + "\"");
  // The edited row is trimmed, and a new empty row follows it.
  if (op.gridRows != 5) Fail("the grid has " + std::to_string(op.gridRows) + " rows after the edit, not 5");
  if (op.editedRow != "housing\\bore_c.fea") Fail("the edited grid row shows \"" + op.editedRow + "\"");
  if (ryn::FEATURES.GetSize() != 4 || ryn::FEATURES.GetAt(3) != "housing\\bore_c.fea")
    Fail("FEATURES is " + ryn::FEATURES.GetString());
  if (ryn::VALUE_SEPARATOR.GetString().find("<HT>") == std::string::npos)
    Fail("VALUE_SEPARATOR is " + ryn::VALUE_SEPARATOR.GetString());
  if (result) Fail(std::string("the dialog ended with \"") + result + "\"");
  if (ryn::SCHEME.GetString() != "\"typed\\run.csv\"") Fail("SCHEME is " + ryn::SCHEME.GetString());
  if (!ryn::MODE.IsValueAvailable() || ryn::MODE.GetValue() != 6) Fail("MODE is not RYN_CSV_REPLACE");
}

// The host shows the pages from the plug-in, so the templates must be
// linked into the plug-in itself, not only into programs like this one.
void CheckPluginResources() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string plugin = path;
  plugin = plugin.substr(0, plugin.find_last_of("\\/") + 1) + "RYN EXPORT.dll";
  HMODULE module = LoadLibraryExA(plugin.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return Fail("cannot read " + plugin);
  struct {
    int id;
    LPCSTR type;
  } wanted[] = {{ui::kSheetTemplateId, RT_DIALOG},
                {102, RT_DIALOG},
                {109, RT_DIALOG},
                {200, RT_DIALOG},
                {111, RT_BITMAP},
                {109, RT_GROUP_ICON}};
  for (const auto& resource : wanted)
    if (!FindResourceA(module, MAKEINTRESOURCEA(resource.id), resource.type))
      Fail("the plug-in has no resource " + std::to_string(resource.id));
  FreeLibrary(module);
}

struct PageSet {
  CExportEditDlg exportPage{&theExport};
  CEditRecordParameterDlg recordPage{&theExport, ryn::g_Args, nullptr};
  CFeaturesEditDlg featuresPage{&theExport};
  std::vector<TrelmTabDialog*> Pages() { return {&exportPage, &recordPage, &featuresPage}; }
};

void SetParameter(const char* name, const char* value) {
  if (const char* refused = theExport.SetParameterEx(name, value))
    std::fprintf(stderr, "page_shots: %s refused: %s\n", name, refused);
}

void SetDemoParameters() {
  // A CSV export shows most of the export page's controls.
  SetParameter("MODE", "RYN_CSV_APPEND");
  SetParameter("SCHEME", "\"reports\\<PROTOCOL_HEADER__PART_NAME>_<DATE>.csv\"");
  SetParameter("UNITTYPE", "MILLI");
  SetParameter("FEATUREPATH", "ON");
  SetParameter("CONSIDER_EXPORT_FLAG", "OFF");
  SetParameter("ADDITIONAL_DATA_FILE", "\"reports\\header.txt\"");
  SetParameter("TRANSPOSE_DATA", "OFF");
  SetParameter("VALUE_SEPARATOR", "\";\"");
  SetParameter("FEATURES", "\"housing\\bore_a.fea\", \"housing\\bore_b.fea\", \"flange\\holes.lst\"");
  SetParameter("TITLE_1", "\"Housing\"");
  SetParameter("TITLE_2", "\"Series 300\"");
  SetParameter("PART_NAME", "\"HSG-300-A\"");
  SetParameter("DRAWING_NO", "\"D-4711\"");
  SetParameter("OPERATOR", "\"mkeller\"");
  SetParameter("OPERATION", "\"OP 20 milling\"");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: page_shots ENV_DIR STOP_FILE [SECONDS]\n");
    return 2;
  }
  const std::string stopFile = argv[2];
  const DWORD seconds = argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 90;
  theApp.ModuleState()->appName = "RYN EXPORT";
  NorviaModuleStateGuard state(theApp.ModuleState());
  if (const char* error = norvia::Host_Open(argv[1])) {
    std::fprintf(stderr, "page_shots: %s\n", error);
    return 2;
  }
  SetDemoParameters();
  CheckPluginResources();

  Operator op;
  {
    PageSet pages;
    ui::Sheet sheet("RYN EXPORT", pages.Pages());
    if (!sheet.Open(nullptr)) {
      std::fprintf(stderr, "page_shots: %s\n", sheet.Error().c_str());
      return 2;
    }
    CheckMirror(sheet);
    CheckContents(sheet);
    CheckModeChoice(sheet, "RYN_SCRIPT_EXPORT", IDC_SCRIPT_FILE, IDC_VALUE_SEPARATOR);
    CheckModeChoice(sheet, "RYN_CSV_APPEND", IDC_VALUE_SEPARATOR, IDC_SCRIPT_FILE);
    op.scriptMode = ModeIndex(sheet, "RYN_SCRIPT_EXPORT");
    op.csvMode = ModeIndex(sheet, "RYN_CSV_REPLACE");
  }
  CheckModalDialog(op);
  SetDemoParameters();

  struct Shot {
    const char* name;
    std::unique_ptr<PageSet> pages;
    std::unique_ptr<ui::Sheet> sheet;
  };
  std::vector<Shot> shots;
  for (const char* name : {"export-page", "record-page", "features-page"}) {
    Shot shot{name, std::make_unique<PageSet>(), nullptr};
    shot.sheet = std::make_unique<ui::Sheet>("RYN EXPORT", shot.pages->Pages());
    if (!shot.sheet->Open(nullptr)) {
      std::fprintf(stderr, "page_shots: %s\n", shot.sheet->Error().c_str());
      return 2;
    }
    shot.sheet->Select(shots.size());
    shots.push_back(std::move(shot));
  }
  // Side by side, in rows as the screen allows, so that no sheet covers another.
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  int x = 0, y = 0, rowHeight = 0;
  for (Shot& shot : shots) {
    RECT r;
    GetWindowRect(shot.sheet->Handle(), &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (x > 0 && x + width > screenWidth) {
      x = 0;
      y += rowHeight + 10;
      rowHeight = 0;
    }
    SetWindowPos(shot.sheet->Handle(), HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
    UpdateWindow(shot.sheet->Handle());
    std::printf("shot %s %d %d %d %d\n", shot.name, x, y, width, height);
    x += width + 10;
    rowHeight = std::max(rowHeight, height);
  }
  std::printf("ready\n");
  std::fflush(stdout);

  const DWORD end = GetTickCount() + seconds * 1000;
  SetTimer(nullptr, 0, 100, nullptr);
  MSG message;
  while (GetTickCount() < end && GetFileAttributesA(stopFile.c_str()) == INVALID_FILE_ATTRIBUTES &&
         GetMessageA(&message, nullptr, 0, 0) > 0) {
    bool dialog = false;
    for (Shot& shot : shots)
      dialog = dialog || (shot.sheet->Handle() && IsDialogMessageA(shot.sheet->Handle(), &message));
    if (!dialog) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return g_failures ? 1 : 0;
}
