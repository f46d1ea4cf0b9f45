// ryn-host: plays the host for a command plug-in. It prepares the host
// stand-in from an environment directory, loads the plug-in and drives it
// through its exports only.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "norvia/diag.h"
#include "norvia/env.h"
#include "norvia/named.h"
#include "norvia/services.h"
#include "platform/fs.h"
#include "platform/module.h"
#include "platform/process.h"
#include "plugin.h"
#include "norvia/page_script.h"

namespace {

const char* const kUsage =
    "usage: ryn-host [--env DIR] [--plugin FILE] [--now \"YYYY-MM-DD hh:mm:ss\"] [--trace LEVEL]\n"
    "                VERB [ARG...]\n"
    "       ryn-host --help | --version\n"
    "verbs:\n"
    "  exec NAME=VALUE...        set the parameters, then execute\n"
    "  check NAME=VALUE...       the same, check-only\n"
    "  params NAME=VALUE...      set the parameters, print the parameter text\n"
    "  identify                  list name, number, the parameters and the constant names\n"
    "                            (the modes among them)\n"
    "  text INDEX NAME=VALUE...  set the parameters, print the parameter summary text INDEX\n"
    "  edit [--exec-mode=N] [ACTION...] NAME=VALUE...\n"
    "                            set the parameters, run the parameter dialog driven by the\n"
    "                            actions (VERB:ARGUMENT, show, apply), print the parameter text\n"
    "values: \"text\" in double quotes (quote them for the shell: 'SCHEME=\"r.csv\"'), numbers,\n"
    "        constant names (MODE=RYN_CSV_APPEND), lists \"a.fea\", \"b.lst\", or a host global's name\n"
    "without --env: the current directory when it holds host.ini, else the built-in example\n"
    "environment " RYN_EXAMPLE_ENV "\n"
    "exit: 0 done, 1 the command's message (a run that another program's hold on its file kept\n"
    "      beside it in .ryn-kept-NAME says so; the next export that can write the file adds it),\n"
    "      2 usage, environment or plug-in error\n";

enum Exit { kOk = 0, kMessage = 1, kUsageError = 2 };
constexpr long kLastTextIndex = 15;  // the plug-in's parameter summary texts are 0 to 15

struct Options {
  std::string env, plugin, now, verb;
  int trace = -1;
  bool version = false;
  std::vector<std::string> args;
};

int UsageError(const std::string& text) {
  Complain(text);
  return kUsageError;
}

// False after a complaint, or for --help (which sets `help`).
bool ParseOptions(int argc, char** argv, Options& o, bool& help) {
  int i = 1;
  for (; i < argc && std::string(argv[i]).rfind("--", 0) == 0; ++i) {
    std::string name = argv[i];
    if (name == "--help") return !(help = true);
    if (name == "--version") return o.version = true;
    if (i + 1 >= argc) return Complain(name + " needs a value");
    std::string value = argv[++i];
    // An empty directory would quietly fall back on the bundled example.
    if (name == "--env" && value.empty()) return Complain("--env expects a directory, found an empty text");
    if (name == "--env") o.env = value;
    else if (name == "--plugin") o.plugin = value;
    else if (name == "--now") o.now = value;
    else if (name == "--trace") {
      char* end = nullptr;
      long level = std::strtol(value.c_str(), &end, 10);
      if (*end || level < 0 || level > 5) return Complain("--trace expects a level from 0 to 5");
      o.trace = static_cast<int>(level);
    } else return Complain("unknown option " + name);
  }
  if (i >= argc) return Complain("no verb given");
  o.verb = argv[i++];
  o.args.assign(argv + i, argv + argc);
  return true;
}

std::string DefaultEnvironment() {
  if (PathFileExistsA("host.ini")) return ".";
  return RYN_EXAMPLE_ENV;
}

CNamedObject* FindArgument(const PluginExports& p, const std::string& name) {
  for (auto** arg = static_cast<CNamedObject**>(p.TrelmIdentify(TRELM_IDENT_ARGS)); arg && *arg; ++arg)
    if (name == (*arg)->GetName()) return *arg;
  return nullptr;
}

// The constant names a refused name may have meant: those that start as it
// does up to its first "_" (the modes for "RYN_..."), else all of them.
std::string ConstantNamesLike(const PluginExports& p, const std::string& name, const std::string& value) {
  std::string all, alike;
  const std::string stem = value.substr(0, value.find('_') + 1);
  for (auto** c = p.TrelmIdentifyConstOfArg(name.c_str()); c && *c; ++c) {
    const std::string constant = (*c)->GetName();
    all += " " + constant;
    if (stem.size() > 1 && stem.back() == '_' && constant.rfind(stem, 0) == 0) alike += " " + constant;
  }
  return alike.empty() ? all : alike;
}

// A line after a refused value that says what would have been taken.
void HintAtRefusedValue(const PluginExports& p, const std::string& name, const std::string& value) {
  CNamedObject* arg = FindArgument(p, name);
  const bool text = dynamic_cast<CNamedString*>(arg) || dynamic_cast<CNamedStringArray*>(arg);
  if (text && value.rfind('"', 0) != 0)
    Complain("a text value goes in double quotes: " + name + "=\"" + value + "\" (for the shell: '" + name +
             "=\"" + value + "\"'); a bare name is taken for a host global");
  else if (dynamic_cast<CNamedLong*>(arg) && !value.empty() && !std::isdigit(static_cast<unsigned char>(value[0])))
    Complain("valid names:" + ConstantNamesLike(p, name, value));
}

// Sets every NAME=VALUE; a refused value is a usage error naming the parameter.
bool SetParameters(const PluginExports& p, const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    size_t eq = arg.find('=');
    if (eq == std::string::npos || eq == 0) return Complain("expected NAME=VALUE, found '" + arg + "'");
    std::string name = arg.substr(0, eq), value = arg.substr(eq + 1);
    if (const char* refused = p.TrelmSetParameterEx(name.data(), value.data())) {
      Complain(refused);
      HintAtRefusedValue(p, name, value);
      return false;
    }
  }
  return true;
}

