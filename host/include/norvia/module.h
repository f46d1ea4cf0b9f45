// Module state: which library a call runs for (name, resources, dialog kit),
// the switch the exports make, and the framework's library initialisers.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

class CTrelmGeneric;
class TrelmTabDialog;

// Stand-in only: shows the pages of CTrelmGeneric::ExecGUI and applies them;
// a message or null. The real host's framework owns its dialogs.
using TrelmPageRunner = const char* (*)(CTrelmGeneric& owner, const std::vector<TrelmTabDialog*>& pages, int mode);

// Real host: the platform's module state (name, resources). The page runner
// is the stand-in's hook.
struct NorviaModuleState {
  std::string appName;     // the library's file name without extension
  HINSTANCE resource = nullptr;
  // The library's own dialog kit, set when it loads (null: pages are applied
  // without a dialog). Kept here rather than process-wide, it goes with the
  // library and serves only calls made for it.
  TrelmPageRunner pageRunner = nullptr;
};

// Real host: makes `state` current for the lifetime of the guard, then restores the previous one.
class NorviaModuleStateGuard {
 public:
  explicit NorviaModuleStateGuard(NorviaModuleState* state);
  ~NorviaModuleStateGuard();
  NorviaModuleStateGuard(const NorviaModuleStateGuard&) = delete;
  NorviaModuleStateGuard& operator=(const NorviaModuleStateGuard&) = delete;

 private:
  NorviaModuleState* m_pPrevious;
};
NorviaModuleState* Norvia_CurrentModuleState();
// Real host: the current module's application name ("" outside any module).
const char* AfxGetAppName();
// Stand-in only: fills the state of the library that contains `address` (name from its file).
void Norvia_InitModuleState(NorviaModuleState& state, const void* address);
// Real host: loads an icon resource of the current module; 0 when it has none.
HICON Norvia_LoadIcon(int resourceId);

// Real host: the framework's library initialisers, run once by a plug-in's start-up.
void InitGenTrelmDll();
void InitRynGenericDll();
