// Nothing but a message crosses the exported functions: whatever the code
// below throws becomes the one text the host shows for the command.
#pragma once

#include <string>

namespace ryn {

extern const char* const kOutOfMemoryMessage;

// The message for the exception being handled (call inside a catch block).
// Never throws; out of memory gives a fixed text.
const char* MessageOfCurrentException() noexcept;

// A table's error text as the command's message: an allocation that failed
// inside the table reads as out of memory, like everywhere else.
const char* TableMessage(const std::string& errorText);

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

}  // namespace ryn
