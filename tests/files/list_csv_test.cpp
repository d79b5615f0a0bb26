// A customer's list as spreadsheets save it: read in each dialect, and written back the same.
#include "files/list_csv.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ccp {
namespace {

using Model::QPX730E;
using Model::QPX730H;

struct ExpectedRow {
  std::size_t line;
  CsvFields fields;
  std::string refused = {};
};

std::vector<ListRow> readAll(ListReader& reader) {
  std::vector<ListRow> rows;
  while (auto row = reader.next()) rows.push_back(std::move(*row));
  return rows;
}

TEST(ListReader, EachDialectGivesTheRightFieldsAtTheRightLines) {
  const std::string tooLong = std::string(40000, 'x') + "\n" + std::string(40000, 'y');
  const struct {
    const char* name;
    std::string bytes;
    Model model;
    ListDialect dialect;
    CsvFields header;
    std::vector<ExpectedRow> rows;
  } cases[] = {
      {"commas, quotes, a last line without its line break",
       "Name,Capcode,Note\nAnna, 2004000 ,\"say \"\"hi\"\"\"\n\"Bob\nJr\",2004001,\"a,b\"\nC,2,x",
       QPX730E,
       {},
       {"Name", "Capcode", "Note"},
       {{2, {"Anna", " 2004000 ", "say \"hi\""}},
        {3, {"Bob\nJr", "2004001", "a,b"}},
        {5, {"C", "2", "x"}}}},
      {"semicolons, a byte-order mark, CRLF",
       "\xEF\xBB\xBFName;Capcode\r\nJos\xC3\xA9;1,5\r\n\"x\r\ny\";2\r\n",
       QPX730E,
       {';', ListEncoding::Utf8, QPX730E, true, "\r\n"},
       {"Name", "Capcode"},
       {{2, {"José", "1,5"}}, {3, {"x\r\ny", "2"}}}},
      {"tabs, Windows-1252",
       "Name\tCapcode\tNote\nRen\xE9\t2004000\t\x80 5\n",
       QPX730E,
       {'\t', ListEncoding::PagerSet, QPX730E, false, "\n"},
       {"Name", "Capcode", "Note"},
       {{2, {"René", "2004000", "€ 5"}}}},
      {"Windows-1255 from the header on",
       "\xF9\xED,Capcode\r\n\xE0\xE1,2004000\r\n",
       QPX730H,
       {',', ListEncoding::PagerSet, QPX730H, false, "\r\n"},
       {"שם", "Capcode"},
       {{2, {"אב", "2004000"}}}},
      {"a late byte that is no UTF-8, after ASCII only",
       "Name,Capcode\nAnna,1\nRen\xE9,2\nJos\xC3\xA9,3\n",
       QPX730E,
       {',', ListEncoding::PagerSet, QPX730E, false, "\n"},
       {"Name", "Capcode"},
       {{2, {"Anna", "1"}}, {3, {"René", "2"}}, {4, {"JosÃ©", "3"}}}},
      {"a byte that is no UTF-8 after UTF-8",
       "Name,Capcode\nJos\xC3\xA9,1\nRen\xE9,2\nAnna,3\n",
       QPX730E,
       {},
       {"Name", "Capcode"},
       {{2, {"José", "1"}},
        {3, {}, "mixed encodings: bytes that are not UTF-8 in a UTF-8 list"},
        {4, {"Anna", "3"}}}},
      {"a record too long, read past",
       "Name,Capcode\nA,1\n\"" + tooLong + "\",2\nB,3\n",
       QPX730E,
       {},
       {"Name", "Capcode"},
       {{2, {"A", "1"}}, {3, {}, "longer than 65536 bytes"}, {5, {"B", "3"}}}},
      {"a header of two lines, a quote never closed",
       "\"Full\nname\"\nA\n\"B\nC\n",
       QPX730E,
       {},
       {"Full\nname"},
       {{3, {"A"}}, {4, {}, "a quoted field runs on: unmatched quote"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::istringstream in(c.bytes);
    ListReader reader(in, c.model);
    EXPECT_EQ(reader.header(), c.header);
    const std::vector<ListRow> rows = readAll(reader);
    ASSERT_EQ(rows.size(), c.rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].line, c.rows[i].line);
      EXPECT_EQ(rows[i].fields, c.rows[i].fields);
      EXPECT_EQ(rows[i].refused, c.rows[i].refused);
    }
    EXPECT_TRUE(reader.dialect() == c.dialect) << encodingName(reader.dialect());
  }
}

TEST(ListReader, WhatIsNoListIsSaidWithItsLine) {
  const struct {
    std::string bytes;
    std::size_t rowsFirst;  // read before it is found
    std::string why;
    std::size_t line;
  } cases[] = {
      {"", 0, "the file is empty", 0},
      {"\xEF\xBB\xBF", 0, "the file is empty", 0},
      {"Name,,Capcode\n", 0, "column 2 of the header has no name", 1},
      {"Name;Capcode;\r\n", 0, "column 3 of the header has no name", 1},
      {std::string("Na\0me,Capcode\n", 14), 0, "line 1 holds a NUL byte: a binary file", 1},
      {std::string("Name,Capcode\nA,1\nB\0,2\n", 22), 1, "line 3 holds a NUL byte: a binary file",
       3},
      {std::string("Name\n\"A\n\nB\0\"\n", 13), 0, "line 4 holds a NUL byte: a binary file", 4},
      {"Name\n" + std::string(70000, 'x') + "\n\n" + std::string("A\0\n", 3), 2,
       "line 4 holds a NUL byte: a binary file", 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    std::istringstream in(c.bytes);
    try {
      ListReader reader(in, QPX730E);
      for (std::size_t i = 0; i < c.rowsFirst; ++i) ASSERT_TRUE(reader.next());
      reader.next();
      ADD_FAILURE() << "read as a list";
    } catch (const NotAList& error) {
      EXPECT_EQ(error.what(), c.why);
      EXPECT_EQ(error.line(), c.line);
    }
  }
}

TEST(ListWriter, WritesBackWhatTheReaderGaveByteForByte) {
  const struct {
    std::string bytes;
    Model model;
  } lists[] = {
      {"Name,Capcode,Note\nJos\xC3\xA9,2004000,\"a,b\"\n\" Anna \",=1+2,\"two\nlines\"\n,,\n",
       QPX730E},
      {"\xEF\xBB\xBFName;Capcode\r\n\"x;y\";1,5\r\n\"say \"\"hi\"\"\";'+49\r\n", QPX730E},
      {"Name\tNote\nRen\xE9\t\x80\x81\n\"a\tb\"\t\n", QPX730E},
      {"\xF9\xED,Capcode\r\n\xE0\xE1,2004000\r\n", QPX730H},
  };
  for (const auto& list : lists) {
    std::istringstream in(list.bytes);
    ListReader reader(in, list.model);
    std::vector<CsvFields> records = {reader.header()};
    for (ListRow& row : readAll(reader)) records.push_back(std::move(row.fields));
    std::ostringstream out;
    ListWriter writer(out, reader.dialect());
    for (const CsvFields& record : records) ASSERT_TRUE(writer.write(record));
    EXPECT_EQ(out.str(), list.bytes);
  }
}

TEST(ListWriter, AFieldTheListsSetCannotHoldIsRefusedAndNothingWritten) {
  std::ostringstream out;
  ListWriter writer(out, {',', ListEncoding::PagerSet, QPX730E, false, "\n"});
  std::string why;
  EXPECT_FALSE(writer.write({"a", "\xD7\x90"}, &why));  // Hebrew alef
  EXPECT_EQ(why, "column 2: Windows-1252 has no character U+05D0");
  EXPECT_FALSE(writer.write({"\xE9"}, &why));
  EXPECT_EQ(why, "column 1 is not UTF-8");
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace ccp
