
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <map>

#include "register/location_reading.h"
#include "register/pager_register.h"

namespace ccp {
namespace {

// What is kept or shown of a location is what libpq reads in it, in the shape it was written,
// without the password or with a mark in its place. A '/', '@', '%' or blank in a password,
// written as it is or as libpq wants it, never reaches a message: libpq's own reading leaves it
// out, and text that libpq would misread is not shown.
TEST(ServerUrl, WhatIsShownOfALocationHoldsNoPassword) {
  const struct {
    const char* location;
    const char* mark;
    const char* shown;
  } cases[] = {
      {"postgresql://st:se:cret@db:5432/p", "", "postgresql://st@db:5432/p"},
      {"postgresql://st@db/p?password=x", "", "postgresql://st@db/p"},
      {"postgresql://db/p?sslmode=require&password=x&user=st", "",
       "postgresql://st@db/p?sslmode=require"},
      {"postgresql://st@db/p", "", "postgresql://st@db/p"},
      {"postgresql://st:se@db/p?password=x&user=st", "***", "postgresql://st:***@db/p"},
      {"host=db dbname=p password='se cret'", "***", "password=*** dbname=p host=db"},
      {"PostgreSQL://a:1,[::1]/p?application_name=my%20app%3D1", "",
       "postgresql://a:1,[::1]/p?application_name=my%20app%3D1"},
      {"postgres:///p?host=/run/postgresql&port=5433", "",
       "postgres:///p?host=/run/postgresql&port=5433"},
      {"postgresql://st:se/cret@db/p", "***", "(a location that cannot be read)"},
      {"postgresql://st:se@cret@db:5432/p", "***", "(a location that cannot be read)"},
      {"postgres://st:se%2Fc%40r%25e%20t@db/p", "***", "postgres://st:***@db/p"},
      {"postgresql://db/p?password=se/c@ret&user=st", "***", "postgresql://st:***@db/p"},
      {"postgresql://db/p?pass%77ord=secret", "***", "postgresql://db/p?password=***"},
      {"/data/st:se@cret.sqlite", "***", "/data/st:se@cret.sqlite"},  // a file, not a URL
      // A dbname that is a location itself, as libpq may read it.
      {"host=db dbname='postgresql://u:secret@h/p'", "***",
       "dbname=postgresql://u:***@h/p host=db"},
      {"host=db dbname='password=secret user=u'", "", "dbname=user=u host=db"},
      {"postgresql://db/postgresql%3A%2F%2Fu%3Asecret%40h%2Fp", "***",
       "postgresql://db/postgresql%3A%2F%2Fu%3A***%40h%2Fp"},
      {"postgresql://db?dbname=password%3Dsecret", "", "postgresql://db/"},
      {"host=db dbname='password=se cret'", "***", "dbname=*** host=db"},
      {"host=db dbname='a b'", "***", "dbname='a b' host=db"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(withoutPassword(c.location, c.mark), c.shown) << c.location;
  }
  EXPECT_TRUE(readLocation("host=db dbname='postgresql://u:secret@h/p'").password);
  EXPECT_FALSE(readLocation("host=db dbname='postgresql://u@h/p'").password);
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

// The connection is opened with what libpq reads in the text as it was written, whatever its
// form (the scheme's case is the only thing libpq itself would not take), its values' bytes
// kept, and the timeouts and keepalives that bound its waits unless the text has its own.
TEST(ServerUrl, TheConnectionHasWhatLibpqReadsInTheTextAndItsBounds) {
  const struct {
    const char* text;
    const char* asLibpqReads;  // none: the text itself
  } cases[] = {
      {"postgresql://st:se%2Fc%40r%20t@db:5433/p?sslmode=require&options=-csearch_path%3Dx",
       nullptr},
      {"PostgreSQL://st:p%40ss@db:5433/p", "postgresql://st:p%40ss@db:5433/p"},
      {"host=db port=5433 dbname=p password='a b&c=d'", nullptr},
      {"postgres:///p?host=/run/postgresql", nullptr},
      {"postgresql://a,b:5432,5433/p?connect_timeout=3&keepalives_idle=30", nullptr},
  };
  for (const auto& c : cases) {
    const LocationReading reading = readLocation(c.text);
    ASSERT_EQ(reading.engine, Engine::PostgreSQL) << c.text;
    std::map<std::string, std::string> expected = options(c.asLibpqReads ? c.asLibpqReads : c.text);
    expected.insert({{"connect_timeout", "10"},
                     {"keepalives", "1"},
                     {"keepalives_idle", "5"},
                     {"keepalives_interval", "2"},
                     {"keepalives_count", "3"},
                     {"tcp_user_timeout", "10000"}});
    EXPECT_EQ(options(reading.connection), expected) << c.text;
  }
}

constexpr std::optional<Engine> kRefused;

// Where a file's path ends and a server or a refusal begins (the spellings found in the field
// are run through ccp in tests/cli/register_location_test.cpp).
TEST(LocationReading, AServerAFileOrNeither) {
  const struct {
    const char* text;
    std::optional<Engine> engine;
    const char* why;  // part of it, when refused
  } cases[] = {
      {"postgres://", Engine::PostgreSQL, ""},
      {"/data/a:b=c@d.sqlite", Engine::SQLite, ""},
      {"./a:b.sqlite", Engine::SQLite, ""},
      {"../x@y.sqlite", Engine::SQLite, ""},
      {"register.sqlite", Engine::SQLite, ""},
      {"line 2/register.sqlite", Engine::SQLite, ""},
      {"postgresql:station@host/pagers", kRefused, "postgresql:// (two slashes"},
      {"postgresql://station@host/pagers?colour=red", kRefused, "libpq cannot read the URL"},
      {"host=host dbname=pagers colour=red", kRefused, "libpq cannot read it as a keyword"},
      {"a=b.sqlite", kRefused, "libpq cannot read it as a keyword"},
      {"sqlite:///var/register.sqlite", kRefused, "only a postgresql:// URL names a server"},
      {"C:\\pagers\\register.sqlite", kRefused, "only a postgresql:// URL names a server"},
      {"~/register.sqlite", kRefused, "write the path out in full"},
      {"", kRefused, "no register was named"},
      {" \t", kRefused, "only blanks"},
      {"register.sqlite ", kRefused, "begins or ends with a blank"},
      {" /data/register.sqlite", kRefused, "begins or ends with a blank"},
      {"'x'", kRefused, "quotes are not part of a location"},
      {"\"\"", kRefused, "quotes are not part of a location"},
      {"/data/x.sqlite'", kRefused, "quotes are not part of a location"},
      {"host=db dbname='my pagers'", Engine::PostgreSQL, ""},
  };
  for (const auto& c : cases) {
    const LocationReading reading = readLocation(c.text);
    EXPECT_EQ(reading.engine, c.engine) << c.text;
    EXPECT_NE(reading.why.find(c.why), std::string::npos) << c.text << ": " << reading.why;
    EXPECT_EQ(isSharedRegister(c.text), c.engine == Engine::PostgreSQL) << c.text;
  }
}

}  // namespace
}  // namespace ccp
