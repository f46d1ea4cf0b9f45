// The result of a step that can end an export: success, or the message the
// host is to show. Steps return it by value; only the functions the host
// calls turn it into the message pointer the host reads.
#pragma once

#include <string>
#include <utility>

namespace ryn {

class Status {
 public:
  // Success.
  Status() = default;
  static Status Ok() { return Status(); }
  static Status Failed(std::string message) { return Status(std::move(message)); }

  bool ok() const { return !m_failed; }
  const std::string& message() const { return m_message; }

 private:
  explicit Status(std::string message) : m_failed(true), m_message(std::move(message)) {}
  bool m_failed = false;
  std::string m_message;
};

}  // namespace ryn
