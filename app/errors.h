// The one error type of the host: bad input that the command reports once and exits 2 on.
#pragma once
#include <stdexcept>
#include <string>

// A failure caused by the user's input (scene file, parameters, paths); its text is the whole message.
class InputError : public std::runtime_error {
 public:
  explicit InputError(const std::string& message) : std::runtime_error(message) {}
};
