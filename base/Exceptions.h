// The class library's exception hierarchy: every failure carries a fixed message text.
#pragma once
#include <stdexcept>
#include <string>

namespace base {

class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

#define TANDREL_EXCEPTION(Name, Parent)                                   \
  class Name : public Parent {                                            \
  public:                                                                 \
    explicit Name(const std::string& message) : Parent(message) {}        \
  }

TANDREL_EXCEPTION(EStreamError, Exception);
TANDREL_EXCEPTION(EReadError, EStreamError);
TANDREL_EXCEPTION(EWriteError, EStreamError);
TANDREL_EXCEPTION(EFCreateError, EStreamError);
TANDREL_EXCEPTION(EFOpenError, EStreamError);
TANDREL_EXCEPTION(EResNotFound, Exception);
TANDREL_EXCEPTION(EOutOfMemory, Exception);

}  // namespace base
