// Machine and probe data, asked from sibling host commands and kept for
// the life of the library once known.
#pragma once

#include <string>

namespace ryn {

// False only when the machine command cannot be run.
bool GetMachineSerial(std::string& result);
// Machine name, with probe system and probe when known.
bool GetMachineDescription(std::string& result);
// Kind 1 probe name, 2 tip name, 3 tip radius ("%lf"); false for other kinds.
bool GetProbeInfo(std::string& result, int kind);

// The answers known so far. The host never forgets them; a test that stands
// for a fresh library empties them through a friend of its own.
class MachineQueryCache {
  friend struct MachineQueriesTestAccess;
  friend bool GetMachineSerial(std::string&);
  friend bool GetMachineDescription(std::string&);
  friend bool GetProbeInfo(std::string&, int);
  static MachineQueryCache& Instance();
  std::string serial, description, probe, tip, radius;
};

}  // namespace ryn
