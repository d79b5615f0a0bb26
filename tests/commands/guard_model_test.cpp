// A pager shop in random order: stations write and read the pagers of a pool on one register,
// guarded or not, taking the next free capcode or stopping, giving pagers serial numbers of their
// own or one they share; writes fail, are stopped, die with their claims made, or lose their
// connection while they write; a station's register goes away and its journal is imported when
// it comes back; a capcode is released by force while its pager is written; a pager is scrapped
// and its capcodes released by hand, before a journal of older writes is imported; conflicts are
// resolved as a user who looked at them would. The pagers themselves
// are the truth: after every step, a capcode in an enabled row of two pagers is a group capcode
// of each, or the register lists a conflict for it. A failing sequence names its seed; set
// CCP_GUARD_SEED to run that one alone, CCP_GUARD_SEQUENCES for more.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>

#include "commands/capcode_guard.h"
#include "commands/register_chores.h"
#include "image/capcode.h"
#include "records_fixture.h"
#include "register/engine_fixture.h"
#include "register/register_csv.h"

namespace ccp {
namespace {

using namespace std::chrono_literals;

constexpr int kStations = 3;
constexpr int kPagers = 6;
constexpr int kSteps = 40;

// Capcodes that meet: the individual and the group ones share some.
constexpr int kIndividual[] = {2004000, 2004001, 2004002, 2004008, 2004016};
constexpr int kGroup[] = {2004008, 2004016, 2004001, 2005000, 2005008};

int fromEnvironment(const char* name, int otherwise) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != '\0' ? std::atoi(text) : otherwise;
}

// The writer of a write that was killed: a process that had this one's id before.
Writer endedWriter(const std::string& station) {
  Writer writer = newWriter(station);
  writer.started += 1;
  return writer;
}

struct Pager {
  PagerContents contents;
  // For each row, the capcodes the writes that reached it gave there, and whether as individual
  // ones: the last verified write's, and those of writes that failed after it, as the pager may
  // have either's.
  std::array<std::map<int, bool>, kAddressCount> given{};
  bool individual(int row, int capcode) const {
    const auto found = given[row - 1].find(capcode);
    return found != given[row - 1].end() && found->second;
  }
  bool has(int capcode) const {
    for (int row = 1; row <= kAddressCount; ++row) {
      const DecoderAddress address = readAddress(contents.decoder, row);
      if (address.enabled && address.capcode == capcode) return true;
    }
    return false;
  }
  std::set<std::string> unrecorded;  // stations whose record of it waits in their journal
  // A write stopped or failed while the decoder was written: its capcodes may be of neither
  // write, unknown to anyone until the pager is read or written whole.
  bool torn = false;
};

struct Station {
  std::string name;
  std::unique_ptr<test::RecordsFixture> window;
  bool away = false;
};

class Shop {
 public:
  Shop(const std::string& location, bool shared, unsigned seed)
      : location_(location), shared_(shared), random_(seed) {
    for (int i = 0; i < kStations; ++i) {
      Station& station = stations_.emplace_back();
      station.name = "r" + std::to_string(i + 1);
      station.window = std::make_unique<test::RecordsFixture>();
      station.window->records.now = [this] { return now_; };
    }
    for (int i = 0; i < kPagers; ++i) pagers_.push_back(freshPager());
  }

  // One operation, at random.
  void step() {
    now_ += 1min;
    const int what = pick(100);
    Station& station = stations_[pick(kStations)];
    const int pager = pick(kPagers);
    if (what < 50) {
      write(station, pager);
    } else if (what < 68) {
      read(station, pager);
    } else if (what < 78) {
      goAwayOrComeBack(station);
    } else if (what < 86) {
      killedWrite(station, pager);
    } else if (what < 93) {
      resolveOne(station);
    } else {
      scrap(station, pager);
    }
  }

  // Every station's register back, and its journal taken in.
  void settle() {
    for (Station& station : stations_) {
      if (station.away) goAwayOrComeBack(station);
    }
  }

