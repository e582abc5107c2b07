// The generated builder of one record shape, pinned: what every builder looks
// like, and a guard against a change to the generator slipping past the
// answers' own tests.
#include "values/record_shapes.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordBuilderSource, TheErrorObjectBuilder) {
  // Arguments: the target array and index, then one value per key. The usual
  // records are literals of a fixed shape; a value that could not be made
  // (undefined) leaves its key out on the slower path.
  const char *expected =
      "(function(t,i,a0,a1,a2,a3){var o;"
      "if(a0!==undefined&&a1!==undefined){"
      "if(a2!==undefined&&a3!==undefined)o={\"errorCode\":a0,\"description\":a1,\"errorID\":a2,\"args\":a3};"
      "else{o={\"errorCode\":a0,\"description\":a1};if(a2!==undefined)o[\"errorID\"]=a2;if(a3!==undefined)o[\"args\"]=a3;}"
      "}else{o={};"
      "if(a0!==undefined)o[\"errorCode\"]=a0;if(a1!==undefined)o[\"description\"]=a1;"
      "if(a2!==undefined)o[\"errorID\"]=a2;if(a3!==undefined)o[\"args\"]=a3;}"
      "if(t!==undefined)t[i]=o;return o;})";
  EXPECT_EQ(cifs::record_builder_source(cifs::record_keys(cifs::r_error_object)), expected);
}

}  // namespace
