// Pages without a screen: each page gets its window, the script's actions
// run on them as an operator's input, then every page is applied in order.
#include "ui/kit.h"

namespace ui {
namespace {

const char* const kNotApplied = "The parameters could not be applied.";

// The OK button: every page in order, the first that refuses stops it.
bool ApplyPages(const std::vector<TrelmTabDialog*>& pages, const std::vector<PageWindow*>& windows) {
  // The focused control loses the focus when the dialog is applied.
  for (PageWindow* window : windows) window->SetFocus(0);
  for (TrelmTabDialog* page : pages)
    if (!page->OnApply()) return false;
  return true;
}

}  // namespace

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
  bool closed = false, lastApplyFailed = false;
  size_t current = 0;
  for (const std::string& action : script.actions) {
    if (closed) {
      script.error = "the dialog is closed; '" + action + "' comes after a successful apply";
      break;
    }
    if (action == "apply") {
      // A refused apply leaves the dialog open for the actions that follow.
      lastApplyFailed = !ApplyPages(shown, windows);
      closed = !lastApplyFailed;
      continue;
    }
    lastApplyFailed = false;
    if (RunAction(action, windows, current, script)) break;
  }
  const char* result = nullptr;
  if (!script.error.empty()) {
    result = "The dialog was cancelled.";
  } else if (lastApplyFailed) {
    // The operator gives up after the refusal.
    result = kNotApplied;
  } else if (!closed && !ApplyPages(shown, windows)) {
    result = kNotApplied;
  }
  for (TrelmTabDialog* page : shown) page->AttachWindow(nullptr);
  return result;
}

}  // namespace ui
