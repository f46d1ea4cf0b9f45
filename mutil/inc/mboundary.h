// Nothing but a value crosses into the host's library: each module links
// its own C++ runtime, and one runtime cannot unwind through another's
// frames. Every plug-in function the host reaches (an export, a virtual
// override of a framework class, a callback) runs its body through one of
// these, which turn whatever escapes into the answer that entry gives on
// failure.
#pragma once

namespace ryn {

extern const char* const kOutOfMemoryMessage;

// The message for the exception being handled (call inside a catch block):
// a thrown text as it stands, a standard exception as "The export failed:
// <what>". Never throws; out of memory gives a fixed text.
const char* MessageOfCurrentException() noexcept;

// Writes the message of the exception being handled into the error log at
// file/line (call inside a catch block). Never throws.
void LogCurrentException(const char* file, int line) noexcept;

// Runs `call`; an escaping exception gives `failed` instead.
template <class Result, class Call>
Result Guarded(Result failed, Call&& call) noexcept {
  try {
    return call();
  } catch (...) {
    return failed;
  }
}

// Runs `call`, whose answer is a message; an escaping exception becomes one.
template <class Call>
const char* GuardedMessage(Call&& call) noexcept {
  try {
    return call();
  } catch (...) {
    return MessageOfCurrentException();
  }
}

// Runs `call`, which answers nothing; an escaping exception is dropped.
template <class Call>
void GuardedCall(Call&& call) noexcept {
  try {
    call();
  } catch (...) {
  }
}

// For a callback whose answer carries no message: an escaping exception is
// logged at file/line and the call answers `failed` (nothing for void).
template <class Result, class Call>
Result GuardedLogged(const char* file, int line, Result failed, Call&& call) noexcept {
  try {
    return call();
  } catch (...) {
    LogCurrentException(file, line);
    return failed;
  }
}

template <class Call>
void GuardedLogged(const char* file, int line, Call&& call) noexcept {
  try {
    call();
  } catch (...) {
    LogCurrentException(file, line);
  }
}

}  // namespace ryn
