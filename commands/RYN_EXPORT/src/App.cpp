#include "App.h"

#include "Export.h"
#include "ui/kit.h"

CRYN_EXPORTApp::CRYN_EXPORTApp() {
  // Without a title string of its own the library is named by its file.
  Norvia_InitModuleState(m_moduleState, &theExport);
  // Once, as the library loads. The runner is kept in the library's own
  // state, so nothing outside the library points into it once it unloads.
  ui::InstallPageRunner(m_moduleState);
  InitInstance();
}

int CRYN_EXPORTApp::InitInstance() {
  NorviaModuleStateGuard guard(&m_moduleState);
  InitGenTrelmDll();
  InitRynGenericDll();
  theExport.InitInstance();
  return 1;
}
