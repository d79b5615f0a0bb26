// A customer's list worked by a line in random order: three stations take its rows and write
// pagers, some new from the box, some put back in; writes fail their verify or are stopped; a
// station's write is killed with its row taken; a station's register goes away and comes back;
// a done row's pager is swapped; a row not yet done changes and the list is taken in again as a
// new version. Lists may begin with duplicates and refused values, which the check must name
// at their lines. The pagers are the truth: after every step each pager holds one row's
// assignment or nothing of the list, no row is done twice, and every done row's pager holds it.
// A failing sequence names its seed; CCP_LIST_SEED runs that one alone, CCP_LIST_SEQUENCES more.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "commands/list_columns.h"
#include "commands/list_export.h"
#include "commands/list_row.h"
#include "commands/list_run.h"
#include "files/list_csv.h"
#include "image/capcode.h"
#include "list_fixture.h"
#include "records_fixture.h"
#include "register/engine_fixture.h"
#include "register/register_csv.h"

namespace ccp {
namespace {

using namespace std::chrono_literals;

constexpr int kStations = 3;
constexpr int kRows = 8;
constexpr int kSteps = 30;

int fromEnvironment(const char* name, int otherwise) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != '\0' ? std::atoi(text) : otherwise;
}

// A window's error boxes, as its fake desktop keeps them.
struct FakeBoxes : ErrorBoxes {
  explicit FakeBoxes(const testkit::FakePlatform& platform) : platform(platform) {}
  int errorBoxes() const override { return static_cast<int>(platform.errors.size()); }
  const testkit::FakePlatform& platform;
};

struct Station {
  std::string name;
  std::unique_ptr<test::RecordsFixture> window;
  std::unique_ptr<FakeBoxes> boxes;
  std::unique_ptr<ListRun> run;
  ListTemplate loaded;
  bool away = false;
};

struct ModelRow {
  int capcode = 0;
  std::string serial;
};

struct Pager {
  PagerContents contents;
  std::optional<int> row;    // the list's row written to it, in part or whole
  std::vector<RowUse> uses;  // what that row gave
  bool verified = false;
  bool retired = false;  // swapped out of the shop
};

class ListShop {
 public:
  ListShop(const std::string& location, bool shared, unsigned seed)
      : location_(location), random_(seed) {
    PagerContents blank = defaultPagerContents(test::kE);
    for (int row = 1; row <= kAddressCount; ++row)
      writeAddress(blank.decoder, row, 8 * row, row <= 2);
    templatePath_ = checker_.templateFile("list-template.eep", blank);
    const TemplateLoad loaded = loadListTemplate(checker_.form, templatePath_);
    EXPECT_TRUE(loaded.loaded) << loaded.why;
    loaded_ = *loaded.loaded;
    for (int i = 0; i < kStations; ++i) {
      Station& station = stations_.emplace_back();
      station.name = "s" + std::to_string(i + 1);
      station.window = std::make_unique<test::RecordsFixture>();
      station.window->records.now = [this] { return now_; };
      station.window->records.setRegister({}, {location_, station.name, shared, true});
      station.boxes = std::make_unique<FakeBoxes>(station.window->fx.platform);
      station.loaded = *loadListTemplate(station.window->f(), templatePath_).loaded;
    }
    for (int i = 0; i < kRows; ++i)
      rows_.push_back({1300000 + 8 * i, "SN" + std::to_string(100 + i)});
  }

  // The list checked (a bad one named at its lines, then mended) and taken in.
  std::string begin() {
    if (chance(40)) {
      std::vector<ModelRow> bad = rows_;
      bad[2].capcode = bad[1].capcode;  // line 4 gives line 3's capcode again
      std::string text = listText(bad);
      text += "Bad;12a;0000008;SN999\n";  // line 10: a capcode the window refuses
      std::set<std::size_t> lines;
      for (const ListProblem& p : check(text).problems) {
        if (!p.warning) lines.insert(p.line);
      }
      if (lines != std::set<std::size_t>{4, 10}) return "a bad list's problems at the wrong lines";
    }
    return takeIn(false);
  }

  void step() {
    now_ += 1min;
    const int what = pick(100);
    Station& station = stations_[pick(kStations)];
    if (what < 60) {
      write(station);
    } else if (what < 68) {
      killedWrite(station);
    } else if (what < 80) {
      goAwayOrComeBack(station);
    } else if (what < 88) {
      swap();
    } else if (what < 94) {
      changeARow();
    } else if (auto row = take(station)) {
      station.run->putBack(*row, "skipped");
      trail.push_back(station.name + " skips row " + std::to_string(row->entry.row));
    }
  }

