#include "register/location_reading.h"

#include <libpq-fe.h>

#include <memory>
#include <utility>
#include <vector>

#include "image/plain_text.h"

namespace ccp {

namespace {

using Options = std::vector<std::pair<std::string, std::string>>;  // in libpq's order

constexpr std::string_view kSchemes[] = {"postgresql://", "postgres://"};

// libpq waits as long as the system does for a server that does not answer; a station should
// know within seconds. A connect is given up after 10 s; an idle connection whose server is gone
// is found by keepalives within 11 s, and one whose server stops acknowledging what was sent
// after 10 s (a frozen server, which still acknowledges, is the call watch's: call_watch.h).
// Each unless the URL sets it.
constexpr std::pair<const char*, const char*> kBounds[] = {
    {"connect_timeout", "10"},    {"keepalives", "1"},       {"keepalives_idle", "5"},
    {"keepalives_interval", "2"}, {"keepalives_count", "3"}, {"tcp_user_timeout", "10000"},
};

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool letter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool digit(char c) {
  return c >= '0' && c <= '9';
}

bool quote(char c) {
  return c == '\'' || c == '"';
}

// A server's scheme, as libpq knows it (in small letters), when the text begins with it in any
// case: libpq itself reads "PostgreSQL://" as a malformed keyword string.
std::optional<std::string_view> serverScheme(std::string_view text) {
  for (std::string_view scheme : kSchemes) {
    if (text.size() < scheme.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < scheme.size(); ++i) same = same && lower(text[i]) == scheme[i];
    if (same) return scheme;
  }
  return std::nullopt;
}

// "name:" at the start, as a URL's scheme is written: the name in small letters.
std::optional<std::string> schemeName(std::string_view text) {
  if (text.empty() || !letter(text[0])) return std::nullopt;
  std::size_t end = 1;
  while (end < text.size() && (letter(text[end]) || digit(text[end]) || text[end] == '+' ||
                               text[end] == '-' || text[end] == '.')) {
    ++end;
  }
  if (end == text.size() || text[end] != ':') return std::nullopt;
  std::string name;
  for (char c : text.substr(0, end)) name += lower(c);
  return name;
}

// libpq takes a URL's user name and password up to the first '@' before a '/', where the user
// meant the last '@': a password holding a '/' or '@' as it is would be read in part as the
// host, the port or the database, and said in messages.
bool passwordMisread(std::string_view url) {
  std::string_view place = url.substr(url.find("://") + 3);
  place = place.substr(0, place.find('?'));
  const std::size_t at = place.rfind('@');
  if (at == std::string_view::npos) return false;
  const std::string_view userInfo = place.substr(0, at);
  return userInfo.find(':') != std::string_view::npos &&
         userInfo.find_first_of("/@") != std::string_view::npos;
}

// libpq's message with what it quotes of the text left out: that may be part of a password.
std::string withoutQuotes(std::string_view message) {
  std::string said;
  bool quoted = false;
  for (char c : message) {
    if (c == '"') {
      if (!quoted) said += "\"...\"";
      quoted = !quoted;
    } else if (!quoted) {
      said += c;
    }
  }
  return said;
}

// The options libpq reads in the text, or why it cannot read it.
struct Parse {
  Options options;
  std::optional<std::string> refusal;
};

Parse libpqParse(const std::string& text) {
  char* error = nullptr;
  const std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> parsed(
      PQconninfoParse(text.c_str(), &error), PQconninfoFree);
  Parse parse;
  if (!parsed) {
    parse.refusal = error != nullptr ? withoutQuotes(trimmed(error)) : "out of memory";
    PQfreemem(error);
    return parse;
  }
  for (const PQconninfoOption* o = parsed.get(); o->keyword != nullptr; ++o) {
    if (o->val != nullptr) parse.options.emplace_back(o->keyword, o->val);
  }
  return parse;
}

const std::string* option(const Options& options, std::string_view key) {
  for (const auto& [name, value] : options)
    if (name == key) return &value;
  return nullptr;
}

// A value as a URL holds it: every byte but the unreserved ones and those of `keep` as %XX.
std::string encoded(std::string_view value, std::string_view keep = {}) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (letter(c) || digit(c) || std::string_view("-._~").find(c) != std::string_view::npos ||
        keep.find(c) != std::string_view::npos) {
      text += c;
    } else {
      text += {'%', kHex[byte >> 4], kHex[byte & 0x0F]};
    }
  }
  return text;
}

