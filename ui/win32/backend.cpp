// The Win32 back end of one page (see backend.h).
#include "backend.h"

#include <commdlg.h>

#include <vector>

#include "mboundary.h"
#include "norvia/services.h"
#include "ui/screen.h"

namespace ui {
namespace {

// Posted to the page when an in-place edit of a grid cell has ended.
constexpr UINT kGridEdited = WM_APP + 1;

struct Busy {
  explicit Busy(int& count) : count(count) { ++count; }
  ~Busy() { --count; }
  int& count;
};

std::string WindowText(HWND hwnd) {
  int length = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), length + 1)));
  return text;
}

void SetTextIfChanged(HWND hwnd, const std::string& text) {
  if (WindowText(hwnd) != text) SetWindowTextA(hwnd, text.c_str());
}

void ShowIfChanged(HWND hwnd, bool show) {
  const bool shown = (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
  if (shown != show) ShowWindow(hwnd, show ? SW_SHOWNA : SW_HIDE);
}

// Menus take "&" as the mark of a mnemonic; a separator "&" must show as itself.
std::string MenuText(const std::string& label) {
  std::string text;
  for (char c : label) {
    if (c == '&') text += '&';
    text += c;
  }
  return text;
}

HMENU BuildMenu(const MenuItem& menu) {
  HMENU handle = CreatePopupMenu();
  for (const MenuItem& item : menu.items) {
    std::string text = MenuText(item.label);
    if (item.command)
      AppendMenuA(handle, MF_STRING, static_cast<UINT_PTR>(item.command), text.c_str());
    else
      AppendMenuA(handle, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildMenu(item)), text.c_str());
  }
  return handle;
}

std::string ListItemText(HWND list, int row) {
  std::vector<char> buffer(4096);
  LVITEMA item{};
  item.iSubItem = 0;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer.data();
}

// Asks for a file as the settings describe: an open dialog when the
// framework's open argument is set, a save dialog for files to be written.
bool AskForFile(HWND owner, const FileSettings& settings, std::string& path) {
  std::string filter = settings.filter;
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter += '\0';
  // A start directory may end in the pattern to show ("dir/*.fea;*.lst").
  std::string directory = settings.startDirectory, pattern;
  size_t slash = directory.find_last_of("/\\");
  std::string last = slash == std::string::npos ? directory : directory.substr(slash + 1);
  if (last.find('*') != std::string::npos) {
    pattern = last;
    directory = slash == std::string::npos ? std::string() : directory.substr(0, slash);
  }
  if (directory.empty()) directory = Orvouser_GetAbsolutPath(settings.pathKind, "", "");
  for (char& c : directory)
    if (c == '/') c = '\\';
  std::vector<char> file(32768, '\0');
  pattern.copy(file.data(), file.size() - 1);

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = directory.c_str();
  dialog.lpstrDefExt = settings.extension.empty() ? nullptr : settings.extension.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  const bool open = settings.openArg != 0;
  if (open) dialog.Flags |= OFN_FILEMUSTEXIST;
  if (!(open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog))) return false;
  path = file.data();
  Orvouser_Path2Relative(path, settings.pathKind);
  return true;
}

// The kit's handlers run page code; nothing of it may unwind through the
// window system, so they run guarded and a failure goes to the error log.
constexpr const char* kFile = "ui\\win32\\backend";

}  // namespace

Win32Backend::~Win32Backend() {
  if (m_hPage && IsWindow(m_hPage)) SetWindowLongPtrA(m_hPage, GWLP_USERDATA, 0);
  for (auto& [id, bitmap] : m_images) DeleteObject(bitmap);
}

INT_PTR CALLBACK Win32Backend::PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Win32Backend*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->Attach(hwnd);
    return FALSE;
  }
  if (!self) return FALSE;
  switch (message) {
    case WM_COMMAND:
      return self->OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (!self->OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return FALSE;
      SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case kGridEdited:
      self->OnGridEdited();
      return TRUE;
    default:
      return FALSE;
  }
}

