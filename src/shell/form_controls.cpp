// Every control of the two pages with its default state, as the window is built.
#include "shell/form_controls.h"

#include <string>
#include <vector>

#include "shell/form.h"

namespace ccp {

namespace {

using Items = std::vector<std::string>;

const Items kFormatItemsE = {"Numeric", "Alpha", "Disable", "Tone"};
const Items kTimeItems = {"4 sec", "8 sec", "16 sec", "32 sec"};
const Items kCheckItems = {"0x1", "0x2", "0x3", "0x4", "0x5", "0x6", "0x7"};

struct ListDefault {
  const char* name;
  Items items;
  int index;
  const char* hint;
};

const ListDefault kSettingLists[] = {
    {"dateformat", {"DD/MM/YY", "MM/DD/YY"}, 0, ""},
    {"autospace", {"Disable", "Enable"}, 0, ""},
    {"msgdisptime", kTimeItems, 3, ""},
    {"alerttime", kTimeItems, 2, ""},
    {"lowcell", {"0 sec", "16 sec"}, 1, ""},
    {"baudrate", {"512 bps", "1200 bps", "2400 bps"}, 1, ""},
    {"polarity", {"Normal", "Inverse"}, 0, ""},
    {"channelspace",
     {"25KHz", "20KHz", "12.5KHz", "10KHz"},
     0,
     "Hand program only support 25KHz channel space in firmware  version 1, 2"},
    {"pll", {"SM5170", "KS8809", "FS8308"}, 1, ""},
    {"urgcalladdr", {"Addr 1", "Addr 2", "Addr 3", "Addr 4", "Addr 5", "Addr 6", "ALL"}, 0, ""},
    {"urgcalltype", {"A tone", "B tone", "C tone", "D tone"}, 0, ""},
    {"urgcallmode", {"Normal", "Continuous"}, 0, ""},
    {"pubfoldermode", {"Continuous", "Discontinuous"}, 0, ""},
    {"pubcallno", {"Visible", "Invisible"}, 0, ""},
    {"repeatcallcheck", {"CT Independent", "CT dependent", "Disable"}, 0, ""},
    {"repeatcallreject", {"Disable", "1 min", "2 min", "5 min", "10 min"}, 0, ""},
    {"numset", {"0-9,'NL'U'SP'-][", "0-9,ABCDE'SP'"}, 0, ""},
    {"language",
     {"U.S.", "GERMAN", "SWISS", "FRENCH", "SWEDEN", "PORTUGAL", "SPAIN", "U.K.", "ITALY",
      "DENMARY/NORWAY"},
     7,
     ""},
    {"menulanguage",
     {"English", "German", "French", "Swedish", "Danish", "Norwegian", "Portuguese", "Spanish",
      "Italian", "Finnish", "Dutch"},
     0,
     ""},
    {"addrcheck", kCheckItems, 6, ""},
    {"datacheck", kCheckItems, 6, ""},
};

struct FieldDefault {
  const char* name;
  const char* text;
  std::size_t maxLength;  // 0: no limit
  const char* hint;
};

const FieldDefault kSettingFields[] = {
    {"hellomsg1", "---QPX730E ---", 14, ""},
    {"lcdholdtime", "005", 0, "1-255 sec, 0=always on"},
    {"contrast", "48", 0, "range 08-63"},
    {"rangetime", "030", 3, "0=always on; 1-255sec"},
    {"channelfreq", "457.00000", 9, ""},
    {"serial", "00000000", 8, ""},
    {"password", "4781", 4, ""},
    {"firmwareversion", "4", 1, ""},
    {"subversion", "", 1, ""},
    {"tonepatternA", "FFFC", 4, ""},
    {"tonepatternB", "CFFC", 4, ""},
    {"tonepatternC", "CCC0", 4, ""},
    {"tonepatternD", "CCCC", 4, ""},
    {"tonepatternPon", "A000", 4, ""},
    {"tonepatternLcell", "8000", 4, ""},
    {"tonepatternUcall", "D1B1", 4, ""},
    {"chineseheader", "+", 0, ""},
    {"engheader", "-", 0, ""},
    {"clearheader", "*", 0, ""},
};

struct BoxDefault {
  const char* name;
  const char* caption;
  bool checked;
  const char* hint;
};

const BoxDefault kSettingBoxes[] = {
    {"handprogram", "Hand program", false,
     "Will be disabled  if channel space <25KHz in Firmware 1&2"},
    {"urgentcall", "Urgent call", false, ""},
    {"unread_alert", "Remind Alert", true, ""},
    {"ota", "Public folder OTA disable", false, "Can be control by OTA +++ or --- command"},
    {"qsound", "Quiet sound", false, ""},
    {"outrangespecial", "Out Range Special Disaplay", false, ""},
    {"lowbatteryspecial", "Special Low battery option ", false, ""},
};

struct LabelDefault {
  const char* name;
  const char* caption;
  bool visible;
};

const LabelDefault kNamedLabels[] = {
    {"L_serial", "Serial No.", true},
    {"L_rangetime", "Out Range delay", true},
    {"L_rangetimeSec", "S", true},
    {"L_urgcalladdr", "Urgent call addr", true},
    {"L_pll", "PLL", true},
    {"L_password", "Password", true},
    {"L_PubHeader", "Public header", false},
    {"L_BS", "BS", false},
    {"L_Acheck", "Addr check", false},
    {"L_Dcheck", "Data check", false},
};

const char* const kMsgtypeHints[] = {
    "",
    "Select Private will disable message folder 1-4",
    "Select Private will disable message folder 5-8",
    "Select Private will disable message folder 9-12",
    "Select Private will disable message folder 9-12",
    "Select Private will disable message folder 9-12",
};
const int kMsgtypeDefaults[] = {0, 1, 1, 1, 0, 0};

// The service fields start hidden; the service code in the serial number shows them.
const char* const kServiceControls[] = {"chineseheader", "engheader", "clearheader", "BS1",
                                        "BS2",           "BS3",       "addrcheck",   "datacheck"};

}  // namespace

std::string folderDigit(int k) {
  return std::string(1, "0123456789ABCDEF"[k & 0xF]);
}

void FormBuilder::build(TForm1& form) {
  auto own = [&form](std::unique_ptr<Control> control) -> Control& {
    Control& ref = *control;
    form.byName_.emplace(ref.name(), &ref);
    form.order_.push_back(&ref);
    form.owned_.push_back(std::move(control));
    return ref;
  };
  auto text = [&](const std::string& name, std::string value, std::size_t maxLength,
                  std::string hint = "") -> TextField& {
    auto field = std::make_unique<TextField>(form, name);
    field->setMaxLength(maxLength);
    field->setText(std::move(value));
    field->setHint(std::move(hint));
    return static_cast<TextField&>(own(std::move(field)));
  };
  auto list = [&](const std::string& name, Items items, int index,
                  std::string hint = "") -> ComboBox& {
    auto box = std::make_unique<ComboBox>(form, name);
    box->setItems(std::move(items), index);
    box->setHint(std::move(hint));
    return static_cast<ComboBox&>(own(std::move(box)));
  };
  auto check = [&](const std::string& name, std::string caption, bool checked,
                   std::string hint = "") -> CheckBox& {
    auto box = std::make_unique<CheckBox>(form, name, std::move(caption));
    box->setChecked(checked);
    box->setHint(std::move(hint));
    return static_cast<CheckBox&>(own(std::move(box)));
  };

  // Page "Address/Folder", group "Address".
  for (int n = 1; n <= 6; ++n) {
    const std::string row = std::to_string(n);
    check("addr" + row + "en", "[" + row + "]", true);
    text("address" + row, std::to_string(2004000 + 8 * (n - 1)), 7);
    TextField& frame = text("frame" + row, "0", 1);
    frame.setReadOnly(true);
    frame.setEnabled(false);
    ComboBox& autoinc = list("autoinc" + row, {"0", "1", "2", "3", "4", "5", "6", "7", "8"}, 0);
    autoinc.setEditable(true, 1);
    list("msgtype" + row, {"Private", "Public"}, kMsgtypeDefaults[n - 1], kMsgtypeHints[n - 1]);
    for (char tone : {'A', 'B', 'C', 'D'}) {
      list("addr" + row + "format" + tone, kFormatItemsE, 1);
    }
  }

  // Page "Address/Folder", group "Message Folder".
  for (int k = 0; k < 16; ++k) {
    const std::string digit = folderDigit(k);
    const std::string index = (k < 10 ? "0" : "") + std::to_string(k);
    check("pubboxact" + digit, "[" + std::to_string(k + 1) + "]", true);
    text("pubbox" + digit, "FOLDER " + index + (k == 0 ? " " : ""), 9);
    text("pubboxlength" + digit, "1", 2);
  }

  // Page "Setting".
  for (const auto& f : kSettingFields) text(f.name, f.text, f.maxLength, f.hint);
  for (const auto& l : kSettingLists) list(l.name, l.items, l.index, l.hint);
  for (int b = 1; b <= 3; ++b) {
    Items values;
    for (int v = 0; v < 16; ++v) values.push_back(std::to_string(v));
    const std::string name = "BS" + std::to_string(b);
    list(name, values, 0, name);
  }
  for (const auto& b : kSettingBoxes) check(b.name, b.caption, b.checked, b.hint);
  for (const auto& l : kNamedLabels) {
    Control& label = own(std::make_unique<Label>(form, l.name, l.caption));
    label.setVisible(l.visible);
  }
  for (const char* name : kServiceControls) form.byName_.find(name)->second->setVisible(false);

  // Main menu, left to right.
  auto menu = [&form](const char* name, const char* caption) -> MenuItem& {
    auto item = std::make_unique<MenuItem>(form, name, caption);
    MenuItem& ref = *item;
    form.menuByName_.emplace(ref.name(), &ref);
    form.menuOrder_.push_back(&ref);
    form.menus_.push_back(std::move(item));
    return ref;
  };
  menu("File1", "&File");
  menu("Open1", "&Open");
  menu("Save1", "&Save");
  // Pager backups and the programming journal: a face that keeps them enables these.
  menu("BackupBeforeWrite1", "&Back up pagers before writing").setEnabled(false);
  menu("OpenBackup1", "Open bac&kup...").setEnabled(false);
  menu("OpenJournal1", "Open &journal folder").setEnabled(false);
  menu("Exit1", "&Exit");
  menu("ParallelPort1", "&Parallel Port");
  menu("LPT11", "LPT1").setChecked(true);
  menu("LPT21", "LPT2");
  menu("TestProgrammer1", "Test Programmer");
  menu("WriteToPager", "&WR_To_Pager");
  menu("ReadFromPager", "&RD_From_Pager");
  // The pager register: a face that reaches it enables these. "G", for "R" opens RD_From_Pager.
  menu("Register1", "Re&gister");
  menu("PagerRegister1", "&Pager register...").setEnabled(false);
  menu("RegisterSettings1", "Register &settings...").setEnabled(false);
  menu("ReleaseCapcode1", "&Release capcode...").setEnabled(false);
  menu("Help1", "&Help");
  menu("About1", "About");
}

}  // namespace ccp