LocationReading refused(std::string why) {
  LocationReading reading;
  reading.why = std::move(why);
  return reading;
}

// The options as a URL's parameters (the key=value shape that SOCI passes on whole).
std::string optionsUrl(const Options& options) {
  std::vector<std::string> parameters;
  for (const auto& [key, value] : options) parameters.push_back(key + "=" + encoded(value));
  return "postgresql://?" + joined(parameters, "&");
}

Parse serverOptions(std::string_view text);

// A dbname that is itself a URL or a keyword string: libpq reads it as a whole location where a
// program asks it to, so it may hold a password as any location does.
bool isLocationText(std::string_view value) {
  return serverScheme(value) || value.find('=') != std::string_view::npos;
}

bool holdsPassword(const Options& options) {
  if (option(options, "password") != nullptr) return true;
  const std::string* database = option(options, "dbname");
  if (database == nullptr || !isLocationText(*database)) return false;
  const Parse nested = serverOptions(*database);
  return nested.refusal || holdsPassword(nested.options);
}

// The options of a server's location, or why there is none.
Parse serverOptions(std::string_view text) {
  if (const auto scheme = serverScheme(text)) {
    const std::string url = std::string(*scheme) + std::string(text.substr(scheme->size()));
    if (passwordMisread(url)) {
      return {{}, "write a '/' or '@' in the URL's user name or password as %2F or %40"};
    }
    Parse parse = libpqParse(url);
    if (parse.refusal) parse.refusal = "libpq cannot read the URL: " + *parse.refusal;
    return parse;
  }
  Parse parse = libpqParse(std::string(text));
  if (parse.refusal) {
    parse.refusal =
        "libpq cannot read it as a keyword string (host=... dbname=...): " + *parse.refusal;
  }
  return parse;
}

bool isServer(std::string_view text) {
  return serverScheme(text) || (!schemeName(text) && text.find('=') != std::string_view::npos);
}

std::vector<std::string_view> listItems(std::string_view list) {
  std::vector<std::string_view> items;
  for (std::size_t start = 0;;) {
    const std::size_t comma = list.find(',', start);
    items.push_back(list.substr(start, comma - start));
    if (comma == std::string_view::npos) return items;
    start = comma + 1;
  }
}

// A host a URL holds as it is: a name, an IPv4 address, or an IPv6 one (in brackets).
bool plainHost(std::string_view host) {
  for (char c : host)
    if (!letter(c) && !digit(c) && std::string_view("-._:").find(c) == std::string_view::npos)
      return false;
  return true;
}

// "host:port,host:port" when the hosts and ports can be written so; else nothing, and they go
// into the parameters.
std::optional<std::string> hostsAndPorts(const std::string* hosts, const std::string* ports) {
  if (hosts == nullptr) return ports == nullptr ? std::optional<std::string>("") : std::nullopt;
  const auto names = listItems(*hosts);
  const auto numbers = ports != nullptr ? listItems(*ports) : std::vector<std::string_view>();
  if (ports != nullptr && numbers.size() != names.size()) return std::nullopt;
  std::vector<std::string> places;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (!plainHost(names[i])) return std::nullopt;
    std::string place(names[i]);
    if (place.find(':') != std::string::npos) place = "[" + place + "]";
    if (ports != nullptr && !numbers[i].empty()) place += ":" + encoded(numbers[i]);
    places.push_back(place);
  }
  return joined(places, ",");
}

std::string shownUrl(std::string_view scheme, const Options& options, const std::string& mark);
std::string shownKeywords(const Options& options, const std::string& mark);

// A dbname as it may be shown: a location in it shown as one is, its password left out or
// shown as `mark`; one that cannot be read is not shown at all.
std::string shownDatabase(const std::string& value, const std::string& mark) {
  if (!isLocationText(value)) return value;
  const Parse nested = serverOptions(value);
  if (nested.refusal) return mark.empty() ? "..." : mark;
  if (const auto scheme = serverScheme(value)) return shownUrl(*scheme, nested.options, mark);
  return shownKeywords(nested.options, mark);
}

