// The error classes of the client and the one way to raise them.
//
// Every error carries the address it was raised at, so that an exception description can name
// the module and offset ("Exception EConvertError in module Wrenbridge.dll at 0001A2B4.").
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace wl {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  virtual const char* ClassName() const { return "Exception"; }
  const std::string& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }
  // The code address the error was raised at; 0 when unknown.
  std::uintptr_t RaiseAddress() const { return raiseAddress_; }
  void SetRaiseAddress(std::uintptr_t address) { raiseAddress_ = address; }

 private:
  std::string message_;
  std::uintptr_t raiseAddress_ = 0;
};

// A format directive that does not fit its argument, or a missing argument.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "EConvertError"; }
};

class EAssertionFailed : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "EAssertionFailed"; }
};

// An index outside a list's bounds.
class EListError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "EListError"; }
};

// Throws E(message) recorded as raised at `address`.
template <class E>
[[noreturn]] void RaiseAt(std::uintptr_t address, std::string message) {
  E error(std::move(message));
  error.SetRaiseAddress(address);
  throw error;
}

// Throws E(message) recorded as raised by the caller of Raise.
template <class E>
[[noreturn]] __attribute__((noinline)) void Raise(std::string message) {
  RaiseAt<E>(reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)), std::move(message));
}

}  // namespace wl