  // Empty when the promise holds: each capcode in enabled rows of two pagers is a group capcode
  // of each, or the register lists it as a conflict (or a station has yet to tell of it).
  std::string broken() {
    std::map<int, std::vector<std::pair<int, int>>> users;  // capcode: (pager, row)
    for (int p = 0; p < kPagers; ++p) {
      for (int row = 1; row <= kAddressCount; ++row) {
        const DecoderAddress address = readAddress(pagers_[p].contents.decoder, row);
        if (address.enabled) users[address.capcode].push_back({p, row});
      }
    }
    auto reg = openRegister(location_);
    std::set<int> listed;
    for (const Conflict& c : reg->conflicts()) listed.insert(c.capcode);
    std::string out;
    for (const auto& [capcode, uses] : users) {
      std::set<int> pagers;
      bool individual = false, untold = false;
      for (const auto& [p, row] : uses) {
        pagers.insert(p);
        individual |= pagers_[p].individual(row, capcode);
        untold |= !pagers_[p].unrecorded.empty() || pagers_[p].torn;
      }
      // A conflict resolved knowing these pagers have it: they may, but no more of them.
      const auto resolved = resolved_.find(capcode);
      const bool known = resolved != resolved_.end() && pagers.size() <= resolved->second;
      if (pagers.size() < 2 || !individual || untold || listed.count(capcode) || known) continue;
      out += "capcode " + std::to_string(capcode) + " on two pagers, no conflict listed; ";
    }
    return out;
  }

  std::vector<std::string> trail;  // what was done, step by step

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool chance(int percent) { return pick(100) < percent; }
  template <std::size_t N>
  int pickOf(const int (&values)[N]) {
    return values[pick(static_cast<int>(N))];
  }

  void plugIn(Station& station, int pager) {
    sim::SimulatedProgrammer& programmer = station.window->fx.programmer;
    programmer.setEeprom(pagers_[pager].contents.eeprom);
    programmer.setDecoder(pagers_[pager].contents.decoder);
  }
  void takeOut(Station& station, int pager) {
    pagers_[pager].contents.eeprom = station.window->fx.pagerEeprom();
    pagers_[pager].contents.decoder = station.window->fx.pagerDecoder();
  }

  // The file the station writes: random capcodes of the pools in random rows, and its
  // settings. The rows that will be individual.
  std::vector<int> prepareWrite(Station& station, RegisterSettings& settings, bool& guarded) {
    TForm1& form = station.window->f();
    for (int row = 1; row <= kAddressCount; ++row) {
      const std::string n = std::to_string(row);
      const int capcode = row == 1 ? pickOf(kIndividual) : pickOf(kGroup);
      form.textField("address" + n).setText(capcodeText(capcode));
      form.checkBox("addr" + n + "en").setChecked(row == 1 ? chance(90) : chance(40));
      form.comboBox("autoinc" + n).setIndex(row <= 2 && chance(30) ? 1 : 0);
    }
    // A serial number of the pager's own, or the one fresh pagers share.
    form.textField("serial").setText(chance(70) ? "SN" + std::to_string(pick(kPagers))
                                                : "00000000");
    static const std::vector<std::vector<int>> kUniqueRows = {{}, {}, {1}, {1, 2}, {2}};
    settings.uniqueRows = kUniqueRows[pick(static_cast<int>(kUniqueRows.size()))];
    settings.readBeforeWrite = chance(50);
    settings.whenTaken = chance(30) ? WhenTaken::TakeNextFree : WhenTaken::Stop;
    settings.allowUnguarded = station.away && chance(50);
    guarded = chance(85) || settings.whenTaken == WhenTaken::TakeNextFree;
    settings.guard = guarded;
    station.window->records.setRegister(settings, {location_, station.name, shared_, guarded});
    return individualRows(settings, autoincSteps(form));
  }

  // What the write gave each row becomes the pager's; a write that failed part way adds it to
  // what the pager had.
  static void designate(Pager& pager, const PagerRows& sent, const std::vector<int>& individual,
                        bool whole) {
    for (int row = 1; row <= kAddressCount; ++row) {
      if (whole) pager.given[row - 1].clear();
      if (sent.capcodes[row - 1]) {
        pager.given[row - 1][*sent.capcodes[row - 1]] =
            std::find(individual.begin(), individual.end(), row) != individual.end();
      }
    }
  }

  static PagerRows decoderRows(const DecoderBlock& decoder) {
    PagerRows rows;
    for (int row = 1; row <= kAddressCount; ++row) {
      const DecoderAddress address = readAddress(decoder, row);
      rows.capcodes[row - 1] = address.capcode;
      rows.enabled[row - 1] = address.enabled;
    }
    return rows;
  }