  // Empty when the promise holds.
  std::string broken() {
    std::map<int, int> verifiedOf;  // row: the pagers in the shop verified with it
    for (const Pager& pager : pagers_) {
      if (pager.retired || !pager.row) continue;
      for (int row = 1; row <= kAddressCount; ++row) {
        const DecoderAddress address = readAddress(pager.contents.decoder, row);
        const auto use = std::find_if(pager.uses.begin(), pager.uses.end(),
                                      [row](const RowUse& u) { return u.row == row; });
        const bool ofRow = use != pager.uses.end() && use->capcode == address.capcode;
        if (address.enabled && !ofRow) return "a pager holds what no one row gave it";
        if (pager.verified && !address.enabled && use != pager.uses.end()) {
          return "a verified pager lacks its row's capcode";
        }
      }
      if (pager.verified) ++verifiedOf[*pager.row];
    }
    auto reg = openRegister(location_);
    const auto rows = reg->listRows(list_.id);
    for (const ListRowStatus& row : rows) {
      const int pagers = verifiedOf[row.entry.row];
      if (pagers > 1) return "row " + std::to_string(row.entry.row) + " on two pagers";
      if (row.state == ListRowState::Done && pagers != 1) {
        return "row " + std::to_string(row.entry.row) + " done, but no pager of the shop has it";
      }
    }
    // The list given back says "done" of exactly the rows whose pagers hold them.
    std::string why;
    const auto text = listExportText(list_, rows, test::kE.model, why);
    if (!text) return "the list cannot be given back: " + why;
    std::istringstream lines(*text);
    std::string line;
    std::getline(lines, line);  // its header
    for (int row = 1; std::getline(lines, line); ++row) {
      const bool done = line.find(";done;") != std::string::npos;
      if (done != (verifiedOf[row] == 1 && rows[row - 1].state == ListRowState::Done)) {
        return "the list given back says otherwise of row " + std::to_string(row);
      }
    }
    return {};
  }

  std::vector<std::string> trail;

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool chance(int percent) { return pick(100) < percent; }

  static std::string listText(const std::vector<ModelRow>& rows) {
    std::string text = "Name;Capcode;Capcode 2;Serial No.\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
      text += "Bed " + std::to_string(i + 1) + ";" + capcodeText(rows[i].capcode) + ";0000008;" +
              rows[i].serial + "\n";
    }
    return text;
  }

  ListCheckResult check(const std::string& text, ListEntry* entry = nullptr) {
    ListCheckRequest request;
    request.name = "ward.csv";
    request.entry = entry;
    std::istringstream in(text);
    return checkList(in, checker_.form, checker_.platform, loaded_, request);
  }

  std::string takeIn(bool newVersion) {
    ListEntry entry;
    const ListCheckResult result = check(listText(rows_), &entry);
    if (result.errors() != 0) {
      std::string why = "the mended list refused:";
      for (const ListProblem& p : result.problems)
        why += " " + std::to_string(p.line) + " " + p.why + ";";
      return why;
    }
    auto reg = openRegister(location_);
    const ListTaking taking = reg->takeList(entry, newVersion, {"s1", now_, {}});
    if (!taking.list) return "the list not taken in";
    list_ = *taking.list;
    columns_ = listColumns(fieldsOf(list_.header), checker_.form);
    for (Station& station : stations_) {
      station.run = std::make_unique<ListRun>(station.window->records, list_, station.name,
                                              [this] { return now_; });
    }
    return {};
  }

  static CsvFields fieldsOf(const std::string& record) {
    std::istringstream in(record);
    CsvReader reader(in);
    return reader.next(kListRecordLimit)->fields;
  }

  std::optional<ListRowStatus> take(Station& station) {
    try {
      return station.run->take();
    } catch (const RegisterError&) {
      return std::nullopt;  // its register is away
    }
  }

  // A pager into the station's Programmer: one of the shop's, or (`fresh`, or by chance) a new
  // one from the box.
  int plugIn(Station& station, bool fresh = false) {
    int p = fresh ? -1 : pick(static_cast<int>(pagers_.size()) + 3);
    if (p < 0 || p >= static_cast<int>(pagers_.size()) || pagers_[p].retired) {
      Pager& fresh = pagers_.emplace_back();
      fresh.contents = defaultPagerContents(test::kE);
      for (int row = 1; row <= kAddressCount; ++row) {
        writeAddress(fresh.contents.decoder, row, 1900000 + 8 * row, false);
      }
      p = static_cast<int>(pagers_.size()) - 1;
    }
    station.window->fx.programmer.setEeprom(pagers_[p].contents.eeprom);
    station.window->fx.programmer.setDecoder(pagers_[p].contents.decoder);
    return p;
  }

