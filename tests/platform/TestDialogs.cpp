// Every test of the layer runs with the test dialogs handed to the dialog
// manager, as the program's entry hands it the program's own.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/dialog/resource_script.h"
#include "tests/platform/TestDialogs.h"

namespace {

std::string ReadBeside(const std::string& name) {
  std::ifstream in(std::string(CHECKBOOK_TEST_DIALOGS) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class TestDialogs : public testing::Environment {
 public:
  void SetUp() override {
    script_ = layer::ParseResourceScript(ReadBeside("TestDialogs.rc"), ReadBeside("TestDialogs.h"));
    ASSERT_EQ(script_.error, "");
    ASSERT_NE(script_.Dialog(IDD_REGISTER), nullptr);
    layer::UseResources(&script_);
  }
  void TearDown() override { layer::UseResources(nullptr); }

 private:
  layer::ResourceScript script_;
};

[[maybe_unused]] const bool registered = (testing::AddGlobalTestEnvironment(new TestDialogs), true);

}  // namespace