int Identify(const PluginExports& p) {
  std::printf("%s\n", static_cast<const char*>(p.TrelmIdentify(TRELM_IDENT_NAME)));
  std::printf("%d\n", *static_cast<int*>(p.TrelmIdentify(TRELM_IDENT_NUMBER)));
  for (auto** arg = static_cast<CNamedObject**>(p.TrelmIdentify(TRELM_IDENT_ARGS)); arg && *arg; ++arg)
    std::printf("%s\n", (*arg)->GetName());
  for (auto** c = static_cast<CNamedObject**>(p.TrelmIdentify(TRELM_IDENT_CONSTS)); c && *c; ++c)
    if (auto* number = dynamic_cast<CNamedLong*>(*c)) std::printf("%s=%ld\n", number->GetName(), number->GetValue());
  return kOk;
}

int Execute(const PluginExports& p, bool checkOnly) {
  int status = 0;
  TrelmEnvironment environment;
  const char* message = p.TrelmExecAlg(&status, checkOnly, &environment);
  if (!message) return kOk;
  std::printf("%s\n", message);
  return kMessage;
}

// An argument is a dialog action when it has no "=" or when the text before
// its first "=" holds a ":" (no parameter name does).
bool IsAction(const std::string& arg) {
  size_t eq = arg.find('=');
  return eq == std::string::npos || arg.find(':') < eq;
}

