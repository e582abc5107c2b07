#include "module/error_tags.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using cifs::get_err_tag_from_index;

TEST(ErrorTags, BoundaryAndUnknownIdsHaveNoTag) {
  for (int id : {0, -5, 466, 467, 468, 1, 3, 385, 421, 465, INT32_MIN, INT32_MAX})
    EXPECT_EQ(get_err_tag_from_index(id), nullptr) << id;
}

TEST(ErrorTags, TableShapeHoldsForEveryRow) {
  const auto &table = cifs::errorTagMap;
  for (int i = 0; i < cifs::errorTagMap_rows; ++i) {
    EXPECT_EQ(table[i].id, i < 466 ? i : i + 1) << "position " << i;
    if (table[i].tag == nullptr) continue;
    std::string tag = table[i].tag;
    EXPECT_EQ(tag.rfind("@@", 0), 0u) << tag;
    EXPECT_LE(tag.size(), 69u) << tag;
    for (char c : tag.substr(2)) EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') << tag;
  }
  EXPECT_EQ(table[467].tag, nullptr);
  EXPECT_STREQ(table[0].tag, "@@success");
}

}  // namespace
