// The pages' captions: every control of the form that holds a value has exactly one place on
// its page, and every name the table gives is the form's.
#include "shell/page_labels.h"

#include <gtest/gtest.h>

#include <map>

#include "form_fixture.h"
#include "image/layout.h"
#include "shell/form_controls.h"

namespace ccp {
namespace {

class PagePlaces {
 public:
  explicit PagePlaces(TForm1& form) : form_(form) {}

  void name(const std::string& name) {
    const Control* control = form_.findControl(name);
    ASSERT_NE(control, nullptr) << name;
    if (pages::isModelLabel(name)) {
      EXPECT_EQ(control->kind(), ControlKind::Label) << name;
    } else {
      EXPECT_NE(control->kind(), ControlKind::Label) << name;
      ++placed[name];
    }
  }

  void row(const pages::PageRow& row) {
    // A row's label may read like a control's name ("contrast") and still be a fixed caption.
    if (pages::isModelLabel(row.label)) name(row.label);
    for (const pages::RowItem& item : row.items) {
      if (!item.caption) name(item.text);
    }
  }

  std::map<std::string, int> placed;

 private:
  TForm1& form_;
};

TEST(PageLabels, EveryValueControlHasOnePlaceAndEveryNameIsTheForms) {
  for (const BuildConfig config : {test::kE, test::kHFactory}) {
    test::FormFixture fx(config);
    PagePlaces places(fx.f());
    for (const pages::AddressColumn& c : pages::kAddressColumns) {
      for (int row = 1; row <= kAddressCount; ++row) places.name(addressControl(c, row));
    }
    for (const pages::FolderColumn& c : pages::kFolderColumns) {
      for (int k = 0; k < pages::kFolders; ++k) places.name(c.prefix + folderDigit(k));
    }
    places.name(pages::kGreeting);
    for (const pages::Captioned& pattern : pages::kTonePatterns) places.name(pattern.name);
    for (const pages::PageRow& row : pages::settingLeftRows()) places.row(row);
    for (const pages::PageRow& row : pages::settingMiddleRows()) places.row(row);
    for (const char* name : pages::settingChecks()) places.name(name);
    for (const pages::PageRow& row : pages::settingServiceRows()) places.row(row);
    places.row(pages::settingFirmwareRow());

    for (const Control* control : fx.f().controls()) {
      if (control->kind() == ControlKind::Label) continue;
      EXPECT_EQ(places.placed[control->name()], 1) << control->name();
    }
  }
}

}  // namespace
}  // namespace ccp
