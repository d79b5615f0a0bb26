// A customer's list checked before its first pager: every problem at its line, in the file's
// order, whatever dialect the spreadsheet saved it in.
#include "commands/list_check.h"

#include <gtest/gtest.h>

#include "files/journal_columns.h"
#include "files/time_stamp.h"
#include "image/plain_text.h"
#include "list_fixture.h"
#include "register/register_error.h"

namespace ccp {
namespace {

// "6 Capcode '2004100': why", "1 warning: why": a problem as the tests compare it.
std::string shown(const ListProblem& p) {
  std::string text = std::to_string(p.line) + (p.warning ? " warning" : "");
  if (!p.column.empty()) text += " " + p.column + (p.value.empty() ? "" : " '" + p.value + "'");
  return text + ": " + p.why;
}

std::vector<std::string> shownAll(const ListCheckResult& result) {
  std::vector<std::string> all;
  for (const ListProblem& p : result.problems) all.push_back(shown(p));
  return all;
}

const std::string kPadded =
    " of fewer than seven digits, padded with leading zeros as the window pads them (a "
    "spreadsheet drops them from a column of numbers: format it as text)";
const std::string kOnePagerOnly = " too: an individual capcode goes to one pager only";
const std::string kOneOrOther = ": a capcode is one pager's own or a group's, never both";

// The template is a fresh QPX730E pager: capcodes 2004000 (row 1, its own) and 2004008 to
// 2004040 (rows 2-6, group rows), 1200 bps.
TEST(ListCheck, ACorpusOfSpreadsheetsGivesTheRightProblemsAtTheRightLines) {
  const struct {
    const char* name;
    std::string bytes;
    std::vector<std::string> problems;
  } cases[] = {
      {"commas, CRLF, lost zeros, a quoted line break, a capcode and a serial number twice",
       "Name,Capcode,Serial number\r\nAnna,12345,A1\r\n\"Bob\nJr\",2004100,A2\r\n"
       "Cid,99999,A3\r\nDan,2004100,A1\r\n",
       {"1 warning: 2 capcodes" + kPadded,
        "6 Capcode '2004100': capcode 2004100 is on line 3" + kOnePagerOnly,
        "6 Serial number 'A1': serial number A1 is on line 2 too"}},
      {"semicolons, a byte-order mark, scientific notation, values the window refuses or clamps",
       "\xEF\xBB\xBF"
       "Capcode;contrast;Greeting\n2,004E+06;40;Hello\n2004200;abc;Hi\n"
       "2004208;99;\xE2\x82\xACuro\n2004216;40;\xD7\xA9\xD7\x9C\n",
       {"2 Capcode '2,004E+06': a number in scientific notation: the spreadsheet took the column "
        "for numbers; format it as text and type the values again",
        "3 contrast 'abc': Number Key and back space key only",
        "4 warning contrast '99': contrast: 99 became 63",
        "5 Greeting 'של': the pager has no character 'ש'"}},
      {"tabs, Windows-1252, a text longer than its field, a capcode out of range",
       "Capcode\tName\tgreeting\n2004300\tRen\xE9\t\x80 5\n2004308\tJo\t" +
           std::string(15, '\x80') + "\n9999999\tKim\t\n",
       {"3 greeting '€€€€€€€€€€€€€€€': hellomsg1 takes at most 14 characters",
        "4 Capcode '9999999': Address [1] range out, should be within 8-2007663; "
        "2007672-2045055; 2045064-2097143"}},
      {"individual in one row, a group capcode in another; unique-rows of a row",
       "Name,Capcode,capcode 2,unique-rows\nA,2004400,2004408,\nB,2004408,2004416,\n"
       "C,2004500,2004416,\"1,2\"\nD,2004508,2004516,7\n",
       {"3 Capcode '2004408': capcode 2004408 is a group capcode on line 2" + kOneOrOther,
        "4 capcode 2 '2004416': capcode 2004416 is a group capcode on line 3" + kOneOrOther,
        "5 unique-rows '7': takes rows 1 to 6, such as 1,3"}},
      {"an individual capcode in two rows of one pager",
       "capcode 1,capcode 3\n2004600,2004600\n",
       {"2 capcode 1: Capcode 2004600 is in row 1 and row 3: an individual capcode goes in one "
        "row only"}},
      {"a column refused by name, a setting and its alias, an alias twice",
       "Capcode,Colour,address1,Name,capcode 2,Address2\n2004600,red,2004600,A,2004608,2004608\n",
       {"1 Colour: column 'Colour' is no setting, no name a list may give one and no column for "
        "people (name, label, note): ccp set --names lists the settings",
        "1 address1: column 'address1' gives address1 again: column 1 'Capcode' gives it",
        "1 Address2: column 'Address2' gives address2 again: column 5 'capcode 2' gives it"}},
      {"no capcode column",
       "Name,Serial\nA,1\n",
       {"0: no capcode column: a list needs one, named capcode (or address1)"}},
      {"rows of too many and too few fields; a blank row",
       "Capcode,Name\n2004700,A,x\n2004708\n,\n2004716,B\n",
       {"2: 3 fields where the header has 2", "3: 1 field where the header has 2"}},
      {"a baud rate and a channel that differ from the rest of the list; a padded frequency",
       "Capcode,baudrate,channelfreq\n2004800,512 bps,\n2004808,,457.5\n2004816,,\n"
       "2004824,,457\n",
       {"2 warning baudrate '512 bps': the rest of the list has 1200 bps",
        "3 warning channelfreq '457.50000': the rest of the list has 457.00000"}},
      {"most of the list on another baud rate than the template's",
       "Capcode,Baudrate\n2004900,512 bps\n2004908,512 bps\n2004916,\n",
       {"1 warning Baudrate '512 bps': 2 of the list's 3 rows have it; the template has 1200 bps",
        "4 warning Baudrate '1200 bps': the rest of the list has 512 bps"}},
      {"empty", "", {"0: not a list of pagers: the file is empty"}},
      {"binary after a good row",
       std::string("Capcode\n2004000\n2004\0"
                   "008\n",
                   23),
       {"3: not a list of pagers: line 3 holds a NUL byte: a binary file"}},
      {"a header and no row", "Capcode,Name\r\n,\r\n", {"0: no pager in the list: it has no rows"}},
      {"a journal of this program",
       joined(journalHeader(), ",") + "\n",
       {"1: records of this program (a journal, or the register's export), not a list of "
        "pagers"}},
      {"a list without its header",
       "2004000,Anna\n2004008,Bob\n",
       {"0: the first line is no header of a list: it names no column a list has"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::ListFixture fx;
    EXPECT_EQ(shownAll(fx.check(c.bytes)), c.problems);
  }
}

// 2026-12-07 11:25 UTC.
const WallTime kWritten = WallTime(std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} +
                                   std::chrono::hours(11) + std::chrono::minutes(25));

Holder heldBy(int capcode, bool individual, long long recordId, const std::string& station) {
  Holder h;
  h.capcode = capcode;
  h.row = individual ? 1 : 2;
  h.individual = individual;
  h.state = HolderState::Held;
  h.record = Record{};
  h.record->id = recordId;
  h.record->command = "write";
  h.record->station = station;
  h.record->at = h.at = kWritten;
  return h;
}

// The register is asked once, for every capcode, and its holds are judged as the guard judges
// them; the list's own done rows' records are not in its way.
TEST(ListCheck, CapcodesOtherPagersHoldAreSaidOnceAtTheirFirstLine) {
  test::ListFixture fx;
  int asked = 0;
  ListCheckRequest request;
  request.ownRecords = {7};
  request.holders = [&asked](const std::vector<RowUse>& uses) {
    ++asked;
    std::vector<Holder> holds;
    for (const RowUse& use : uses) {
      if (use.capcode == 2005000) holds.push_back(heldBy(2005000, true, 1, "station-2"));
      if (use.capcode == 2005008) holds.push_back(heldBy(2005008, false, 2, "station-2"));
      if (use.capcode == 2005016) holds.push_back(heldBy(2005016, true, 7, "station-1"));
      if (use.capcode == 2004016) holds.push_back(heldBy(2004016, true, 3, "station-3"));
      if (use.capcode == 2004024) holds.push_back(heldBy(2004024, false, 4, "station-3"));
    }
    return holds;
  };
  const std::string when = shownTimeStamp(localTime(kWritten), false);
  EXPECT_EQ(shownAll(fx.check("Capcode\n2005000\n2005008\n2005016\n2005024\n", request)),
            (std::vector<std::string>{
                "2 Capcode '2005000': Capcode 2005000 was written on " + when + " at station-2",
                // Row 3's group capcode of the template, another pager's own.
                "2 address3 '2004016': Capcode 2004016 was written on " + when + " at station-3",
                "3 Capcode '2005008': Capcode 2005008 is a group capcode of 1 pager (written on " +
                    when + " at station-2)",
            }));
  EXPECT_EQ(asked, 1);
}

TEST(ListCheck, ARegisterThatCannotBeAskedIsAnError) {
  test::ListFixture fx;
  ListCheckRequest request;
  request.holders = [](const std::vector<RowUse>&) -> std::vector<Holder> {
    throw RegisterError(RegisterFault::Unreachable, "The register's server cannot be reached");
  };
  const ListCheckResult result = fx.check("Capcode\n2005000\n", request);
  EXPECT_EQ(shownAll(result),
            (std::vector<std::string>{"0: capcodes could not be checked in the register: The "
                                      "register's server cannot be reached"}));
  EXPECT_FALSE(result.registerAsked);
}

}  // namespace
}  // namespace ccp
