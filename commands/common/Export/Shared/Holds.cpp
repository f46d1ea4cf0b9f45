#include "Holds.h"

#include "menvironment.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/handle.h"
#include "platform/process.h"
#include "platform/clock.h"

namespace ryn {
namespace {

// A hold of a moment is waited out: two seconds in all
// (RYN_TEST_HOLD_WAIT_MS for tests that hold files on purpose).
constexpr DWORD kReplaceWaitMs = 20;
int ReplaceAttempts() { return static_cast<int>(MEnv_Number("RYN_TEST_HOLD_WAIT_MS", 2000) / kReplaceWaitMs) + 1; }

bool ProbeMeetsHold(const std::string& file) {
  HANDLE probe = CreateFileA(file.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

bool HeldBy(const std::string& file, DWORD error) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
  const bool held = error == ERROR_ACCESS_DENIED && ProbeMeetsHold(file);
  SetLastError(error);
  return held;
}

bool ReplaceWaitingOutHolds(const std::string& from, const std::string& to, bool& held) {
  // A denied replace whose probe found no hold is tried once more: the
  // holder may have let go between the two.
  bool deniedBefore = false;
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD error = GetLastError();
    held = HeldBy(to, error);
    const bool retry = held ? attempt < ReplaceAttempts() : error == ERROR_ACCESS_DENIED && !deniedBefore;
    deniedBefore = !held && error == ERROR_ACCESS_DENIED;
    if (!retry) {
      SetLastError(error);
      return false;
    }
    Sleep(kReplaceWaitMs);
  }
}

}  // namespace ryn