int Edit(const PluginExports& p, std::vector<std::string> args) {
  int execMode = TRELM_EXEC_MODE_EDIT;
  const std::string modeOption = "--exec-mode=";
  if (!args.empty() && args[0].rfind(modeOption, 0) == 0) {
    char* end = nullptr;
    std::string number = args[0].substr(modeOption.size());
    execMode = static_cast<int>(std::strtol(number.c_str(), &end, 0));
    if (number.empty() || *end) return UsageError("--exec-mode expects a number");
    args.erase(args.begin());
  }
  TrelmPageScript& script = Trelm_PageScript();
  script = TrelmPageScript();
  std::vector<std::string> params;
  for (const std::string& arg : args) (IsAction(arg) ? script.actions : params).push_back(arg);
  if (!SetParameters(p, params)) return kUsageError;

  const size_t boxesBefore = norvia::MessageBoxLog().size();
  const char* result = p.TrelmExecGUI(execMode);
  std::fputs(script.output.c_str(), stdout);
  if (!script.error.empty()) return UsageError("edit: " + script.error);
  if (result) {
    // The operator saw the refusal in a message box; its text is the result.
    bool boxShown = norvia::MessageBoxLog().size() != boxesBefore;
    std::printf("%s\n", boxShown ? norvia::LastMessageBoxText().c_str() : result);
    return kMessage;
  }
  std::printf("%s\n", p.TrelmGetParameter());
  return kOk;
}

// The INDEX of `text`. Other numbers would reach other identification kinds
// of the plug-in, not a summary text.
bool ParseTextIndex(const std::string& arg, int& index) {
  char* end = nullptr;
  long number = std::strtol(arg.c_str(), &end, 10);
  if (arg.empty() || *end) return Complain("text expects an INDEX");
  if (number < 0 || number > kLastTextIndex)
    return Complain("text INDEX must be 0 to " + std::to_string(kLastTextIndex) + ", found '" + arg + "'");
  index = static_cast<int>(number);
  return true;
}

int RunVerb(const Options& o, const PluginExports& p) {
  std::vector<std::string> params = o.args;
  if (o.verb == "identify") return params.empty() ? Identify(p) : UsageError("identify takes no arguments");
  if (o.verb == "edit") return Edit(p, params);
  int textIndex = 0;
  if (o.verb == "text") {
    if (!ParseTextIndex(params.empty() ? "" : params[0], textIndex)) return kUsageError;
    params.erase(params.begin());
  } else if (o.verb != "exec" && o.verb != "check" && o.verb != "params") {
    return UsageError("unknown verb '" + o.verb + "'");
  }
  if (!SetParameters(p, params)) return kUsageError;
  if (o.verb == "params") return std::printf("%s\n", p.TrelmGetParameter()), kOk;
  if (o.verb == "text")
    return std::printf("%s\n", static_cast<const char*>(p.TrelmIdentify(TRELM_IDENT_PARAMETER_TEXT + textIndex))),
           kOk;
  return Execute(p, o.verb == "check");
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  bool help = false;
  if (!ParseOptions(argc, argv, options, help)) {
    std::fputs(kUsage, help ? stdout : stderr);
    return help ? kOk : kUsageError;
  }
  if (options.version) return std::printf("ryn-host (RYN EXPORT) %s\n", RYN_VERSION), kOk;
  if (options.env.empty()) options.env = DefaultEnvironment();
  // Absolute, so that paths the plug-in derives from it hold in the
  // interpreter, which runs in a working directory of its own.
  std::error_code absoluteError;
  if (std::string absolute = std::filesystem::absolute(options.env, absoluteError).string(); !absoluteError)
    options.env = absolute;
  norvia::Host_SetProgramDirectory(ProgramDirectory());
  if (const char* message = norvia::Host_Open(options.env)) return UsageError(std::string("environment: ") + message);
  SetEnvironmentVariableA(norvia::kEnvDirVariable, options.env.c_str());
  SetEnvironmentVariableA(norvia::kHostPidVariable, std::to_string(GetCurrentProcessId()).c_str());
  if (!options.now.empty() && !norvia::Host_SetNow(options.now))
    return UsageError("--now expects \"YYYY-MM-DD hh:mm:ss\", found '" + options.now + "'");
  if (!options.now.empty()) SetEnvironmentVariableA(norvia::kNowVariable, options.now.c_str());
  if (options.trace >= 0) norvia::SetTraceMasterLevel(options.trace);

  PluginExports plugin{};
  if (!LoadPlugin(options.plugin.empty() ? DefaultPluginPath() : options.plugin, plugin)) return kUsageError;
  std::fflush(stdout);
  int code = RunVerb(options, plugin);
  std::fflush(stdout);
  return code;
}
