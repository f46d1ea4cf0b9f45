#include "App.h"

#include "Export.h"

CRYN_EXPORTApp::CRYN_EXPORTApp() {
  // Without a title string of its own the library is named by its file.
  Norvia_InitModuleState(m_moduleState, &theExport);
  InitInstance();
}

int CRYN_EXPORTApp::InitInstance() {
  NorviaModuleStateGuard guard(&m_moduleState);
  InitGenTrelmDll();
  InitRynGenericDll();
  theExport.InitInstance();
  return 1;
}
