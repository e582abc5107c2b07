#include "base/error_tags.h"

#include <gtest/gtest.h>

namespace {

using cifs::get_err_tag_from_index;

TEST(ErrorTags, BoundaryAndUnknownIdsHaveNoTag) {
  for (int id : {0, -5, 466, 467, 468, 1, 3, 385, 421, 465, INT32_MIN, INT32_MAX})
    EXPECT_EQ(get_err_tag_from_index(id), nullptr) << id;
}

}  // namespace
