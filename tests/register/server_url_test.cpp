#include "register/server_url.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <map>

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

// A '/' or '@' in a password, written as it is or as libpq wants it, never reaches a message.
TEST(ServerUrl, APasswordHoldingSlashOrAtIsLeftOutWhole) {
  const struct {
    const char* url;
    const char* shown;
  } cases[] = {
      {"postgresql://st:se/cret@db/p", "postgresql://st:***@db/p"},
      {"postgresql://st:se@cret@db:5432/p", "postgresql://st:***@db:5432/p"},
      {"postgres://st:se%2Fc%40ret@db/p", "postgres://st:***@db/p"},
      {"postgresql://db/p?password=se/c@ret&user=st", "postgresql://db/p?password=***&user=st"},
      {"/data/st:se@cret.sqlite", "/data/st:se@cret.sqlite"},  // a file, not a URL
  };
  for (const auto& c : cases) EXPECT_EQ(withoutPassword(c.url, "***"), c.shown) << c.url;
}

std::map<std::string, std::string> options(const std::string& conninfo) {
  std::map<std::string, std::string> read;
  PQconninfoOption* parsed = PQconninfoParse(conninfo.c_str(), nullptr);
  for (PQconninfoOption* o = parsed; o != nullptr && o->keyword != nullptr; ++o) {
    if (o->val != nullptr) read[o->keyword] = o->val;
  }
  PQconninfoFree(parsed);
  return read;
}

// The connection gets what libpq reads in the URL, its values' bytes kept, and the timeouts
// and keepalives that bound its waits, unless the URL has its own.
TEST(ServerUrl, TheConnectionHasTheUrlsOptionsAndItsBounds) {
  for (const std::string url :
       {"postgresql://st:se%2Fc%40r%20t@db:5433/p?sslmode=require&options=-csearch_path%3Dx",
        "postgres:///p?host=/run/postgresql",
        "postgresql://a,b:5432,5433/p?connect_timeout=3&keepalives_idle=30"}) {
    std::map<std::string, std::string> expected = options(url);
    expected.insert({{"connect_timeout", "10"},
                     {"keepalives", "1"},
                     {"keepalives_idle", "5"},
                     {"keepalives_interval", "2"},
                     {"keepalives_count", "3"},
                     {"tcp_user_timeout", "10000"}});
    EXPECT_EQ(options(serverConnectionText(url)), expected) << url;
  }
}

// A URL that libpq cannot read, or would read part of the password in as a host, a port or a
// database (and name it in its message), is refused before any connection, the password unsaid.
TEST(ServerUrl, AUrlThatLibpqMisreadsIsRefusedUnsaid) {
  for (const char* url : {"postgresql://st:zqxw@db/p?colour=red", "postgresql://st:zq/xw@db:1/p",
                          "postgresql://st:zq@xw@db/p"}) {
    try {
      serverConnectionText(url);
      ADD_FAILURE() << url << " was taken";
    } catch (const RegisterError& error) {
      const std::string said = error.what();
      EXPECT_EQ(error.fault(), RegisterFault::Invalid) << said;
      EXPECT_EQ(said.find("zq"), std::string::npos) << said;
      EXPECT_EQ(said.find("xw"), std::string::npos) << said;
    }
  }
}

}  // namespace
}  // namespace ccp
