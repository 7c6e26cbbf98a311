#pragma once
// The named steps of an end-to-end run: each is written to the run's log
// with the time it took, and a failed one fails the test with its name and
// what went wrong.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iomanip>
#include <iostream>
#include <string>
#include <string_view>

namespace tovrik::e2e {

class RunSteps {
 public:
  RunSteps() : start_(std::chrono::steady_clock::now()) {}

  // Runs `action`, which returns what went wrong (empty when nothing did).
  bool Run(std::string_view name, const std::function<std::string()>& action) {
    const auto begin = std::chrono::steady_clock::now();
    const std::string failure = action();
    const auto took = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::cout << std::fixed << std::setprecision(1) << "[e2e " << Seconds() << " s] " << name
              << (failure.empty() ? ": done" : ": FAILED") << " (" << took << " s)" << std::endl;
    if (!failure.empty()) ADD_FAILURE() << "step \"" << name << "\" failed: " << failure;
    return failure.empty();
  }

  // A line of the run's log (measurements).
  void Note(const std::string& line) const {
    std::cout << std::fixed << std::setprecision(1) << "[e2e " << Seconds() << " s] " << line << std::endl;
  }

  double Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

 private:
  std::chrono::steady_clock::time_point start_;
};

}  // namespace tovrik::e2e
