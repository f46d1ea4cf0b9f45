#include "plugin.h"

#include "platform/module.h"

namespace {

template <typename F>
bool Resolve(HMODULE module, const char* name, F& out, std::string& error) {
  out = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (!out) error = std::string("the plug-in does not export ") + name;
  return out != nullptr;
}

}  // namespace

std::string ProgramDirectory() {
  char path[4096];
  if (!Plat_ProgramPath(path, sizeof path)) return ".";
  std::string p = path;
  size_t slash = p.find_last_of("/\\");
  return slash == std::string::npos ? "." : p.substr(0, slash);
}

std::string DefaultPluginPath() { return ProgramDirectory() + "/RYN EXPORT" PLAT_MODULE_SUFFIX; }

bool LoadPlugin(const std::string& file, PluginExports& e, std::string& error) {
  HMODULE module = LoadLibraryA(file.c_str());
  if (!module) {
    error = "cannot load plug-in '" + file + "': " + Plat_LoadErrorText();
    return false;
  }
  return Resolve(module, "TrelmIdentify", e.TrelmIdentify, error) &&
         Resolve(module, "TrelmIdentifyConstOfArg", e.TrelmIdentifyConstOfArg, error) &&
         Resolve(module, "TrelmExecGUI", e.TrelmExecGUI, error) &&
         Resolve(module, "TrelmExecAlg", e.TrelmExecAlg, error) &&
         Resolve(module, "TrelmSetExecCallback", e.TrelmSetExecCallback, error) &&
         Resolve(module, "TrelmGetParameter", e.TrelmGetParameter, error) &&
         Resolve(module, "TrelmGetParameterEx", e.TrelmGetParameterEx, error) &&
         Resolve(module, "TrelmSetParameter", e.TrelmSetParameter, error) &&
         Resolve(module, "TrelmSetParameterEx", e.TrelmSetParameterEx, error) &&
         Resolve(module, "TrelmSetOptions", e.TrelmSetOptions, error) &&
         Resolve(module, "TrelmGetOptions", e.TrelmGetOptions, error) &&
         Resolve(module, "TrelmGetExtendedParameterInformation", e.TrelmGetExtendedParameterInformation,
                 error) &&
         Resolve(module, "TrelmSpecifyFileFilter", e.TrelmSpecifyFileFilter, error) &&
         Resolve(module, "TrelmSpecifyMode", e.TrelmSpecifyMode, error) &&
         Resolve(module, "TrelmGetDialogInterface", e.TrelmGetDialogInterface, error);
}
