#include "commands/encode_image.h"

#include <gtest/gtest.h>

#include <functional>

#include "form_fixture.h"
#include "shell/conversion.h"

namespace ccp {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::FormFixture;

Bytes slice(const auto& block, std::size_t at, std::size_t n) {
  return Bytes(block.begin() + at, block.begin() + at + n);
}

TEST(EncodeImage, DefaultsGiveTheKnownDecoderBlock) {
  FormFixture fx;
  EncodeImage(fx.f());
  Bytes expected = {0x00, 0x6F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x88, 0x20, 0x00,
                    0x08, 0x01, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xA1, 0xA1,
                    0xA1, 0xA1, 0xA2, 0xA2, 0x06, 0x46, 0x86, 0xC6, 0x06, 0x46};
  expected.resize(kDecoderSize, 0x00);
  EXPECT_EQ(slice(fx.f().image().decoder, 0, kDecoderSize), expected);
  EXPECT_EQ(fx.f().image().eep[0x47], 0x01);
  EXPECT_EQ(fx.f().image().eep[0xFA], 0x20);
}

struct Case {
  const char* what;
  BuildConfig config;
  std::function<void(TForm1&)> set;
  std::size_t at;  // EEP offset, or kEepSize + decoder offset
  Bytes expected;
};

TEST(EncodeImage, FieldsFromTheWindow) {
  auto list = [](const char* name, int i) {
    return [=](TForm1& f) { f.comboBox(name).setIndex(i); };
  };
  auto both = [](auto a, auto b) { return [=](TForm1& f) { a(f), b(f); }; };
  auto box = [](const char* name, bool on) {
    return [=](TForm1& f) { f.checkBox(name).setChecked(on); };
  };
  auto text = [](const char* name, const char* t) {
    return [=](TForm1& f) { f.textField(name).setText(t); };
  };
  const Case cases[] = {
      {"long alert time", test::kE, list("alerttime", 4), 0x0A, {0x20}},
      {"long alert time, 0x1C", test::kE, list("alerttime", 4), 0x1C, {0x0C}},
      {"short alert time", test::kE, list("alerttime", 2), 0x1C, {0x0E}},
      {"urgent type 3, H",
       test::kH,
       both(box("urgentcall", true), list("urgcalltype", 3)),
       0x1C,
       {0xBE}},
      {"urgent type 3, E",
       test::kE,
       both(box("urgentcall", true), list("urgcalltype", 3)),
       0x1C,
       {0x7E}},
      {"low cell off clears both copies", test::kE, list("lowcell", 0), 0x22, {0x04}},
      {"low cell off, 0x27", test::kE, list("lowcell", 0), 0x27, {0x00}},
      {"range time keeps low 8 bits", test::kE, text("rangetime", "300"), 0x09, {44}},
      {"empty subversion", test::kEFactory, text("subversion", ""), 0xF9, {0x00}},
      {"short password", test::kE, text("password", "12"), 0x23, {'1', '2', 0x00, 0xAB}},
      {"folders 10, 20, off",
       test::kE,
       both(both(text("pubboxlength0", "10"), text("pubboxlength1", "20")),
            box("pubboxact2", false)),
       0xD8,
       {0x00, 0x09, 0x0A, 0x1D, 0xFF, 0x00}},
      {"disabled address keeps its capcode",
       test::kE,
       box("addr2en", false),
       kEepSize + 0x0D,
       {0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xA1, 0xA1, 0xA1, 0xA1, 0xA2, 0xA2, 0x06, 0x44}},
      {"inverse 2400 bps",
       test::kE,
       both(list("polarity", 1), list("baudrate", 2)),
       kEepSize,
       {0x80, 0x7F}},
  };
  for (const Case& c : cases) {
    FormFixture fx(c.config);
    fx.f().image().eep.fill(0xAB);  // what a pager read left: preserved bytes must survive
    c.set(fx.f());
    EncodeImage(fx.f());
    const Image& image = fx.f().image();
    const Bytes got = c.at < kEepSize ? slice(image.eep, c.at, c.expected.size())
                                      : slice(image.decoder, c.at - kEepSize, c.expected.size());
    EXPECT_EQ(got, c.expected) << c.what;
    for (std::size_t at : {0x00, 0x0B, 0x0D, 0x20, 0x2A, 0x2F, 0x100, 0x1FF}) {
      EXPECT_EQ(image.eep[at], 0xAB) << c.what << " at " << at;
    }
  }
}

TEST(EncodeImage, ConversionFailureStopsWhereItIs) {
  FormFixture fx;
  TForm1& f = fx.f();
  f.textField("contrast").setText("");
  f.textField("lcdholdtime").setText("7");
  f.image().eep.fill(0xAB);
  EXPECT_THROW(EncodeImage(f), ConversionError);
  EXPECT_EQ(f.image().eep[0x1D], 7);     // before the contrast
  EXPECT_EQ(f.image().eep[0x21], 0xAB);  // the contrast and everything after it
  EXPECT_EQ(f.image().eep[0x22], 0xAB);

  // All enable bits are written before any capcode is read.
  FormFixture gx;
  TForm1& g = gx.f();
  g.textField("address3").setText("");
  g.checkBox("addr6en").setChecked(false);
  g.textField("address1").setText("8");
  EXPECT_THROW(EncodeImage(g), ConversionError);
  EXPECT_EQ(slice(g.image().decoder, 0x18, 6), Bytes({0x46, 0x46, 0x06, 0x06, 0x06, 0x04}));
  EXPECT_EQ(g.image().decoder[0x0C], 0x00);
}

}  // namespace
}  // namespace ccp
