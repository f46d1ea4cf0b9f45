// The parameter pages on the Windows screen. Each page is a child dialog
// made from its resource template; a sheet holds them with a tab per page,
// OK and Cancel. A Win32 back end per page mirrors the kit's controls into
// the real ones and turns the operator's input into the kit's events.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/kit.h"

namespace ui {

// Frame template and tab control of the sheet (in the kit's resources).
constexpr int kSheetTemplateId = 90;
constexpr int kSheetTabId = 12320;
// The browse button that a file edit gets beside it has the edit's id plus this.
constexpr int kBrowseButtonOffset = 10000;

// The module whose resources hold the templates: the one this code is linked into.
HINSTANCE ResourceModule();

class Sheet {
 public:
  Sheet(std::string title, const std::vector<TrelmTabDialog*>& pages);
  ~Sheet();
  Sheet(const Sheet&) = delete;
  Sheet& operator=(const Sheet&) = delete;

  // Shows the sheet and returns when it closes: IDOK once every page applied,
  // IDCANCEL, or -1 when no window could be made (Error() tells why).
  INT_PTR RunModal(HWND owner);
  // Shows the sheet and returns at once; the caller's message loop serves
  // it. Null when no window could be made.
  HWND Open(HWND owner);
  // True once no window could be made because there is no screen at all;
  // false when the sheet stood and one of its pages could not be made.
  bool NoScreen() const { return m_bNoScreen; }
  const std::string& Error() const { return m_strError; }

  HWND Handle() const { return m_hwnd; }
  size_t PageCount() const { return m_pages.size(); }
  void Select(size_t index);
  HWND PageHandle(size_t index) const { return m_pages[index].hwnd; }
  PageWindow& Window(size_t index) const { return *m_pages[index].window; }
  // OK: leaves every control, applies the pages in order; on a failure the
  // failing page comes to the front and the sheet stays open.
  bool Apply();

 private:
  struct Page {
    TrelmTabDialog* page;
    std::unique_ptr<PageWindow> window;
    HWND hwnd = nullptr;
  };
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  bool OnInit(HWND hwnd);
  bool MakePage(size_t index);
  void Layout();
  void SetTabText(size_t index, const std::string& text);
  void Finish(INT_PTR result);
  void OnDestroy();

  std::string m_strTitle;
  std::vector<Page> m_pages;
  HWND m_hwnd = nullptr;
  bool m_bModal = false;
  bool m_bNoScreen = false;
  std::string m_strError;
};

}  // namespace ui
