// Types shared by the units of the crash-report library. The library keeps
// its own exception root so that its failures can never be mistaken for, or
// swallowed as, the class library's exceptions.
#pragma once

#include "System.h"

// The root of the crash-report library's exceptions: carries a message and
// nothing else. Deliberately not an Exception.
class PellorException : public TObject {
  VARNEL_CLASS(PellorException, TObject)
 public:
  PellorException() = default;
  explicit PellorException(const String& message);

  const String& Message() const { return message_; }

 private:
  String message_;
};

// Raised for the abnormal-termination report.
class AbnormalTerminationException : public PellorException {
  VARNEL_CLASS(AbnormalTerminationException, PellorException)
 public:
  using PellorException::PellorException;
  AbnormalTerminationException() = default;
};
