// An error box raised by a text that is not a number names the control that held the text.
#include <gtest/gtest.h>

#include <functional>

#include "files/temp_folder.h"
#include "pager_fixture.h"

namespace ccp {
namespace {

using test::PagerFixture;

TEST(ErrorField, EachConversionNamesItsControl) {
  const struct {
    const char* what;
    std::function<void(TForm1&)> action;
    const char* message;
    const char* field;
  } cases[] = {
      {"contrast left empty",
       [](TForm1& f) {
         f.textField("contrast").edit("", 0);
         f.textField("contrast").leave();
       },
       "'' is not a valid integer value", "contrast"},
      {"hold time pasted with a letter, quoted in UTF-8",
       [](TForm1& f) { f.textField("lcdholdtime").edit("5\xE9", 2); },
       "'5\u00E9' is not a valid integer value", "lcdholdtime"},
      {"address pasted with letters", [](TForm1& f) { f.textField("address3").edit("12ab", 4); },
       "'12ab' is not a valid integer value", "address3"},
      {"folder length left empty",
       [](TForm1& f) {
         f.textField("pubboxlength5").edit("", 0);
         f.textField("pubboxlength5").leave();
       },
       "'' is not a valid integer value", "pubboxlength5"},
      {"frequency of letters",
       [](TForm1& f) {
         f.textField("channelfreq").edit("abc", 3);
         f.textField("channelfreq").leave();
       },
       "'abc.00000' is not a valid floating point value", "channelfreq"},
      {"frequency out of range",
       [](TForm1& f) {
         f.textField("channelfreq").edit("010", 3);
         f.textField("channelfreq").leave();
       },
       "'010.00000' is not a valid channel frequency", "channelfreq"},
      {"spacing with no firmware version",
       [](TForm1& f) {
         f.textField("firmwareversion").edit("", 0);
         f.comboBox("channelspace").choose(1);
       },
       "'' is not a valid integer value", "firmwareversion"},
      {"write with an empty out-range delay",
       [](TForm1& f) {
         f.textField("rangetime").edit("", 0);
         f.menuItem("WriteToPager").trigger();
       },
       "'' is not a valid integer value", "rangetime"},
      {"write with an empty auto increment",
       [](TForm1& f) {
         f.comboBox("autoinc2").edit("");
         f.menuItem("WriteToPager").trigger();
       },
       "'' is not a valid integer value", "autoinc2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PagerFixture fx(test::kEFactory);
    c.action(fx.f());
    ASSERT_EQ(fx.platform.errors, std::vector<std::string>{c.message});
    EXPECT_EQ(fx.platform.errorFields, std::vector<std::string>{c.field});
  }
}

TEST(ErrorField, SaveNamesTheFolderLengthItCouldNotRead) {
  PagerFixture fx;
  test::TempFolder folder;
  fx.f().textField("pubboxlengthA").edit("", 0);
  fx.platform.saveAnswers.push_back(folder.file("out.eep"));
  fx.f().menuItem("Save1").trigger();
  EXPECT_EQ(fx.platform.errorFields, std::vector<std::string>{"pubboxlengthA"});
}

}  // namespace
}  // namespace ccp
