#include "rules/folder_rules.h"

#include <algorithm>
#include <charconv>

#include "rules/rule_support.h"
#include "shell/conversion.h"
#include "shell/form.h"

namespace ccp::rules {

namespace {

constexpr std::size_t kTitleWidth = 9;

// Folders 0-7 and 8-F form two chains; 7 and F end them.
bool lastOfChain(int k) {
  return k == 7 || k == 15;
}
int chainEnd(int k) {
  return k < 8 ? 7 : 15;
}

CheckBox& active(TForm1& form, int k) {
  return form.checkBox(folderName("pubboxact", k));
}
TextField& title(TForm1& form, int k) {
  return form.textField(folderName("pubbox", k));
}
TextField& length(TForm1& form, int k) {
  return form.textField(folderName("pubboxlength", k));
}

void setFolderEnabled(TForm1& form, int k, bool enabled) {
  title(form, k).setEnabled(enabled);
  length(form, k).setEnabled(enabled);
}

// Cuts folder k's length by the excess. A loaded configuration may already total far more than
// 99; the cut then stops at 1, the shortest folder there is, rather than at zero or below.
void trimLength(TForm1& form, int k, int current, int excess) {
  length(form, k).setText(std::to_string(std::max(current - excess, 1)));
}

}  // namespace

int FolderExcess(TForm1& form) {
  long long total = 0;
  for (int k = 0; k < 16; ++k) {
    if (active(form, k).checked()) total += toInt(length(form, k));
  }
  return total > kFolderSlots
             ? static_cast<int>(std::min<long long>(total - kFolderSlots, INT32_MAX))
             : 0;
}

int SlotsUsed(TForm1& form) {
  long long total = 0;
  for (int k = 0; k < 16; ++k) {
    if (!active(form, k).checked()) continue;
    const std::string& text = length(form, k).text();
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size()) total += value;
  }
  return static_cast<int>(std::clamp<long long>(total, INT32_MIN, INT32_MAX));
}

void pubboxactClick(TForm1& form, int k) {
  if (!active(form, k).checked()) {
    setFolderEnabled(form, k, false);
    for (int later = k + 1; later <= chainEnd(k); ++later) {
      active(form, later).setChecked(false);  // runs the later folder's own rule
      active(form, later).setEnabled(false);
      setFolderEnabled(form, later, false);
    }
    return;
  }
  const int excess = FolderExcess(form);
  const int current = toInt(length(form, k));
  if (excess >= current) {
    form.beep();
    active(form, k).setChecked(false);
    form.logLine("Total length already reached max. 99, can not enable this mail box");
    return;
  }
  setFolderEnabled(form, k, true);
  if (!lastOfChain(k)) {
    active(form, k + 1).setEnabled(true);
    setFolderEnabled(form, k + 1, true);
  }
  if (excess == 0) return;
  form.beep();
  trimLength(form, k, current, excess);
  form.logLine("Out of total length 99, trim down the length automatic");
}

void pubboxlengthExit(TForm1& form, int k) {
  const int current = toInt(length(form, k));
  if (current == 0) {
    form.logLine("Length should large than ZERO");
    form.beep();
    length(form, k).setFocus();
    return;
  }
  const int excess = FolderExcess(form);
  if (excess == 0) return;
  trimLength(form, k, current, excess);
  form.logLine("Out of total length 99, trim down the length automatic");
  form.beep();
}

void pubboxExit(TForm1& form, int k) {
  padWithBlanks(title(form, k), kTitleWidth);
}

void bindFolderRules(TForm1& form) {
  for (int k = 0; k < 16; ++k) {
    active(form, k).onClick = [&form, k] { pubboxactClick(form, k); };
    length(form, k).onExit = [&form, k] { pubboxlengthExit(form, k); };
    title(form, k).onExit = [&form, k] { pubboxExit(form, k); };
  }
}

}  // namespace ccp::rules
