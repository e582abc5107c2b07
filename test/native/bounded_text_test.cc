#include "values/bounded_text.h"

#include <gtest/gtest.h>

#include <string>

#include "module/request_instance.h"

namespace {

TEST(BoundedText, CopiesAreCutToTheFieldAndTerminated) {
  cifs::request_instance instance{};
  std::string long_key(100, 'k');
  cifs::copy_bounded(instance.error_key, long_key.c_str());
  EXPECT_EQ(std::string(instance.error_key), long_key.substr(0, 63));

  std::string dn(300, 'd');
  cifs::copy_bounded(instance.caller_dn, dn.c_str());
  EXPECT_EQ(std::string(instance.caller_dn).size(), 255u);

  cifs::copy_bounded(instance.operation_name, nullptr);
  EXPECT_STREQ(instance.operation_name, "");
}

}  // namespace