  void write(Station& station) {
    const auto row = take(station);
    if (!row) return;
    const int p = plugIn(station);
    test::PagerFixture& fx = station.window->fx;
    const int kind = pick(100);
    std::string fault;
    if (kind < 12) {
      fault = ", EEPROM NACK";
      fx.programmer.eepromChip().failAckAtByte(static_cast<unsigned>(20 + pick(500)));
    } else if (kind < 20) {
      fault = ", stopped";
      const int percent = 10 + pick(80);
      fx.platform.onProgress = [&fx, percent](const testkit::FakePlatform::Progress& progress) {
        if (progress.percent >= percent) fx.platform.stopAsked = true;
      };
    }
    const DecoderBlock before = pagers_[p].contents.decoder;
    const CsvFields cells = fieldsOf(row->entry.cells);
    const RowOutcome outcome = station.run->write(
        station.window->f(), *row,
        [&](TForm1& form, std::string& why) {
          const ListRowSettings s =
              setListRow(form, *station.boxes, station.loaded, columns_, cells, {});
          if (s.refused()) why = "refused";
          return !s.refused();
        },
        [&] { station.window->f().menuItem("WriteToPager").trigger(); });
    fx.programmer.eepromChip().failAckAtByte(0);
    fx.platform.onProgress = nullptr;
    fx.platform.stopAsked = false;
    Pager& pager = pagers_[p];
    pager.contents.eeprom = fx.pagerEeprom();
    pager.contents.decoder = fx.pagerDecoder();
    const auto& lines = fx.lines();
    const bool verified = std::find(lines.end() - 3, lines.end(), "Verify OK !") != lines.end();
    if (pager.contents.decoder != before) {
      pager.row = row->entry.row;
      pager.uses = row->entry.uses;
      pager.verified = verified;
    }
    trail.push_back(station.name + " writes row " + std::to_string(row->entry.row) + " to pager " +
                    std::to_string(p) + fault + ": " + outcome.line);
  }

  // A write killed once its decoder was written: its row stays taken by a writer that ended,
  // its claims made, its pager holding what it was sent.
  void killedWrite(Station& station) {
    if (station.away) return;
    Writer ended = newWriter(station.name);
    ended.started += 1;  // a process that had this one's id before
    auto reg = openRegister(location_);
    const auto row = reg->takeRow(list_.id, ended, std::nullopt, {}, now_);
    if (!row) return;
    const bool claimed = reg->claimWrite(row->entry.uses, ended, now_, {}).granted;
    trail.push_back(station.name + " dies writing row " + std::to_string(row->entry.row) +
                    (claimed ? "" : " (its claim refused)"));
    if (!claimed) return;
    const int p = plugIn(station, true);  // a pager that, read first, was none of the list's
    Pager& pager = pagers_[p];
    for (const RowUse& use : row->entry.uses) {
      writeAddress(pager.contents.decoder, use.row, use.capcode, true);
    }
    pager.row = row->entry.row;
    pager.uses = row->entry.uses;
    pager.verified = false;
  }

  void goAwayOrComeBack(Station& station) {
    station.away = !station.away;
    if (station.away) {
      station.window->loseRegister();
      trail.push_back(station.name + " loses its register");
      return;
    }
    station.window->regainRegister(location_, station.name);
    trail.push_back(station.name + " has its register back");
  }

  // A done row's pager is replaced: it leaves the shop, the row opens again.
  void swap() {
    auto reg = openRegister(location_);
    std::vector<int> done;
    for (const ListRowStatus& row : reg->listRows(list_.id)) {
      if (row.state == ListRowState::Done) done.push_back(row.entry.row);
    }
    if (done.empty()) return;
    const int row = done[pick(static_cast<int>(done.size()))];
    reg->swapRow(list_.id, row, {"s1", now_, "broken"});
    for (Pager& pager : pagers_) {
      if (pager.row == row && pager.verified && !pager.retired) pager.retired = true;
    }
    trail.push_back("row " + std::to_string(row) + " swapped");
  }

  // A row no station has taken gets another capcode; the list is taken in again as a new version.
  void changeARow() {
    auto reg = openRegister(location_);
    for (const ListRowStatus& row : reg->listRows(list_.id)) {
      if (row.state != ListRowState::Open) continue;
      rows_[row.entry.row - 1].capcode += 4 * 8 * kRows;
      const std::string taken = takeIn(true);
      trail.push_back("row " + std::to_string(row.entry.row) + " changed" +
                      (taken.empty() ? "" : ": " + taken));
      return;
    }
  }

  std::string location_;
  std::mt19937 random_;
  WallTime now_ = test::kNow;
  test::ListFixture checker_;
  std::string templatePath_;
  ListTemplate loaded_;
  ListColumns columns_;
  ListInfo list_;
  std::vector<ModelRow> rows_;
  std::vector<Station> stations_;
  std::vector<Pager> pagers_;
};

class ListModelTest : public test::EngineTest {};

TEST_P(ListModelTest, EachRowOnOnePagerAndEveryDoneRowsPagerHoldsIt) {
  const int only = fromEnvironment("CCP_LIST_SEED", 0);
  const int sequences = only != 0 ? 1 : fromEnvironment("CCP_LIST_SEQUENCES", 10);
  for (int n = 0; n < sequences; ++n) {
    const unsigned seed = only != 0 ? static_cast<unsigned>(only) : 2000u + n;
    ListShop shop(newRegister(), GetParam() == Engine::PostgreSQL, seed);
    std::string broken = shop.begin();
    for (int step = 0; broken.empty() && step < kSteps; ++step) {
      shop.step();
      broken = shop.broken();
    }
    if (broken.empty()) continue;
    std::string trail;
    for (const std::string& line : shop.trail) trail += "  " + line + "\n";
    FAIL() << "CCP_LIST_SEED=" << seed << ": " << broken << "\n" << trail;
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, ListModelTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);

}  // namespace
}  // namespace ccp
