// The sheet that holds the pages on the screen (see ui/screen.h).
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <exception>

#include "backend.h"
#include "norvia/services.h"
#include "norvia/translate.h"
#include "ui/screen.h"

namespace ui {
namespace {

// The sheet on the screen, owner of the message boxes shown meanwhile.
HWND g_shownSheet = nullptr;
MessageBoxHandler g_previousHandler = nullptr;

int ShowMessageBox(const char* text, const char* caption, unsigned style) {
  return MessageBoxA(g_shownSheet, text, caption, style);
}

Win32Backend* BackendOf(const PageWindow& window) { return dynamic_cast<Win32Backend*>(window.GetBackend()); }

}  // namespace

HINSTANCE ResourceModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ResourceModule), &module);
  return module;
}

Sheet::Sheet(std::string title, const std::vector<TrelmTabDialog*>& pages) : m_strTitle(std::move(title)) {
  for (TrelmTabDialog* page : pages) m_pages.push_back(Page{page, nullptr, nullptr});
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
}

Sheet::~Sheet() {
  if (m_hwnd) DestroyWindow(m_hwnd);
  for (Page& page : m_pages)
    if (page.window) page.page->AttachWindow(nullptr);
}

INT_PTR Sheet::RunModal(HWND owner) {
  m_bModal = true;
  INT_PTR result = DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(kSheetTemplateId), owner, &Sheet::Proc,
                                   reinterpret_cast<LPARAM>(this));
  if (result == -1 && m_strError.empty()) {
    m_bNoScreen = true;
    m_strError = "no window could be made (error " + std::to_string(GetLastError()) + ")";
  }
  return result;
}

HWND Sheet::Open(HWND owner) {
  m_bModal = false;
  HWND hwnd = CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(kSheetTemplateId), owner, &Sheet::Proc,
                                 reinterpret_cast<LPARAM>(this));
  if (!hwnd || !IsWindow(hwnd)) {
    if (m_strError.empty()) {
      m_bNoScreen = true;
      m_strError = "no window could be made (error " + std::to_string(GetLastError()) + ")";
    }
    return nullptr;
  }
  ShowWindow(hwnd, SW_SHOW);
  return hwnd;
}

INT_PTR CALLBACK Sheet::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Sheet*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Sheet*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (!self->OnInit(hwnd)) self->Finish(-1);
    return TRUE;
  }
  if (!self) return FALSE;
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        if (self->Apply()) self->Finish(IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        self->Finish(IDCANCEL);
        return TRUE;
      }
      return FALSE;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (header.idFrom == kSheetTabId && header.code == TCN_SELCHANGE) {
        int index = static_cast<int>(SendMessageA(header.hwndFrom, TCM_GETCURSEL, 0, 0));
        if (index >= 0) self->Select(static_cast<size_t>(index));
        return TRUE;
      }
      return FALSE;
    }
    case WM_DESTROY:
      self->OnDestroy();
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      return FALSE;
    default:
      return FALSE;
  }
}

bool Sheet::OnInit(HWND hwnd) {
  m_hwnd = hwnd;
  // The first sheet on the screen owns the message boxes until it goes.
  if (!g_shownSheet) {
    g_shownSheet = hwnd;
    g_previousHandler = SetMessageBoxHandler(&ShowMessageBox);
  }
  SetWindowTextA(hwnd, m_strTitle.c_str());
  SetDlgItemTextA(hwnd, IDOK, Translate("OK", 0, nullptr, AfxGetAppName()).c_str());
  SetDlgItemTextA(hwnd, IDCANCEL, Translate("Abbrechen", 0, nullptr, AfxGetAppName()).c_str());
  for (size_t i = 0; i < m_pages.size(); ++i) {
    bool made = false;
    try {
      made = MakePage(i);
    } catch (const std::exception& e) {
      m_strError = e.what();
    } catch (const char* message) {
      m_strError = message;
    }
    if (!made) {
      std::fprintf(stderr, "ryn-ui: page %d could not be shown: %s\n", m_pages[i].page->GetTemplateId(),
                   m_strError.c_str());
      return false;
    }
  }
  Layout();
  Select(0);
  return true;
}

