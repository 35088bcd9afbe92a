#pragma once

#include <stdexcept>
#include <string>

namespace framefit {

enum class ArithmeticErrorKind { DivisionByZero, InvalidOperation, Overflow };

// "division by zero", "invalid operation", "overflow".
const char* KindName(ArithmeticErrorKind kind);

// The one error a calculation ends with. Hardware exceptions stay masked, so every operation
// that could fail is checked before it runs and throws this instead. what() is a sentence for
// the person at the window that names the input at fault.
class ArithmeticError : public std::runtime_error {
 public:
  ArithmeticError(ArithmeticErrorKind kind, const std::string& message)
      : std::runtime_error(message), kind_(kind) {}
  ArithmeticErrorKind kind() const { return kind_; }

 private:
  ArithmeticErrorKind kind_;
};

}  // namespace framefit
