// Sets (or removes) an environment variable for one test and puts the old value back.
#pragma once
#include <cstdlib>
#include <optional>
#include <string>

namespace zb::testing {

class EnvScope {
 public:
  EnvScope(const char* name, const std::string& value) : name_(name) {
    Keep();
    setenv(name, value.c_str(), 1);
  }
  EnvScope(const char* name, std::nullptr_t) : name_(name) {
    Keep();
    unsetenv(name);
  }
  ~EnvScope() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  EnvScope(const EnvScope&) = delete;
  EnvScope& operator=(const EnvScope&) = delete;

 private:
  void Keep() {
    if (const char* old = std::getenv(name_)) old_ = old;
  }
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace zb::testing
