// A checked list as the register takes it in, and a row as the window writes it.
#include <gtest/gtest.h>

#include "commands/list_row.h"
#include "commands/setting_edit.h"
#include "image/checksum.h"
#include "list_fixture.h"

namespace ccp {
namespace {

ListEntry entryOf(test::ListFixture& fx, const std::string& bytes,
                  std::vector<int> uniqueRows = {}) {
  ListEntry entry;
  ListCheckRequest request;
  request.name = "ward.csv";
  request.uniqueRows = std::move(uniqueRows);
  request.entry = &entry;
  EXPECT_EQ(fx.check(bytes, request).errors(), 0u);
  return entry;
}

TEST(ListEntry, EachRowWithItsLineLabelCapcodesSerialAndCells) {
  test::ListFixture fx;
  const ListEntry entry = entryOf(fx,
                                  "Name;Capcode;capcode 2;Serial No.;unique-rows;Note\r\n"
                                  "\"Ward\n3\";0012345;2004200;S1;1,2;=a+b\r\nLab;2004100;;;;\r\n");
  EXPECT_EQ(entry.name, "ward.csv");
  EXPECT_EQ(entry.header, "Name,Capcode,capcode 2,Serial No.,unique-rows,Note");
  EXPECT_EQ(entry.dialect, "semicolon UTF-8 CRLF");
  ASSERT_EQ(entry.rows.size(), 2u);
  const ListRowEntry& first = entry.rows[0];
  EXPECT_EQ(first.row, 1);
  EXPECT_EQ(first.line, 2u);
  EXPECT_EQ(first.label, "Ward\n3");
  EXPECT_EQ(first.serial, "S1");
  EXPECT_EQ(first.cells, "\"Ward\n3\",0012345,2004200,S1,\"1,2\",=a+b");
  EXPECT_EQ(first.uses, (std::vector<RowUse>{{1, 12345, true},
                                             {2, 2004200, true},
                                             {3, 2004016, false},
                                             {4, 2004024, false},
                                             {5, 2004032, false},
                                             {6, 2004040, false}}));
  const ListRowEntry& second = entry.rows[1];
  EXPECT_EQ(second.line, 4u);
  EXPECT_EQ(second.serial, "");  // the template's serial number is no list's
  EXPECT_EQ(second.uses.front(), (RowUse{1, 2004100, true}));
  EXPECT_EQ(second.uses[1], (RowUse{2, 2004008, false}));  // row 1 only, as the list says
}

// The same content in another dialect is the same list; what a row writes tells it apart, what
// people call it does not.
TEST(ListEntry, FingerprintsFollowWhatIsWrittenNotHowTheFileWasSaved) {
  test::ListFixture fx;
  const std::string list = "Name,Capcode,capcode 2\nRené,2004100,2004104\nLab,2004108,2004112\n";
  const ListEntry utf8 = entryOf(fx, list);
  const ListEntry windows =
      entryOf(fx, "Name;Capcode;capcode 2\r\nRen\xE9;2004100;2004104\r\nLab;2004108;2004112\r\n");
  EXPECT_EQ(windows.dialect, "semicolon Windows-1252 CRLF");
  EXPECT_EQ(utf8.fingerprint, windows.fingerprint);
  EXPECT_EQ(utf8.rows[0].fingerprint, windows.rows[0].fingerprint);

  const ListEntry renamed =
      entryOf(fx, "Name,Capcode,capcode 2\nAnna,2004100,2004104\nLab,2004108,2004112\n");
  EXPECT_NE(renamed.fingerprint, utf8.fingerprint);
  EXPECT_EQ(renamed.rows[0].fingerprint, utf8.rows[0].fingerprint);
  const ListEntry moved =
      entryOf(fx, "Name,Capcode,capcode 2\nRené,2004116,2004104\nLab,2004108,2004112\n");
  EXPECT_NE(moved.rows[0].fingerprint, utf8.rows[0].fingerprint);
  EXPECT_EQ(moved.rows[1].fingerprint, utf8.rows[1].fingerprint);
  EXPECT_NE(entryOf(fx, list, {1, 2}).rows[0].fingerprint, utf8.rows[0].fingerprint);

  PagerContents other = defaultPagerContents(fx.form.config());
  other.eeprom[eep::kSerial] = 'X';
  storeChecksum(other.eeprom);
  test::ListFixture withOther;
  const TemplateLoad load = loadListTemplate(withOther.form, fx.templateFile("other.eep", other));
  ASSERT_TRUE(load.loaded) << load.why;
  withOther.loaded = *load.loaded;
  EXPECT_NE(entryOf(withOther, list).fingerprint, utf8.fingerprint);
}

// Each row begins from the template: a cell left empty keeps the template's value, never the
// row before's.
TEST(ListRow, EveryRowBeginsFromTheTemplate) {
  test::ListFixture fx;
  const CsvFields header = {"Capcode", "contrast", "Name"};
  const ListColumns columns = listColumns(header, fx.form);
  const ListRowSettings first =
      setListRow(fx.form, fx.platform, fx.loaded, columns, {"2004100", "40", "A"}, {});
  EXPECT_FALSE(first.refused());
  EXPECT_EQ(fx.form.textField("contrast").text(), "40");
  const ListRowSettings second =
      setListRow(fx.form, fx.platform, fx.loaded, columns, {"2004108", "", "B"}, {});
  EXPECT_EQ(fx.form.textField("address1").text(), "2004108");
  EXPECT_NE(fx.form.textField("contrast").text(), "40");
  EXPECT_EQ(second.label, "B");
}

// A window no one sees says what its error box said, where a terminal's points above.
TEST(ListRow, AnErrorBoxIsSaidInTheRefusal) {
  test::ListFixture fx;
  EXPECT_EQ(changeAsUser(fx.form, fx.platform, {"contrast", ""}),
            "the window showed an error: '' is not a valid integer value");
}

TEST(ListRow, ADryRunSaysWhatEachRowChangesFromTheTemplate) {
  test::ListFixture fx;
  std::vector<RowPreview> rows;
  ListCheckRequest request;
  request.preview = [&rows](const RowPreview& row) { rows.push_back(row); };
  fx.check("Capcode,Name,hellomsg1\n2004100,A,\n2004000,B,Hi\n", request);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].label, "A");
  EXPECT_EQ(rows[0].changes, (std::vector<std::string>{"address1: 2004000 -> 2004100"}));
  EXPECT_EQ(rows[1].line, 3u);
  ASSERT_EQ(rows[1].changes.size(), 1u);
  EXPECT_TRUE(rows[1].changes[0].starts_with("hellomsg1: ")) << rows[1].changes[0];
}

TEST(ListTemplate, ATemplateOfTheOtherModelOrThatDoesNotLoadIsRefused) {
  test::ListFixture fx;
  PagerContents hebrew = defaultPagerContents({Model::QPX730H, Edition::Customer});
  const TemplateLoad other = loadListTemplate(fx.form, fx.templateFile("h.eep", hebrew));
  EXPECT_FALSE(other.loaded);
  EXPECT_TRUE(
      other.why.ends_with(": a template of the QPX730H: this program writes QPX730E pagers"))
      << other.why;
  hebrew.eeprom[eep::kSerial] ^= 1;  // its checksum no longer adds up
  const TemplateLoad damaged = loadListTemplate(fx.form, fx.templateFile("bad.eep", hebrew));
  EXPECT_TRUE(damaged.why.ends_with(": File checksum error!!!")) << damaged.why;
  EXPECT_TRUE(loadListTemplate(fx.form, fx.folder.file("none.eep"))
                  .why.ends_with("none.eep: could not be read: No such file or directory"));
}

}  // namespace
}  // namespace ccp
