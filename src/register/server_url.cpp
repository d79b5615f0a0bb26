#include "register/server_url.h"

#include <libpq-fe.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "image/plain_text.h"
#include "register/pager_register.h"

namespace ccp {

namespace {

// libpq waits as long as the system does for a server that does not answer; a station should
// know within seconds. A connect is given up after 10 s; an idle connection whose server is gone
// is found by keepalives within 11 s, and one whose server stops acknowledging what was sent
// after 10 s (a frozen server, which still acknowledges, is the call watch's: call_watch.h).
// Each unless the URL sets it.
constexpr std::pair<const char*, const char*> kBounds[] = {
    {"connect_timeout", "10"},    {"keepalives", "1"},       {"keepalives_idle", "5"},
    {"keepalives_interval", "2"}, {"keepalives_count", "3"}, {"tcp_user_timeout", "10000"},
};

// A shared register's URL as this program cuts it: scheme://[user[:password]@]place[?query]. The
// user and password run to the last '@' before the query, where libpq takes them to the first
// '@' before a '/': a password holding a '/' or '@' not written as %2F or %40 is still all of it.
struct UrlParts {
  std::string_view scheme;  // with its "://"
  std::optional<std::string_view> userInfo;
  std::string_view place;  // host, port, database
  std::optional<std::string_view> query;

  bool hasPassword() const { return userInfo && userInfo->find(':') != std::string_view::npos; }
  // libpq would read part of the password as the host, the port or the database, and say them.
  bool passwordMisread() const {
    return hasPassword() && userInfo->find_first_of("/@") != std::string_view::npos;
  }
};

UrlParts urlParts(std::string_view url) {
  UrlParts parts;
  const std::size_t start = url.find("://") + 3;
  parts.scheme = url.substr(0, start);
  const std::size_t query = url.find('?', start);
  if (query != std::string_view::npos) parts.query = url.substr(query + 1);
  parts.place = url.substr(start, query == std::string_view::npos ? query : query - start);
  if (const std::size_t at = parts.place.rfind('@'); at != std::string_view::npos) {
    parts.userInfo = parts.place.substr(0, at);
    parts.place.remove_prefix(at + 1);
  }
  return parts;
}

[[noreturn]] void unreadable(const std::string& url, const std::string& why) {
  throw RegisterError(RegisterFault::Invalid, "The register's URL cannot be read: " +
                                                  withoutPassword(url, "***") + " (" + why + ")");
}

using ParsedOptions = std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)>;

ParsedOptions parsedOptions(const std::string& url) {
  char* error = nullptr;
  ParsedOptions options(PQconninfoParse(url.c_str(), &error), PQconninfoFree);
  if (!options) {
    const std::string why = error != nullptr ? std::string(trimmed(error)) : "out of memory";
    PQfreemem(error);
    unreadable(url, why);
  }
  return options;
}

// A value as a URL parameter holds it: every byte but the unreserved ones as %XX.
std::string percentEncoded(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                            (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                            c == '~';
    if (unreserved) {
      encoded += c;
    } else {
      encoded += {'%', kHex[byte >> 4], kHex[byte & 0x0F]};
    }
  }
  return encoded;
}

}  // namespace

std::string serverConnectionText(const std::string& url) {
  if (urlParts(url).passwordMisread()) {
    unreadable(url, "write a '/' or '@' in its user name or password as %2F or %40");
  }
  const ParsedOptions options = parsedOptions(url);
  std::vector<std::string> parameters;
  std::vector<std::string_view> set;
  for (const PQconninfoOption* o = options.get(); o->keyword != nullptr; ++o) {
    if (o->val == nullptr) continue;
    set.emplace_back(o->keyword);
    parameters.push_back(std::string(o->keyword) + "=" + percentEncoded(o->val));
  }
  for (const auto& [keyword, value] : kBounds) {
    if (std::find(set.begin(), set.end(), keyword) == set.end()) {
      parameters.push_back(std::string(keyword) + "=" + value);
    }
  }
  return "postgresql://?" + joined(parameters, "&");
}

}  // namespace ccp