bool Sheet::MakePage(size_t index) {
  Page& page = m_pages[index];
  page.window = OpenPage(*page.page);
  if (!page.window) {
    m_strError = "no template " + std::to_string(page.page->GetTemplateId());
    return false;
  }
  auto backend = std::make_unique<Win32Backend>(*page.window);
  Win32Backend* raw = backend.get();
  page.hwnd = CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(page.page->GetTemplateId()), m_hwnd,
                                 &Win32Backend::PageProc, reinterpret_cast<LPARAM>(raw));
  if (!page.hwnd || !raw->Error().empty()) {
    m_strError = page.hwnd ? raw->Error() : "no dialog (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  raw->OnTitleChanged([this, index](const std::string& title) { SetTabText(index, title); });
  page.window->SetBackend(std::move(backend));
  // Pages come after the tab strip in the tab order, before OK and Cancel.
  HWND after = index ? m_pages[index - 1].hwnd : GetDlgItem(m_hwnd, kSheetTabId);
  SetWindowPos(page.hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  HWND tab = GetDlgItem(m_hwnd, kSheetTabId);
  std::string title = page.window->GetTitle();
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = title.data();
  SendMessageA(tab, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
  page.page->OnInitDialog();
  return true;
}

void Sheet::SetTabText(size_t index, const std::string& text) {
  std::string title = text;
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = title.data();
  SendMessageA(GetDlgItem(m_hwnd, kSheetTabId), TCM_SETITEMA, index, reinterpret_cast<LPARAM>(&item));
}

void Sheet::Layout() {
  // The tab's display area takes the biggest page; the buttons go below it.
  int width = 0, height = 0;
  for (const Page& page : m_pages) {
    RECT r;
    GetWindowRect(page.hwnd, &r);
    width = std::max<int>(width, r.right - r.left);
    height = std::max<int>(height, r.bottom - r.top);
  }
  RECT units{4, 4, 50, 14};  // margin, button width and height in dialog units
  MapDialogRect(m_hwnd, &units);
  const int margin = units.left, buttonWidth = units.right, buttonHeight = units.bottom;

  HWND tab = GetDlgItem(m_hwnd, kSheetTabId);
  RECT frame{0, 0, width, height};
  SendMessageA(tab, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&frame));
  const int tabWidth = frame.right - frame.left, tabHeight = frame.bottom - frame.top;
  MoveWindow(tab, margin, margin, tabWidth, tabHeight, FALSE);
  // Every page fills the tab's display area, so all of them show the same frame.
  RECT display;
  GetClientRect(tab, &display);
  SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  for (const Page& page : m_pages)
    SetWindowPos(page.hwnd, nullptr, margin + display.left, margin + display.top, display.right - display.left,
                 display.bottom - display.top, SWP_NOZORDER | SWP_NOACTIVATE);

  const int clientWidth = tabWidth + 2 * margin;
  const int buttonsTop = margin + tabHeight + margin;
  const int clientHeight = buttonsTop + buttonHeight + margin;
  MoveWindow(GetDlgItem(m_hwnd, IDCANCEL), clientWidth - margin - buttonWidth, buttonsTop, buttonWidth, buttonHeight,
             FALSE);
  MoveWindow(GetDlgItem(m_hwnd, IDOK), clientWidth - 2 * (margin + buttonWidth), buttonsTop, buttonWidth, buttonHeight,
             FALSE);

  RECT window{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&window, static_cast<DWORD>(GetWindowLongPtrA(m_hwnd, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(m_hwnd, GWL_EXSTYLE)));
  const int w = window.right - window.left, h = window.bottom - window.top;
  const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - w) / 2);
  const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
  SetWindowPos(m_hwnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Sheet::Select(size_t index) {
  if (index >= m_pages.size() || !m_hwnd) return;
  SendMessageA(GetDlgItem(m_hwnd, kSheetTabId), TCM_SETCURSEL, index, 0);
  for (size_t i = 0; i < m_pages.size(); ++i)
    if (m_pages[i].hwnd) ShowWindow(m_pages[i].hwnd, i == index ? SW_SHOW : SW_HIDE);
}

bool Sheet::Apply() {
  for (Page& page : m_pages)
    if (page.window) page.window->SetFocus(0);
  for (size_t i = 0; i < m_pages.size(); ++i) {
    Page& page = m_pages[i];
    if (page.page->OnApply()) continue;
    // The page has put the focus on the control concerned; bring it to the front.
    Select(i);
    if (Control* focused = page.window->Find(page.window->GetFocus()))
      if (Backend* backend = page.window->GetBackend()) backend->Focus(*focused);
    return false;
  }
  return true;
}

void Sheet::Finish(INT_PTR result) {
  if (m_bModal)
    EndDialog(m_hwnd, result);
  else
    DestroyWindow(m_hwnd);
}

void Sheet::OnDestroy() {
  // The kit keeps what the controls showed last; the screen is going.
  for (Page& page : m_pages) {
    if (!page.window) continue;
    if (Win32Backend* backend = BackendOf(*page.window)) backend->PullAll();
    page.window->SetBackend(nullptr);
  }
  if (g_shownSheet == m_hwnd) {
    SetMessageBoxHandler(g_previousHandler);
    g_shownSheet = nullptr;
  }
  m_hwnd = nullptr;
}

}  // namespace ui
