// System call failures raised as exceptions that carry the system's own
// message, for the places where such a failure ends an event handler and is
// shown in the default error box.
#pragma once

#include <stdexcept>
#include <string>

class EOSError : public std::runtime_error {
public:
  explicit EOSError(unsigned long code);
  unsigned long Code() const noexcept { return code_; }

private:
  unsigned long code_;
};

// The system's text for an error code, without the line break and full stop
// it ends with (the error box adds its own full stop).
std::string SysErrorMessage(unsigned long code);
// Raises EOSError for GetLastError().
[[noreturn]] void RaiseLastOSError();
