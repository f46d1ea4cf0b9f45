// Globals, users, path kinds, registry and machine data, all answered from
// the sections of host.ini; message boxes go to stderr and answer OK.
#include "norvia/services.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <mutex>

#include "host_paths.h"
#include "norvia/env.h"
#include "norvia/module.h"
#include "text_util.h"

namespace {

const std::string* Setting(const char* section, const std::string& key) {
  return norvia::Host_Settings().Get(section, key);
}

std::string KindDirectory(int kind) {
  static const char* const defaults[] = {"config", "interface", "defaults", "scripts", "", "", "export"};
  std::string dir;
  if (const std::string* configured = Setting("paths", std::to_string(kind)))
    dir = *configured;
  else if (kind == 4)
    dir = norvia::Host_ProgramDirectory();
  else if (kind >= 0 && kind <= 6)
    dir = defaults[kind];
  return norvia::JoinPath(norvia::Host_Directory(), dir);
}

std::string MessageLog;
MessageBoxHandler g_messageBoxHandler = nullptr;
std::string LastMessageText;

}  // namespace

bool GlobalsLookup(const char* key, std::string& text) {
  const std::string* value = key ? Setting("globals", key) : nullptr;
  long number = 0;
  if (!value || norvia::ParseLong(*value, number)) return false;
  text = *value;
  return true;
}

bool GlobalsLookup(const char* key, long& number) {
  const std::string* value = key ? Setting("globals", key) : nullptr;
  return value && norvia::ParseLong(*value, number);
}

std::string UAD_GetActiveUser() {
  const std::string* user = Setting("users", "active");
  return user ? *user : std::string();
}

int UAD_GetIntEx(const char* user, const char* key, int defaultValue) {
  if (!user || !*user || !key) return defaultValue;
  const std::string* value = norvia::Host_Settings().Get(std::string("user ") + user, key);
  long number = 0;
  return value && norvia::ParseLong(*value, number) ? static_cast<int>(number) : defaultValue;
}

std::string Orvouser_GetAbsolutPath(int kind, const char* name, const char* extension) {
  std::string dir = KindDirectory(kind);
  norvia::MakeDirectories(dir);
  return norvia::JoinPath(dir, std::string(name ? name : "") + (extension ? extension : ""));
}

void Orvouser_Path2Absolute(std::string& path, int kind) {
  if (norvia::IsAbsolutePath(path)) return;
  std::string dir = KindDirectory(kind);
  norvia::MakeDirectories(dir);
  path = norvia::JoinPath(dir, path);
}

namespace {
bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Takes `dir` and the separator after it off the front of `path`, if it is there.
bool StripDirectory(std::string& path, const std::string& dir) {
  size_t n = dir.size();
  while (n && IsSeparator(dir[n - 1])) --n;
  if (!n || path.size() <= n + 1 || !IsSeparator(path[n])) return false;
  for (size_t i = 0; i < n; ++i) {
    const bool same = (IsSeparator(dir[i]) && IsSeparator(path[i])) ||
                      norvia::EqualsNoCase(std::string_view(dir).substr(i, 1), std::string_view(path).substr(i, 1));
    if (!same) return false;
  }
  path.erase(0, n + 1);
  return true;
}
}  // namespace

void Orvouser_Path2Relative(std::string& path, int kind) {
  // Either separator, and the directory as configured or made absolute: a
  // file dialog answers with an absolute path in the system's form.
  const std::string dir = KindDirectory(kind);
  if (StripDirectory(path, dir)) return;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(dir, error).lexically_normal();
  if (!error) StripDirectory(path, absolute.string());
}

std::string getreg_LM_string(const char* key, const char* value, const char* defaultValue) {
  const std::string* found = Setting("registry", std::string(key ? key : "") + "\\" + (value ? value : ""));
  return found ? *found : std::string(defaultValue ? defaultValue : "");
}

long getreg_long(const char* key, const char* value, long defaultValue) {
  return getreg_long(0, key, value, defaultValue, nullptr);
}

long getreg_long(int, const char* key, const char* value, long defaultValue, bool* found) {
  const std::string* text = Setting("registry", std::string(key ? key : "") + "\\" + (value ? value : ""));
  long number = 0;
  bool ok = text && norvia::ParseLong(*text, number);
  if (found) *found = ok;
  return ok ? number : defaultValue;
}

std::string CMachine::GetSerialNumber() const {
  const std::string* s = Setting("machine", "serial");
  return s ? *s : std::string();
}

std::string CMachine::GetMachineRevision() const {
  const std::string* s = Setting("machine", "revision");
  return s ? *s : std::string();
}

int MfxMessageBoxStatusAgent(const char* text, const char* caption, unsigned style) {
  const char* shownCaption = caption ? caption : AfxGetAppName();
  std::string line = std::string("[message box] ") + shownCaption + ": " + (text ? text : "");
  std::fprintf(stderr, "%s\n", line.c_str());
  MessageLog += line + "\n";
  LastMessageText = text ? text : "";
  return g_messageBoxHandler ? g_messageBoxHandler(text ? text : "", shownCaption, style) : 1;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  MessageBoxHandler previous = g_messageBoxHandler;
  g_messageBoxHandler = handler;
  return previous;
}

int MfxMessageBox(const char* text, unsigned style, const char* caption) {
  return MfxMessageBoxStatusAgent(text, caption, style);
}

const char* make_pp(const std::string& text) {
  // A ring of the last texts: memory stays bounded, and a text lives on
  // through the further texts one export call makes, until the host has read it.
  static std::mutex guard;
  static std::array<std::string, kKeptMessageCount> kept;
  static size_t next = 0;
  std::lock_guard<std::mutex> lock(guard);
  std::string& slot = kept[next];
  next = (next + 1) % kept.size();
  slot = text;
  return slot.c_str();
}

namespace norvia {
const std::string& MessageBoxLog() { return MessageLog; }
const std::string& LastMessageBoxText() { return LastMessageText; }
}  // namespace norvia
