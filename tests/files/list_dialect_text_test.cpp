// A list's dialect kept as a short text, and read back to write the list in it again.
#include "files/list_dialect_text.h"

#include <gtest/gtest.h>

namespace ccp {
namespace {

TEST(ListDialectText, EachDialectReadsBackAsItWas) {
  const struct {
    ListDialect dialect;
    const char* text;
  } cases[] = {
      {{',', ListEncoding::Utf8, Model::QPX730E, false, "\n"}, "comma UTF-8 LF"},
      {{';', ListEncoding::Utf8, Model::QPX730E, true, "\r\n"}, "semicolon UTF-8-BOM CRLF"},
      {{'\t', ListEncoding::PagerSet, Model::QPX730E, false, "\n"}, "tab Windows-1252 LF"},
      {{',', ListEncoding::PagerSet, Model::QPX730H, false, "\r\n"}, "comma Windows-1255 CRLF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(listDialectText(c.dialect), c.text);
    EXPECT_EQ(parseListDialectText(c.text, c.dialect.model), c.dialect) << c.text;
  }
  for (const char* other : {"", "comma UTF-8", "pipe UTF-8 LF", "comma UTF-16 LF", "comma UTF-8 CR",
                            "comma Windows-1255 LF"}) {
    EXPECT_FALSE(parseListDialectText(other, Model::QPX730E)) << other;
  }
}

}  // namespace
}  // namespace ccp
