// The fifteen functions the host calls. Each switches to the library's
// module state for the whole call and forwards to the export object.
#include "App.h"
#include "Export.h"
#include "norvia/services.h"

#define RYN_EXPORT_FN extern "C"

RYN_EXPORT_FN void* TrelmIdentify(int kind) {
  RYN_MANAGE_STATE();
  return theExport.Identify(kind);
}

RYN_EXPORT_FN CNamedObject** TrelmIdentifyConstOfArg(const char* argName) {
  RYN_MANAGE_STATE();
  return theExport.IdentifyConstOfArg(argName);
}

RYN_EXPORT_FN const char* TrelmExecGUI(int mode) {
  RYN_MANAGE_STATE();
  return theExport.ExecGUI(mode);
}

RYN_EXPORT_FN const char* TrelmExecAlg(int* status, bool flag, TrelmEnvironment* env) {
  RYN_MANAGE_STATE();
  return theExport.ExecAlg(status, flag, env);
}

RYN_EXPORT_FN void TrelmSetExecCallback(bool (*callback)(int)) {
  RYN_MANAGE_STATE();
  theExport.SetExecCallback(callback);
}

RYN_EXPORT_FN const char* TrelmGetParameter() {
  RYN_MANAGE_STATE();
  return theExport.GetParameter();
}

RYN_EXPORT_FN const char* TrelmGetParameterEx(const char* name, bool withName) {
  RYN_MANAGE_STATE();
  return theExport.GetParameterEx(name, withName);
}

RYN_EXPORT_FN bool TrelmSetParameter(char* text) {
  RYN_MANAGE_STATE();
  return theExport.SetParameter(text);
}

RYN_EXPORT_FN const char* TrelmSetParameterEx(char* name, char* value) {
  RYN_MANAGE_STATE();
  return theExport.SetParameterEx(name, value);
}

RYN_EXPORT_FN void TrelmSetOptions(int options) {
  RYN_MANAGE_STATE();
  theExport.SetOptions(options);
}

RYN_EXPORT_FN void TrelmGetOptions(int& options) {
  RYN_MANAGE_STATE();
  theExport.GetOptions(options);
}

RYN_EXPORT_FN long TrelmGetExtendedParameterInformation(const char* name) {
  RYN_MANAGE_STATE();
  return theExport.GetExtendedParameterInformation(std::string(name ? name : ""));
}

RYN_EXPORT_FN const char* TrelmSpecifyFileFilter(const char* what) {
  RYN_MANAGE_STATE();
  return make_pp(theExport.SpecifyFileFilter(std::string(what ? what : "")));
}

RYN_EXPORT_FN int TrelmSpecifyMode(const char* what) {
  RYN_MANAGE_STATE();
  return theExport.SpecifyMode(std::string(what ? what : ""));
}

RYN_EXPORT_FN DialogInterface* TrelmGetDialogInterface() {
  RYN_MANAGE_STATE();
  return theExport.GetDialogInterface();
}
