// On Windows the framework's dialog is the sheet on the screen: modal, OK
// applies the pages. A dialog script (tests, the host emulator's actions)
// still drives the pages off screen, and so does a process without a
// screen (a service, wine without a display), where no window can be made.
#include <cstdio>

#include "ui/screen.h"

namespace ui {
namespace {

const char* RunPagesOnScreen(CTrelmGeneric& owner, const std::vector<TrelmTabDialog*>& pages, int mode) {
  if (!Trelm_PageScript().actions.empty()) return RunPagesOffScreen(owner, pages, mode);
  std::vector<TrelmTabDialog*> shown;
  for (TrelmTabDialog* page : pages)
    if (page && FindTemplate(page->GetTemplateId())) shown.push_back(page);
  bool noScreen = false;
  INT_PTR result = -1;
  {
    Sheet sheet(owner.GetTitle().empty() ? AfxGetAppName() : owner.GetTitle(), shown);
    result = sheet.RunModal(GetActiveWindow());
    noScreen = sheet.NoScreen();
    if (result == -1 && !noScreen) std::fprintf(stderr, "ryn-ui: %s\n", sheet.Error().c_str());
  }
  if (noScreen) return RunPagesOffScreen(owner, pages, mode);
  if (result == -1) return "The dialog could not be shown.";
  return result == IDOK ? nullptr : "The dialog was cancelled.";
}

}  // namespace

void InstallPageRunner(NorviaModuleState& state) { state.pageRunner = &GuardedPageRunner<&RunPagesOnScreen>; }

}  // namespace ui
