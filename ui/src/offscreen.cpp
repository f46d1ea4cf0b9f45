// Pages without a screen: each page gets its window, the script's actions
// run on them as an operator's input, then every page is applied in order.
#include "ui/kit.h"

namespace ui {

const char* RunPagesOffScreen(CTrelmGeneric&, const std::vector<TrelmTabDialog*>& pages, int) {
  TrelmPageScript& script = Trelm_PageScript();
  std::vector<std::unique_ptr<PageWindow>> owned;
  std::vector<PageWindow*> windows;
  std::vector<TrelmTabDialog*> shown;
  for (TrelmTabDialog* page : pages) {
    if (!page) continue;
    std::unique_ptr<PageWindow> window = OpenPage(*page);
    if (!window) continue;
    page->OnInitDialog();
    windows.push_back(window.get());
    shown.push_back(page);
    owned.push_back(std::move(window));
  }
  const char* result = nullptr;
  size_t current = 0;
  for (const std::string& action : script.actions) {
    std::string error = RunAction(action, windows, current, script.output);
    if (!error.empty()) {
      script.error = error;
      result = "The dialog was cancelled.";
      break;
    }
  }
  if (!result) {
    // The last focused control loses the focus when the dialog is applied.
    for (PageWindow* window : windows) window->SetFocus(0);
    for (TrelmTabDialog* page : shown)
      if (!page->OnApply()) {
        result = "The parameters could not be applied.";
        break;
      }
  }
  for (TrelmTabDialog* page : shown) page->AttachWindow(nullptr);
  return result;
}

}  // namespace ui