void Win32Backend::Attach(HWND page) {
  m_hPage = page;
  // The dialog manager makes the controls in template order, which is the kit's order.
  HWND child = GetWindow(page, GW_CHILD);
  for (const auto& control : m_window.Controls()) {
    if (!child) {
      m_strError = "the dialog has fewer controls than template " + std::to_string(m_window.GetTemplate().id);
      return;
    }
    if (static_cast<WORD>(GetDlgCtrlID(child)) != static_cast<WORD>(control->Id())) {
      m_strError = "control " + std::to_string(control->Id()) + " of template " +
                   std::to_string(m_window.GetTemplate().id) + " is " + std::to_string(GetDlgCtrlID(child)) +
                   " in the dialog";
      return;
    }
    m_handles[control.get()] = child;
    child = GetWindow(child, GW_HWNDNEXT);
  }

  const auto font = SendMessageA(page, WM_GETFONT, 0, 0);
  for (const auto& control : m_window.Controls()) {
    HWND hwnd = m_handles[control.get()];
    if (control->GetKind() == Kind::FileEdit) {
      // A file edit gives the right end of its place to a browse button.
      RECT r;
      GetWindowRect(hwnd, &r);
      MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
      const int side = r.bottom - r.top;
      MoveWindow(hwnd, r.left, r.top, r.right - r.left - side - 1, side, FALSE);
      HWND button = CreateWindowExA(0, "BUTTON", "...", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                    r.right - side, r.top, side, side, page,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(control->Id() + kBrowseButtonOffset)),
                                    ResourceModule(), nullptr);
      SendMessageA(button, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
      SetWindowPos(button, hwnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      m_browseButtons[control->Id()] = button;
    } else if (control->GetKind() == Kind::Grid) {
      SendMessageA(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
      LVCOLUMNA column{};
      column.mask = LVCF_WIDTH;
      column.cx = 100;
      SendMessageA(hwnd, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    }
  }
  for (const auto& control : m_window.Controls()) Push(*control);
}

HWND Win32Backend::HandleOf(const Control& control) const {
  auto found = m_handles.find(&control);
  return found == m_handles.end() ? nullptr : found->second;
}

void Win32Backend::Pull(Control& control) {
  if (m_nBusy) return;
  HWND hwnd = HandleOf(control);
  if (!hwnd) return;
  Busy busy(m_nBusy);
  switch (control.GetKind()) {
    case Kind::Edit:
    case Kind::FileEdit: {
      DWORD start = 0, end = 0;
      SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      control.Store(WindowText(hwnd), static_cast<int>(start), static_cast<int>(end), -1);
      break;
    }
    case Kind::Combo:
      control.Store(std::string(), 0, 0, static_cast<int>(SendMessageA(hwnd, CB_GETCURSEL, 0, 0)));
      break;
    default:
      // Grids change through the kit (in-place edits are handed over); the rest is read-only.
      break;
  }
}

void Win32Backend::PullAll() {
  for (const auto& control : m_window.Controls()) Pull(*control);
}

void Win32Backend::Push(const Control& control) {
  HWND hwnd = HandleOf(control);
  if (!hwnd) return;
  // The control's getters read the screen first; while pushing they must not.
  Busy busy(m_nBusy);
  switch (control.GetKind()) {
    case Kind::Edit:
    case Kind::FileEdit:
      PushEdit(hwnd, control);
      break;
    case Kind::Combo:
      PushCombo(hwnd, control);
      break;
    case Kind::Grid:
      PushGrid(hwnd, control);
      break;
    case Kind::ImageButton:
      PushImage(hwnd, control);
      break;
    case Kind::Static:
      SetTextIfChanged(hwnd, control.GetText());
      break;
    case Kind::Frame:
    case Kind::Icon:
      break;
  }
  ShowIfChanged(hwnd, control.IsVisible());
}

void Win32Backend::PushEdit(HWND hwnd, const Control& control) {
  SetTextIfChanged(hwnd, control.GetText());
  int start = 0, end = 0;
  control.GetSel(start, end);
  SendMessageA(hwnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  SendMessageA(hwnd, EM_SCROLLCARET, 0, 0);
  auto button = m_browseButtons.find(control.Id());
  if (button != m_browseButtons.end()) ShowIfChanged(button->second, control.IsVisible());
}

void Win32Backend::PushCombo(HWND hwnd, const Control& control) {
  const auto& items = control.Items();
  bool same = SendMessageA(hwnd, CB_GETCOUNT, 0, 0) == static_cast<LRESULT>(items.size());
  for (size_t i = 0; same && i < items.size(); ++i) {
    std::vector<char> label(static_cast<size_t>(SendMessageA(hwnd, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
    SendMessageA(hwnd, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(label.data()));
    same = items[i].first == label.data();
  }
  if (!same) {
    SendMessageA(hwnd, CB_RESETCONTENT, 0, 0);
    for (const auto& [label, value] : items)
      SendMessageA(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
  }
  const int selection = control.GetCurSel();
  if (SendMessageA(hwnd, CB_GETCURSEL, 0, 0) != selection) SendMessageA(hwnd, CB_SETCURSEL, selection, 0);
}

void Win32Backend::PushGrid(HWND hwnd, const Control& control) {
  const auto& rows = control.Rows();
  int count = static_cast<int>(SendMessageA(hwnd, LVM_GETITEMCOUNT, 0, 0));
  while (count > static_cast<int>(rows.size())) SendMessageA(hwnd, LVM_DELETEITEM, --count, 0);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const std::string& text = rows[static_cast<size_t>(row)];
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(text.c_str());
    if (row >= count) {
      SendMessageA(hwnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    } else if (ListItemText(hwnd, row) != text) {
      SendMessageA(hwnd, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
  }
  // One path column over the whole width.
  SendMessageA(hwnd, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
}

void Win32Backend::PushImage(HWND hwnd, const Control& control) {
  const int id = control.GetImage();
  if (!id) return;
  HBITMAP& bitmap = m_images[id];
  if (!bitmap)
    // The image is drawn on the 3D face grey, which loading maps to the button's colour.
    bitmap = static_cast<HBITMAP>(
        LoadImageA(ResourceModule(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
  if (reinterpret_cast<HBITMAP>(SendMessageA(hwnd, BM_GETIMAGE, IMAGE_BITMAP, 0)) != bitmap)
    SendMessageA(hwnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

void Win32Backend::Focus(const Control& control) {
  HWND hwnd = HandleOf(control);
  if (hwnd && GetFocus() != hwnd) ::SetFocus(hwnd);
}

int Win32Backend::TrackPopupMenu(const MenuItem& menu, const Control& anchor) {
  HWND hwnd = HandleOf(anchor);
  RECT r{};
  if (hwnd) GetWindowRect(hwnd, &r);
  HMENU handle = BuildMenu(menu);
  // The menu opens below the button and answers with the chosen command.
  int command = static_cast<int>(::TrackPopupMenu(handle, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                                                  r.left, r.bottom, 0, m_hPage, nullptr));
  DestroyMenu(handle);
  return command;
}

void Win32Backend::SetTitle(const std::string& title) {
  if (m_hPage) SetWindowTextA(m_hPage, title.c_str());
  if (m_onTitle) m_onTitle(title);
}

INT_PTR Win32Backend::OnCommand(int id, int code) {
  if (m_nBusy) return FALSE;
  if (id > kBrowseButtonOffset && m_browseButtons.count(id - kBrowseButtonOffset)) {
    if (code == BN_CLICKED)
      if (Control* edit = m_window.Find(id - kBrowseButtonOffset))
        ryn::GuardedLogged(kFile, __LINE__, [&] { BrowseEdit(*edit); });
    return TRUE;
  }
  Control* control = m_window.Find(id);
  if (!control) return FALSE;
  // The kit fires a control's KillFocus when another takes the focus, so
  // the screen's losing only matters when the focus leaves the kit's controls.
  ryn::GuardedLogged(kFile, __LINE__, [&] {
    switch (control->GetKind()) {
      case Kind::Edit:
      case Kind::FileEdit:
        if (code == EN_SETFOCUS) m_window.SetFocus(id);
        if (code == EN_KILLFOCUS && m_window.GetFocus() == id) m_window.SetFocus(0);
        break;
      case Kind::Combo:
        if (code == CBN_SETFOCUS) m_window.SetFocus(id);
        if (code == CBN_KILLFOCUS && m_window.GetFocus() == id) m_window.SetFocus(0);
        if (code == CBN_SELCHANGE) m_window.Fire(id, Event::SelChange);
        break;
      case Kind::ImageButton:
        if (code == BN_CLICKED) {
          m_window.SetFocus(id);
          m_window.Fire(id, Event::Clicked);
        }
        break;
      default:
        break;
    }
  });
  return TRUE;
}

bool Win32Backend::OnNotify(const NMHDR& header, LRESULT& result) {
  if (m_nBusy) return false;
  Control* grid = m_window.Find(static_cast<int>(header.idFrom));
  if (!grid || grid->GetKind() != Kind::Grid) return false;
  switch (header.code) {
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW: {
      const auto& item = reinterpret_cast<const NMLVDISPINFOA&>(header).item;
      if (!item.pszText) return result = FALSE, true;  // cancelled
      m_nEditedRow = item.iItem;
      if (header.code == LVN_ENDLABELEDITW) {
        const auto* wide = reinterpret_cast<const wchar_t*>(item.pszText);
        int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        m_strEditedText.assign(static_cast<size_t>(size > 0 ? size : 1), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide, -1, m_strEditedText.data(), size, nullptr, nullptr);
        m_strEditedText.resize(m_strEditedText.size() - 1);
      } else {
        m_strEditedText = item.pszText;
      }
      // The page rewrites the rows; the list view must not put the raw text back afterwards.
      PostMessageA(m_hPage, kGridEdited, 0, 0);
      result = FALSE;
      return true;
    }
    case NM_DBLCLK: {
      const int row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
      ryn::GuardedLogged(kFile, __LINE__, [&] { BrowseCell(*grid, row >= 0 ? row : grid->GetRowCount() - 1); });
      return result = 0, true;
    }
    case LVN_KEYDOWN:
      if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_F2) {
        HWND list = HandleOf(*grid);
        int row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        SendMessageA(list, LVM_EDITLABELA, static_cast<WPARAM>(row >= 0 ? row : grid->GetRowCount() - 1), 0);
      }
      return result = 0, true;
    default:
      return false;
  }
}

void Win32Backend::OnGridEdited() {
  if (m_nEditedRow < 0) return;
  const int row = m_nEditedRow;
  m_nEditedRow = -1;
  for (const auto& control : m_window.Controls()) {
    if (control->GetKind() != Kind::Grid) continue;
    ryn::GuardedLogged(kFile, __LINE__, [&] {
      control->SetCell(row, m_strEditedText);
      m_window.Fire(control->Id(), Event::EndEdit, row);
    });
  }
}

void Win32Backend::BrowseEdit(Control& edit) {
  std::string path;
  if (!AskForFile(m_hPage, edit.GetFileSettings(), path)) return;
  // A file edit holds a parameter text: the chosen file as a quoted literal.
  edit.SetText("\"" + path + "\"");
  edit.Focus();
}

void Win32Backend::BrowseCell(Control& grid, int row) {
  // The cells name files to read: always an open dialog.
  FileSettings settings = grid.GetFileSettings();
  settings.openArg = 1;
  std::string path;
  if (row < 0 || !AskForFile(m_hPage, settings, path)) return;
  grid.SetCell(row, path);
  m_window.Fire(grid.Id(), Event::EndEdit, row);
}

}  // namespace ui
