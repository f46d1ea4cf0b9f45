// CRYN_EXPORTApp: the library's application object. It owns the module
// state the exports switch to, and starts the framework when the library loads.
#pragma once

#include "norvia/module.h"

class CRYN_EXPORTApp {
 public:
  CRYN_EXPORTApp();
  // Runs once when the host attaches the library; 1 on success.
  int InitInstance();
  NorviaModuleState* ModuleState() { return &m_moduleState; }

 private:
  NorviaModuleState m_moduleState;
};

extern CRYN_EXPORTApp theApp;

// Switches to the library's module state for the rest of the scope.
#define RYN_MANAGE_STATE() NorviaModuleStateGuard rynModuleStateGuard(theApp.ModuleState())
