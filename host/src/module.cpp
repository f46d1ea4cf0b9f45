// Module state: the current library of a call, its name and icon, and the
// framework's library initialisers.
#include "norvia/module.h"

#include "norvia/translate.h"
#include "platform/module.h"

namespace {
NorviaModuleState g_hostState;
NorviaModuleState* g_current = &g_hostState;
}  // namespace

NorviaModuleStateGuard::NorviaModuleStateGuard(NorviaModuleState* state) : m_pPrevious(g_current) {
  g_current = state ? state : &g_hostState;
}

NorviaModuleStateGuard::~NorviaModuleStateGuard() { g_current = m_pPrevious; }

NorviaModuleState* Norvia_CurrentModuleState() { return g_current; }
const char* AfxGetAppName() { return g_current->appName.c_str(); }

void Norvia_InitModuleState(NorviaModuleState& state, const void* address) {
  char path[MAX_PATH * 4] = {0};
  HMODULE module = Plat_ModuleOfAddress(address);
  state.resource = module;
  if (!module || GetModuleFileNameA(module, path, sizeof path) == 0) return;
  std::string name = path;
  size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  state.appName = name;
}

HICON Norvia_LoadIcon(int resourceId) {
  return LoadIconA(static_cast<HINSTANCE>(g_current->resource), MAKEINTRESOURCEA(resourceId));
}

void InitGenTrelmDll() {
  static bool done = false;
  if (done) return;
  done = true;
  Translate_AddLocFile("", "", "", "miscellaneous.loc");
}

void InitRynGenericDll() {
  static bool done = false;
  if (done) return;
  done = true;
  Translate_AddLocFile("", "", "", "RynGeneric.loc");
}