  void write(Station& station, int p) {
    RegisterSettings settings;
    bool guarded = false;
    const std::vector<int> individual = prepareWrite(station, settings, guarded);
    test::PagerFixture& fx = station.window->fx;
    Pager& pager = pagers_[p];
    const DecoderBlock before = pager.contents.decoder;
    plugIn(station, p);
    std::string fault;
    const int kind = pick(100);
    const int percent = 10 + pick(80);
    if (kind < 8) {
      fault = "decoder NACK";
      fx.programmer.decoderChip().failAckAtByte(static_cast<unsigned>(4 + pick(60)));
    } else if (kind < 16) {
      fault = "EEPROM NACK";
      fx.programmer.eepromChip().failAckAtByte(static_cast<unsigned>(20 + pick(500)));
    } else if (kind < 24) {
      fault = "stopped";
      fx.platform.onProgress = [&fx, percent](const testkit::FakePlatform::Progress& progress) {
        if (progress.percent >= percent) fx.platform.stopAsked = true;
      };
    } else if (kind < 28 && !station.away) {
      // The connection to the register drops while the pager is written, and comes back.
      fault = "connection dropped";
      fx.platform.onProgress = [&](const testkit::FakePlatform::Progress& progress) {
        if (progress.phase != "Decoder write") return;
        station.window->records.registerConnection().close();
        fx.platform.onProgress = nullptr;
      };
    } else if (kind < 34 && guarded && !individual.empty() && individual.front() == 1) {
      // Another station, told that row 1's capcode is being written, releases it all the same.
      Station& other = stations_[(&station - stations_.data() + 1) % kStations];
      fault = "row 1 forced";
      fx.platform.onProgress = [&](const testkit::FakePlatform::Progress& progress) {
        if (progress.phase != "Decoder write" || other.away) return;
        const std::string capcode = fx.f().textField("address1").text();
        // As a user does: told it is being written, then forcing it.
        auto reg = openRegister(location_);
        const auto claims = reg->claims();
        const bool writing = std::any_of(claims.begin(), claims.end(), [&](const Holder& h) {
          return h.capcode == std::stoi(capcode) && h.writer == Liveness::Alive;
        });
        if (writing) {
          releaseByHand(*reg, std::stoi(capcode), {other.name, now_, "forced"}, true);
        }
        fx.platform.onProgress = nullptr;
      };
    }
    fx.f().menuItem("WriteToPager").trigger();
    fx.programmer.decoderChip().failAckAtByte(0);
    fx.programmer.eepromChip().failAckAtByte(0);
    fx.platform.onProgress = nullptr;
    fx.platform.stopAsked = false;
    takeOut(station, p);
    const bool verified = fx.lines().back() == "Verify OK !" || releasedLast(fx);
    // What was sent, as the capcodes moved on by the guard were: the write's image.
    if (verified || pager.contents.decoder != before) {
      designate(pager, decoderRows(fx.f().image().decoder), individual, verified);
    }
    if (verified) pager.torn = false;
    if (!verified && pager.contents.decoder != before) pager.torn = true;
    if (station.away && pager.contents.decoder != before) pager.unrecorded.insert(station.name);
    trail.push_back(station.name + " writes " + std::to_string(p) + (guarded ? "" : " unguarded") +
                    (fault.empty() ? "" : ", " + fault) + ": " + fx.lines().back());
  }

  static bool releasedLast(test::PagerFixture& fx) {
    const auto& lines = fx.lines();
    return lines.size() >= 2 && lines[lines.size() - 2] == "Verify OK !" &&
           lines.back().find("was released while this pager was written") != std::string::npos;
  }

  void read(Station& station, int p) {
    station.window->records.setRegister({}, {location_, station.name, shared_, false});
    plugIn(station, p);
    station.window->f().menuItem("ReadFromPager").trigger();
    takeOut(station, p);
    if (station.window->fx.lines().back() == "Read completed") {
      pagers_[p].torn = false;
      if (station.away) pagers_[p].unrecorded.insert(station.name);
    }
    trail.push_back(station.name + " reads pager " + std::to_string(p) + ": " +
                    station.window->fx.lines().back());
  }

  // A write whose program was killed once its decoder was written: its claims stay, its pager
  // has what it was sent, and no record tells of it.
  void killedWrite(Station& station, int p) {
    if (station.away) return;
    RegisterSettings settings;
    bool guarded = false;
    const std::vector<int> individual = prepareWrite(station, settings, guarded);
    TForm1& form = station.window->f();
    PagerRows rows;
    for (int row = 1; row <= kAddressCount; ++row) {
      const std::string n = std::to_string(row);
      rows.capcodes[row - 1] = capcodeNumber(form.textField("address" + n).text());
      rows.enabled[row - 1] = form.checkBox("addr" + n + "en").checked();
    }
    const std::vector<RowUse> uses = rowUses(rows, individual);
    for (const RowUse& a : uses) {
      for (const RowUse& b : uses) {
        if (a.row != b.row && a.capcode == b.capcode && (a.individual || b.individual)) return;
      }
    }
    auto reg = openRegister(location_);
    const ClaimResult claim = reg->claimWrite(uses, endedWriter(station.name), now_, {});
    trail.push_back(station.name + " dies writing pager " + std::to_string(p) + ": " +
                    (claim.granted ? "claimed" : "refused"));
    if (!claim.granted) return;
    Pager& pager = pagers_[p];
    for (int row = 1; row <= kAddressCount; ++row) {
      writeAddress(pager.contents.decoder, row, rows.capcodes[row - 1].value_or(0),
                   rows.enabled[row - 1]);
    }
    designate(pager, rows, individual, true);
    pager.torn = false;
  }

