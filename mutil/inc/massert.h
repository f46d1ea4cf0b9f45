// The assertion record. Assertions here are soft: the record is built, its
// text goes to the error log and the caller carries on, so that states that
// should never occur are documented without stopping the host.
#pragma once

#include <exception>
#include <iosfwd>
#include <string>

#include "norvia/diag.h"

class MAssertException : public std::exception {
 public:
  MAssertException(const char* file, int line, const char* expression, const char* message);
  ~MAssertException() override;
  const char* what() const noexcept override;
  virtual void Print(std::ostream& out) const;

 private:
  std::string m_strMessage;
};

// Builds the record for `expression` failing at file/line with the printf-style
// message, writes it to the error log and drops it.
void MAssert_Soft(const char* file, int line, const char* expression, const char* format, ...)
    NORVIA_PRINTF(4, 5);
