// Error types raised through the runtime interfaces and the control code.
#pragma once

#include <stdexcept>
#include <string>

namespace nx {

// Base of every error that reaches the host as the failure of the call in progress.
class NxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A stored or passed value could not be converted to the type a property needs.
class ConversionError : public NxError {
 public:
  using NxError::NxError;
};

// A number outside the range of the type that must hold it (hosts report "Overflow").
class OverflowError : public ConversionError {
 public:
  using ConversionError::ConversionError;
};

// A platform entry point is not available on this machine (for example the image library's
// gradient fill).
class PlatformCallMissing : public NxError {
 public:
  using NxError::NxError;
};

// The host or platform refused an operation.
class HostError : public NxError {
 public:
  using NxError::NxError;
};

}  // namespace nx