  // A user looks at an open conflict and closes it: the pagers keep what they have.
  void resolveOne(Station& station) {
    if (station.away) return;
    auto reg = openRegister(location_);
    const auto open = reg->conflicts();
    if (open.empty()) return;
    const int capcode = open[pick(static_cast<int>(open.size()))].capcode;
    reg->resolve(std::nullopt, capcode, {station.name, now_, "looked at"});
    std::size_t having = 0;
    for (const Pager& pager : pagers_) having += pager.has(capcode) ? 1 : 0;
    resolved_[capcode] = std::max(resolved_[capcode], having);
    trail.push_back(station.name + " resolves " + std::to_string(capcode));
  }

  // A new pager, its rows off, with capcodes no other pager has.
  Pager freshPager() {
    Pager pager;
    pager.contents = defaultPagerContents(test::kE);
    for (int row = 1; row <= kAddressCount; ++row) {
      writeAddress(pager.contents.decoder, row, 2006000 + 8 * (made_ * kAddressCount + row), false);
    }
    ++made_;
    return pager;
  }

  // A pager is scrapped: a fresh one takes its place in the pool, and its individual capcodes,
  // that no other pager of the pool has, are released by hand. A station away may have written
  // it before: its journal, imported later, is older than the release.
  void scrap(Station& station, int p) {
    if (station.away) return;
    std::set<int> gone;
    for (int row = 1; row <= kAddressCount; ++row) {
      const DecoderAddress address = readAddress(pagers_[p].contents.decoder, row);
      if (address.enabled && pagers_[p].individual(row, address.capcode))
        gone.insert(address.capcode);
    }
    pagers_[p] = freshPager();
    auto reg = openRegister(location_);
    for (int capcode : gone) {
      if (onAnotherPager(capcode)) continue;
      releaseByHand(*reg, capcode, {station.name, now_, "scrapped"}, false);
    }
    trail.push_back(station.name + " scraps pager " + std::to_string(p));
  }

  bool onAnotherPager(int capcode) const {
    return std::any_of(pagers_.begin(), pagers_.end(),
                       [capcode](const Pager& pager) { return pager.has(capcode); });
  }

  void goAwayOrComeBack(Station& station) {
    station.away = !station.away;
    if (station.away) {
      station.window->loseRegister();
      trail.push_back(station.name + " loses its register");
      return;
    }
    station.window->regainRegister(location_, station.name);
    for (Pager& pager : pagers_) pager.unrecorded.erase(station.name);
    trail.push_back(station.name + " has its register back");
  }

  std::string location_;
  bool shared_;
  std::mt19937 random_;
  WallTime now_ = test::kNow;
  std::vector<Station> stations_;
  std::vector<Pager> pagers_;
  int made_ = 0;
  std::map<int, std::size_t> resolved_;  // capcode: how many pagers had it when resolved
};

class GuardModelTest : public test::EngineTest {};

TEST_P(GuardModelTest, NoCapcodeIsOnTwoPagersUnlessGroupOrListedAsAConflict) {
  const int only = fromEnvironment("CCP_GUARD_SEED", 0);
  const int sequences = only != 0 ? 1 : fromEnvironment("CCP_GUARD_SEQUENCES", 20);
  for (int n = 0; n < sequences; ++n) {
    const unsigned seed = only != 0 ? static_cast<unsigned>(only) : 1000u + n;
    Shop shop(newRegister(), GetParam() == Engine::PostgreSQL, seed);
    for (int step = 0; step <= kSteps; ++step) {
      if (step == kSteps) {
        shop.settle();
      } else {
        shop.step();
      }
      const std::string broken = shop.broken();
      if (broken.empty()) continue;
      std::string trail;
      for (const std::string& line : shop.trail) trail += "  " + line + "\n";
      FAIL() << "CCP_GUARD_SEED=" << seed << ", step " << step << ": " << broken << "\n" << trail;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, GuardModelTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);

}  // namespace
}  // namespace ccp