// A URL as libpq reads it, the password left out or shown as `mark`.
std::string shownUrl(std::string_view scheme, const Options& options, const std::string& mark) {
  const std::string* user = option(options, "user");
  const bool password = option(options, "password") != nullptr && !mark.empty();
  std::string shown(scheme);
  if (user != nullptr) shown += encoded(*user) + (password ? ":" + mark : "") + "@";
  const auto place = hostsAndPorts(option(options, "host"), option(options, "port"));
  if (place) shown += *place;
  if (const std::string* database = option(options, "dbname")) {
    const std::string name = shownDatabase(*database, mark);
    shown += "/" + encoded(name, name != *database ? "*" : "");
  }
  std::vector<std::string> parameters;
  for (const auto& [key, value] : options) {
    if (key == "user" || key == "password" || key == "dbname") continue;
    if (place && (key == "host" || key == "port")) continue;
    parameters.push_back(key + "=" + encoded(value, "/:,@"));
  }
  if (password && user == nullptr) parameters.push_back("password=" + mark);
  if (!parameters.empty()) shown += "?" + joined(parameters, "&");
  return shown;
}

// A keyword string as libpq reads it, the password left out or shown as `mark`.
std::string shownKeywords(const Options& options, const std::string& mark) {
  std::vector<std::string> pairs;
  for (const auto& [key, given] : options) {
    if (key == "password") {
      if (!mark.empty()) pairs.push_back(key + "=" + mark);
      continue;
    }
    const std::string value = key == "dbname" ? shownDatabase(given, mark) : given;
    const bool plain = !value.empty() && value.find_first_of(" \t\n\r\f\v'\\") == std::string::npos;
    std::string quoted;
    for (char c : value) {
      if (c == '\'' || c == '\\') quoted += '\\';
      quoted += c;
    }
    pairs.push_back(key + "=" + (plain ? value : "'" + quoted + "'"));
  }
  return joined(pairs, " ");
}

LocationReading file(std::string_view path) {
  LocationReading reading;
  reading.engine = Engine::SQLite;
  reading.connection = reading.shown = std::string(path);
  return reading;
}

// A server's location, read once: its connection with the bounds of its waits, and what is shown.
LocationReading server(std::string_view text, Options options) {
  LocationReading reading;
  reading.engine = Engine::PostgreSQL;
  reading.password = holdsPassword(options);
  const auto scheme = serverScheme(text);
  reading.shown = scheme ? shownUrl(*scheme, options, "***") : shownKeywords(options, "***");
  for (const auto& [keyword, value] : kBounds) {
    if (option(options, keyword) == nullptr) options.emplace_back(keyword, value);
  }
  reading.connection = optionsUrl(options);
  return reading;
}

}  // namespace

LocationReading readLocation(std::string_view text) {
  if (text.empty()) return refused("no register was named");
  // Blanks or quotes around a location are a slip of the shell or of a settings file: taken as
  // a file's name, they would make a register of their own in the working folder.
  constexpr std::string_view kBlanks = " \t\n\r\f\v";
  if (text.find_first_not_of(kBlanks) == std::string_view::npos) {
    return refused("it is only blanks: no register was named");
  }
  if (kBlanks.find(text.front()) != std::string_view::npos ||
      kBlanks.find(text.back()) != std::string_view::npos) {
    return refused("it begins or ends with a blank: write it without");
  }
  if (quote(text.front()) || (quote(text.back()) && !isServer(text))) {
    return refused("quotes are not part of a location: write it without them");
  }
  if (text.starts_with('/') || text.starts_with("./") || text.starts_with("../")) {
    return file(text);
  }
  if (isServer(text)) {
    const Parse parse = serverOptions(text);
    return parse.refusal ? refused(*parse.refusal) : server(text, parse.options);
  }
  if (const auto name = schemeName(text); name == "postgresql" || name == "postgres") {
    return refused("a server's URL begins postgresql:// (two slashes after the colon)");
  }
  if (text.find(':') != std::string_view::npos) {
    return refused(
        "only a postgresql:// URL names a server, and a file whose name holds ':' is written "
        "./NAME");
  }
  if (text.starts_with('~')) {
    return refused("'~' is the home folder to a shell only: write the path out in full");
  }
  if (text.find('@') != std::string_view::npos) {
    return refused(
        "a server is named postgresql://user@server/database, and a file whose name holds '@' "
        "is written ./NAME");
  }
  return file(text);
}

bool isSharedRegister(std::string_view location) {
  return readLocation(location).engine == Engine::PostgreSQL;
}

std::string withoutPassword(const std::string& location, const std::string& mark) {
  const LocationReading reading = readLocation(location);
  if (reading.engine == Engine::SQLite) return location;
  if (!reading.engine) return "(a location that cannot be read)";  // it may hold a password
  const Parse parse = serverOptions(location);
  if (const auto scheme = serverScheme(location)) return shownUrl(*scheme, parse.options, mark);
  return shownKeywords(parse.options, mark);
}

}  // namespace ccp
