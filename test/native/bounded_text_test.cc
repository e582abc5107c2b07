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

TEST(BoundedText, FormattedMessagesStopAt128Characters) {
  cifs::request_instance instance{};
  std::string value(200, 'v');
  cifs::format_bounded(instance.error_message, sizeof instance.error_message, "x: %s", value.c_str());
  EXPECT_EQ(std::string(instance.error_message).size(), 128u);
  EXPECT_EQ(instance.error_tag[0], '\0') << "the neighbouring field stays untouched";
}

TEST(RequestInstance, StartsEmpty) {
  cifs::request_ptr instance(cifs::allocate_request_instance());
  ASSERT_TRUE(instance);
  EXPECT_EQ(instance->error_code, 0u);
  EXPECT_EQ(instance->error_id, 0u);
  EXPECT_EQ(instance->operation, 0);
  EXPECT_STREQ(instance->operation_name, "");
  EXPECT_EQ(instance->entries_head, nullptr);
  EXPECT_EQ(instance->work, nullptr);
  EXPECT_FALSE(instance->share_list);
}

}  // namespace
