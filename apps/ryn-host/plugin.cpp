#include "plugin.h"

#include <cstdio>

#include "platform/module.h"

namespace {

template <typename F>
bool Resolve(HMODULE module, const char* name, F& out) {
  out = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return out || Complain(std::string("the plug-in does not export ") + name);
}

}  // namespace

bool Complain(const std::string& text) {
  std::fprintf(stderr, "ryn-host: %s\n", text.c_str());
  return false;
}

std::string ProgramDirectory() {
  char path[4096];
  if (!Plat_ProgramPath(path, sizeof path)) return ".";
  std::string p = path;
  size_t slash = p.find_last_of("/\\");
  return slash == std::string::npos ? "." : p.substr(0, slash);
}

std::string DefaultPluginPath() { return ProgramDirectory() + "/RYN EXPORT" PLAT_MODULE_SUFFIX; }

bool LoadPlugin(const std::string& file, PluginExports& e) {
  HMODULE module = LoadLibraryA(file.c_str());
  if (!module) return Complain("cannot load plug-in '" + file + "': " + Plat_LoadErrorText());
  return Resolve(module, "TrelmIdentify", e.TrelmIdentify) &&
         Resolve(module, "TrelmIdentifyConstOfArg", e.TrelmIdentifyConstOfArg) &&
         Resolve(module, "TrelmExecGUI", e.TrelmExecGUI) && Resolve(module, "TrelmExecAlg", e.TrelmExecAlg) &&
         Resolve(module, "TrelmSetExecCallback", e.TrelmSetExecCallback) &&
         Resolve(module, "TrelmGetParameter", e.TrelmGetParameter) &&
         Resolve(module, "TrelmGetParameterEx", e.TrelmGetParameterEx) &&
         Resolve(module, "TrelmSetParameter", e.TrelmSetParameter) &&
         Resolve(module, "TrelmSetParameterEx", e.TrelmSetParameterEx) &&
         Resolve(module, "TrelmSetOptions", e.TrelmSetOptions) &&
         Resolve(module, "TrelmGetOptions", e.TrelmGetOptions) &&
         Resolve(module, "TrelmGetExtendedParameterInformation", e.TrelmGetExtendedParameterInformation) &&
         Resolve(module, "TrelmSpecifyFileFilter", e.TrelmSpecifyFileFilter) &&
         Resolve(module, "TrelmSpecifyMode", e.TrelmSpecifyMode) &&
         Resolve(module, "TrelmGetDialogInterface", e.TrelmGetDialogInterface);
}
