// The fifteen functions the host calls. Each switches to the library's
// module state for the whole call and forwards to the export object; no
// exception leaves into the host: a call that fails gives its message, or
// its neutral answer where the answer is no message.
#include "App.h"
#include "Boundary.h"
#include "Export.h"
#include "norvia/services.h"

#define RYN_EXPORT_FN extern "C"

using ryn::Guarded;
using ryn::GuardedCall;
using ryn::GuardedMessage;

RYN_EXPORT_FN void* TrelmIdentify(int kind) {
  return Guarded<void*>(nullptr, [&] {
    RYN_MANAGE_STATE();
    return theExport.Identify(kind);
  });
}

RYN_EXPORT_FN CNamedObject** TrelmIdentifyConstOfArg(const char* argName) {
  return Guarded<CNamedObject**>(nullptr, [&] {
    RYN_MANAGE_STATE();
    return theExport.IdentifyConstOfArg(argName);
  });
}

RYN_EXPORT_FN const char* TrelmExecGUI(int mode) {
  return GuardedMessage([&] {
    RYN_MANAGE_STATE();
    return theExport.ExecGUI(mode);
  });
}

RYN_EXPORT_FN const char* TrelmExecAlg(int* status, bool flag, TrelmEnvironment* env) {
  try {
    RYN_MANAGE_STATE();
    return theExport.ExecAlg(status, flag, env);
  } catch (...) {
    if (status) *status = 1;
    return ryn::MessageOfCurrentException();
  }
}

RYN_EXPORT_FN void TrelmSetExecCallback(bool (*callback)(int)) {
  GuardedCall([&] {
    RYN_MANAGE_STATE();
    theExport.SetExecCallback(callback);
  });
}

RYN_EXPORT_FN const char* TrelmGetParameter() {
  return Guarded<const char*>("", [&] {
    RYN_MANAGE_STATE();
    return theExport.GetParameter();
  });
}

RYN_EXPORT_FN const char* TrelmGetParameterEx(const char* name, bool withName) {
  return Guarded<const char*>("", [&] {
    RYN_MANAGE_STATE();
    return theExport.GetParameterEx(name, withName);
  });
}

RYN_EXPORT_FN bool TrelmSetParameter(char* text) {
  return Guarded(false, [&] {
    RYN_MANAGE_STATE();
    return theExport.SetParameter(text);
  });
}

RYN_EXPORT_FN const char* TrelmSetParameterEx(char* name, char* value) {
  return GuardedMessage([&] {
    RYN_MANAGE_STATE();
    return theExport.SetParameterEx(name, value);
  });
}

RYN_EXPORT_FN void TrelmSetOptions(int options) {
  GuardedCall([&] {
    RYN_MANAGE_STATE();
    theExport.SetOptions(options);
  });
}

RYN_EXPORT_FN void TrelmGetOptions(int& options) {
  GuardedCall([&] {
    RYN_MANAGE_STATE();
    theExport.GetOptions(options);
  });
}

RYN_EXPORT_FN long TrelmGetExtendedParameterInformation(const char* name) {
  return Guarded(0L, [&] {
    RYN_MANAGE_STATE();
    return theExport.GetExtendedParameterInformation(std::string(name ? name : ""));
  });
}

RYN_EXPORT_FN const char* TrelmSpecifyFileFilter(const char* what) {
  return Guarded<const char*>("", [&] {
    RYN_MANAGE_STATE();
    return make_pp(theExport.SpecifyFileFilter(std::string(what ? what : "")));
  });
}

RYN_EXPORT_FN int TrelmSpecifyMode(const char* what) {
  return Guarded(0, [&] {
    RYN_MANAGE_STATE();
    return theExport.SpecifyMode(std::string(what ? what : ""));
  });
}

RYN_EXPORT_FN DialogInterface* TrelmGetDialogInterface() {
  return Guarded<DialogInterface*>(nullptr, [&] {
    RYN_MANAGE_STATE();
    return theExport.GetDialogInterface();
  });
}
