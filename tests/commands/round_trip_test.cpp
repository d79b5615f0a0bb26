#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "files/temp_folder.h"
#include "form_fixture.h"
#include "image/layout.h"

namespace ccp {
namespace {

// Random edits as a user makes them: choosing entries, clicking boxes, typing and leaving.
class RandomUser {
 public:
  RandomUser(TForm1& form, unsigned seed) : form_(form), random_(seed) {}

  void act() {
    const auto& controls = form_.controls();
    Control* c = controls[pick(controls.size())];
    if (c->kind() == ControlKind::ComboBox) {
      auto& list = static_cast<ComboBox&>(*c);
      list.choose(static_cast<int>(pick(static_cast<std::size_t>(list.count()))));
    } else if (c->kind() == ControlKind::CheckBox) {
      static_cast<CheckBox&>(*c).click();
    } else if (c->kind() == ControlKind::TextField) {
      auto& field = static_cast<TextField&>(*c);
      if (pick(2) == 0) field.edit("", 0);
      field.type(randomText());
      field.leave();
    }
  }

  void revealServiceFields() {
    TextField& serial = form_.textField("serial");
    serial.edit("", 0);
    serial.type("Wrenfold");
    serial.leave();
  }

  std::size_t pick(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
  }

 private:
  std::string randomText() {
    static const std::string kDigits = "0123456789";
    static const std::string kOthers = "ABCDEFabcxyz -+*.~\b";
    std::string text;
    const std::size_t length = 1 + pick(9);
    for (std::size_t i = 0; i < length; ++i) {
      text += pick(4) == 0 ? kOthers[pick(kOthers.size())] : kDigits[pick(kDigits.size())];
    }
    return text;
  }

  TForm1& form_;
  std::mt19937 random_;
};

bool saveTo(test::FormFixture& fx, const std::string& path) {
  const std::size_t errors = fx.platform.errors.size();
  fx.platform.saveAnswers.push_back(path);
  fx.f().menuItem("Save1").trigger();
  return fx.platform.errors.size() == errors && fx.lines().back() == "ok!";
}

TEST(RoundTrip, SavedFileOpensAndSavesTheSameBytes) {
  const BuildConfig configs[] = {test::kE, test::kEFactory, test::kH, test::kHFactory};
  test::TempFolder dir;
  const std::string first = dir.file("first.eep");
  const std::string second = dir.file("second.eep");
  int saved = 0;
  for (unsigned seed = 1; seed <= 300; ++seed) {
    test::FormFixture fx(configs[seed % 4]);
    RandomUser user(fx.f(), seed);
    if (user.pick(4) == 0) user.revealServiceFields();
    const std::size_t actions = 1 + user.pick(40);
    for (std::size_t i = 0; i < actions; ++i) user.act();
    if (!saveTo(fx, first)) continue;  // a setting that is not a number, as typed
    ++saved;
    fx.platform.openAnswers.push_back(first);
    fx.f().menuItem("Open1").trigger();
    ASSERT_TRUE(saveTo(fx, second)) << "seed " << seed;
    ASSERT_EQ(test::readBytes(second), test::readBytes(first)) << "seed " << seed;
  }
  EXPECT_GT(saved, 150);
}

TEST(RoundTrip, EveryCharacterOfAGreetingOpensAndSavesAsTheSameByte) {
  test::TempFolder dir;
  const std::string first = dir.file("first.eep");
  const std::string second = dir.file("second.eep");
  for (const BuildConfig config : {test::kE, test::kH}) {
    // 0x20 to 0xFF, fourteen bytes at a time.
    for (int from = 0x20; from <= 0xFF; from += eep::kHelloMessageWidth) {
      std::string greeting(eep::kHelloMessageWidth, '\0');
      std::iota(greeting.begin(), greeting.end(), static_cast<char>(from));
      test::FormFixture made(config);
      made.f().textField("hellomsg1").setText(greeting);
      ASSERT_TRUE(saveTo(made, first));
      const auto saved = test::readBytes(first);
      ASSERT_EQ(std::string(saved.begin() + eep::kHelloMessage,
                            saved.begin() + eep::kHelloMessage + eep::kHelloMessageWidth),
                greeting);

      test::FormFixture opened(config);
      opened.platform.openAnswers.push_back(first);
      opened.f().menuItem("Open1").trigger();
      ASSERT_TRUE(saveTo(opened, second));
      ASSERT_EQ(test::readBytes(second), saved) << "from " << from;
    }
  }
}

}  // namespace
}  // namespace ccp
