// Host services a command reads: globals, users, path kinds, registry,
// machine data, message boxes and persistent message texts.
#pragma once

#include <string>

// Globals: true and the value when the global exists with that type.
bool GlobalsLookup(const char* key, std::string& text);
bool GlobalsLookup(const char* key, long& number);

// User administration.
std::string UAD_GetActiveUser();
int UAD_GetIntEx(const char* user, const char* key, int defaultValue);

// Path kinds: 0 script configuration, 1 script interface, 2 default values,
// 3 scripts, 4 interpreter program, 6 export output.
std::string Orvouser_GetAbsolutPath(int kind, const char* name, const char* extension);
void Orvouser_Path2Absolute(std::string& path, int kind);
void Orvouser_Path2Relative(std::string& path, int kind);

// Machine-wide registry.
std::string getreg_LM_string(const char* key, const char* value, const char* defaultValue);
long getreg_long(const char* key, const char* value, long defaultValue);
long getreg_long(int root, const char* key, const char* value, long defaultValue, bool* found);

class CMachine {
 public:
  std::string GetSerialNumber() const;
  std::string GetMachineRevision() const;
};

// Message boxes; the emulator prints them and answers OK (IDOK = 1).
int MfxMessageBox(const char* text, unsigned style = 0, const char* caption = nullptr);
int MfxMessageBoxStatusAgent(const char* text, const char* caption, unsigned style);
// While a dialog is on the screen its kit shows the boxes too; the handler's
// answer is the box's. Returns the previous handler (null: print and answer OK).
using MessageBoxHandler = int (*)(const char* text, const char* caption, unsigned style);
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// A copy of `text` for an answer that crosses the exported functions as a
// const char*. It stays valid while kKeptMessageCount - 1 further copies are
// made: far more than one export call makes, so the host reads the answer
// of a call before its text is reused.
constexpr int kKeptMessageCount = 16;
const char* make_pp(const std::string& text);

namespace norvia {
// Message boxes shown so far, "CAPTION: TEXT" each (tests read them).
const std::string& MessageBoxLog();
// The text of the message box shown last, without its caption.
const std::string& LastMessageBoxText();
}  // namespace norvia
