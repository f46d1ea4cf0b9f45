// The Win32 back end of one page: the kit's controls mirrored into the
// real controls of the page's dialog, and the page's notifications turned
// into the kit's events.
#pragma once

// windows.h first: the common controls' header needs its types.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <map>
#include <string>

#include "ui/kit.h"

namespace ui {

class Win32Backend : public Backend {
 public:
  explicit Win32Backend(PageWindow& window) : m_window(window) {}
  ~Win32Backend() override;

  // The page's dialog procedure; its creation parameter is the back end.
  static INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Why the page's dialog does not fit its template; empty when it does.
  const std::string& Error() const { return m_strError; }
  void OnTitleChanged(std::function<void(const std::string&)> callback) { m_onTitle = std::move(callback); }
  // Reads every control back, for the kit to keep once the dialog is gone.
  void PullAll();
  HWND HandleOf(const Control& control) const;

  void Pull(Control& control) override;
  void Push(const Control& control) override;
  void Focus(const Control& control) override;
  int TrackPopupMenu(const MenuItem& menu, const Control& anchor) override;
  void SetTitle(const std::string& title) override;

 private:
  void Attach(HWND page);
  INT_PTR OnCommand(int id, int code);
  bool OnNotify(const NMHDR& header, LRESULT& result);
  void OnGridEdited();
  void BrowseEdit(Control& edit);
  void BrowseCell(Control& grid, int row);
  void PushEdit(HWND hwnd, const Control& control);
  void PushCombo(HWND hwnd, const Control& control);
  void PushGrid(HWND hwnd, const Control& control);
  void PushImage(HWND hwnd, const Control& control);

  PageWindow& m_window;
  HWND m_hPage = nullptr;
  std::map<const Control*, HWND> m_handles;
  std::map<int, HWND> m_browseButtons;  // file edit id -> its browse button
  std::map<int, HBITMAP> m_images;
  std::function<void(const std::string&)> m_onTitle;
  // Set while the kit writes to the screen or reads from it: the
  // notifications that this causes are the kit's own, not the operator's.
  int m_nBusy = 0;
  // A grid cell edited in place, taken over once the list view is done with it.
  int m_nEditedRow = -1;
  std::string m_strEditedText;
  std::string m_strError;
};

}  // namespace ui
