// A loaded command plug-in: the library and its fifteen exports, the only
// way the host emulator talks to it.
#pragma once

#include <string>

#include "norvia/command.h"

struct PluginExports {
  void* (*TrelmIdentify)(int);
  CNamedObject** (*TrelmIdentifyConstOfArg)(const char*);
  const char* (*TrelmExecGUI)(int);
  const char* (*TrelmExecAlg)(int*, bool, TrelmEnvironment*);
  void (*TrelmSetExecCallback)(bool (*)(int));
  const char* (*TrelmGetParameter)();
  const char* (*TrelmGetParameterEx)(const char*, bool);
  bool (*TrelmSetParameter)(char*);
  const char* (*TrelmSetParameterEx)(char*, char*);
  void (*TrelmSetOptions)(int);
  void (*TrelmGetOptions)(int&);
  long (*TrelmGetExtendedParameterInformation)(const char*);
  const char* (*TrelmSpecifyFileFilter)(const char*);
  int (*TrelmSpecifyMode)(const char*);
  DialogInterface* (*TrelmGetDialogInterface)();
};

// Loads `file` and resolves every export; false once it has said why.
bool LoadPlugin(const std::string& file, PluginExports& out);
// Says on stderr why the program cannot go on; false, for the caller to pass up.
bool Complain(const std::string& text);
// The plug-in built beside the running program.
std::string DefaultPluginPath();
// The directory of the running program.
std::string ProgramDirectory();
