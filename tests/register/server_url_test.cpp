#include <gtest/gtest.h>

#include "register/pager_register.h"

namespace ccp {
namespace {

TEST(RegisterSettings, AUrlToKeepHoldsNoPassword) {
  EXPECT_EQ(withoutPassword("postgresql://st:se:cret@db:5432/p"), "postgresql://st@db:5432/p");
  EXPECT_EQ(withoutPassword("postgresql://st@db/p?password=x"), "postgresql://st@db/p");
  EXPECT_EQ(withoutPassword("postgresql://db/p?sslmode=require&password=x&user=st"),
            "postgresql://db/p?sslmode=require&user=st");
  EXPECT_EQ(withoutPassword("postgresql://st@db/p"), "postgresql://st@db/p");
  EXPECT_EQ(withoutPassword("postgresql://st:se@db/p?password=x&user=st", "***"),
            "postgresql://st:***@db/p?password=***&user=st");
}

}  // namespace
}  // namespace ccp
