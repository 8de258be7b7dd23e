#include "support/test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "frame/log.h"
#include "frame/registry.h"

namespace orlix::testing {
namespace {

// The test programs link the core directly; this stands in for the module's
// load and unload.
class SlotEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { AllocateThreadSlots(); }
  void TearDown() override {
    DestroyThreadRegistries();
    ReleaseThreadSlots();
  }
};

const auto* const kSlotEnvironment = ::testing::AddGlobalTestEnvironment(new SlotEnvironment);

}  // namespace

ScratchLog::ScratchLog() {
  char pattern[] = "/tmp/orlix-log-XXXXXX";
  const char* dir = mkdtemp(pattern);
  dir_ = dir ? dir : "/tmp";
  path_ = dir_ + "/orlix.log";
  SetLogFileName(path_);
}

ScratchLog::~ScratchLog() {
  SetLogFileName("");
  unlink(path_.c_str());
  rmdir(dir_.c_str());
}

std::string ScratchLog::Contents() const {
  std::ifstream in(path_, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> ScratchLog::Messages() const {
  std::vector<std::string> messages;
  const std::string text = Contents();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    const size_t start = line.find(". ");
    const size_t time = line.rfind(" Time=");
    if (start != std::string::npos && time != std::string::npos && time >= start + 2)
      messages.push_back(line.substr(start + 2, time - start - 2));
    else
      messages.push_back(line);
    pos = end + 2;
  }
  return messages;
}

}  // namespace orlix::testing
