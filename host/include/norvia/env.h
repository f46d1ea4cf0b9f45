// The host environment: settings read from DIR/host.ini and the record
// store under DIR/store, prepared by the program that hosts the plug-in.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace norvia {

// An INI text: [section], key = value, ';' comments. Keys keep their case
// and backslashes; sections and keys are looked up without regard to case.
class IniFile {
 public:
  // Null, or the message that names the file and line it could not read.
  const char* Parse(const std::string& text, const std::string& fileName);
  const std::string* Get(const std::string& section, const std::string& key) const;
  // Key/value pairs of one section in file order (empty when absent).
  const std::vector<std::pair<std::string, std::string>>& Section(const std::string& name) const;
  bool HasSection(const std::string& name) const;

 private:
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> m_sections;
};

// Loads host.ini and the record store of `dir`, applies clock, trace and
// locale settings and adds the unit translations (units.loc). Null, or the
// message that names the file and line.
const char* Host_Open(const std::string& dir);
// Empty until Host_Open succeeded.
const std::string& Host_Directory();
const IniFile& Host_Settings();

// Fixes the clock ("YYYY-MM-DD hh:mm:ss", local time); false when malformed.
bool Host_SetNow(const std::string& text);
bool ParseLocalTime(const std::string& text, int64_t& t);

// What the host hands on to the interpreter stand-in it starts, through the
// environment: its environment directory, its fixed clock (if it has one)
// and its process id (the stand-in ends once that process is gone).
constexpr const char* kEnvDirVariable = "NORVIA_ENV";
constexpr const char* kNowVariable = "NORVIA_NOW";
constexpr const char* kHostPidVariable = "NORVIA_HOST_PID";

// The directory of the built interpreter stand-in (default of path kind 4).
void Host_SetProgramDirectory(const std::string& dir);
const std::string& Host_ProgramDirectory();

}  // namespace norvia
