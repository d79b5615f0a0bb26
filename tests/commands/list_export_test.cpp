// A customer's list given back: in the dialect it came in, each row with what became of it.
#include "commands/list_export.h"

#include <gtest/gtest.h>

#include "files/time_stamp.h"

namespace ccp {
namespace {

ListRowStatus rowOf(int row, const std::string& cells, ListRowState state) {
  ListRowStatus status;
  status.entry.row = row;
  status.entry.cells = cells;
  status.state = state;
  status.at = WallTime(std::chrono::hours(500'000));
  status.station = "station-2";
  return status;
}

TEST(ListExport, TheCustomersDialectWithEachRowsOutcome) {
  ListInfo list;
  list.header = "Name,Capcode";
  list.dialect = "semicolon Windows-1252 CRLF";
  ListRowStatus done = rowOf(1, "\"Zo\xC3\xAB; ward\",2004017", ListRowState::Done);
  done.recordId = 42;
  done.serialRead = "SN7";
  ListRowStatus failed = rowOf(2, "B,2004018", ListRowState::Failed);
  failed.reason = "Decoder program error!";
  const ListRowStatus open = rowOf(3, "C,2004019", ListRowState::Open);
  std::string why;
  const auto text = listExportText(list, {done, failed, open}, Model::QPX730E, why);
  ASSERT_TRUE(text) << why;
  const std::string at = shownTimeStamp(localTime(done.at));
  EXPECT_EQ(*text,
            "Name;Capcode;State;Serial read;Station;Time;Record;Reason\r\n"
            "\"Zo\xEB; ward\";2004017;done;SN7;station-2;" +
                at +
                ";42;\r\n"
                "B;2004018;failed;;station-2;" +
                at +
                ";;Decoder program error!\r\n"
                "C;2004019;open;;;;;\r\n");

  // A row the list's single-byte set cannot hold is named; nothing is given back.
  failed.entry.cells = "\xE2\x98\x83,2004018";  // a snowman
  EXPECT_FALSE(listExportText(list, {done, failed}, Model::QPX730E, why));
  EXPECT_TRUE(why.starts_with("row 2: ")) << why;
  list.dialect = "pipe UTF-8 LF";
  EXPECT_FALSE(listExportText(list, {done}, Model::QPX730E, why));
  EXPECT_EQ(why, "the list's dialect 'pipe UTF-8 LF' is not one this program writes");
}

}  // namespace
}  // namespace ccp
