// Shared helpers of the unit tests: slot allocation for the test process, and
// a scratch log file whose lines a test can read back.
#ifndef ORLIX_TESTS_SUPPORT_TEST_SUPPORT_H_
#define ORLIX_TESTS_SUPPORT_TEST_SUPPORT_H_

#include <string>
#include <vector>

namespace orlix::testing {

// Points the log at a fresh file for the life of the object, then switches it off.
class ScratchLog {
 public:
  ScratchLog();
  ~ScratchLog();
  ScratchLog(const ScratchLog&) = delete;
  ScratchLog& operator=(const ScratchLog&) = delete;

  const std::string& path() const { return path_; }
  // The file's bytes ("" when it does not exist).
  std::string Contents() const;
  // The message part of each line: between "ThreadId=<id>. " and " Time="
  // (the error part of failure lines comes after the time and is left out).
  std::vector<std::string> Messages() const;

 private:
  std::string dir_;
  std::string path_;
};

}  // namespace orlix::testing

#endif  // ORLIX_TESTS_SUPPORT_TEST_SUPPORT_H_
