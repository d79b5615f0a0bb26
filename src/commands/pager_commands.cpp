#include "commands/pager_commands.h"

#include <algorithm>
#include <optional>
#include <string>

#include "commands/command_progress.h"
#include "commands/decode_image.h"
#include "commands/encode_image.h"
#include "commands/menu_hold.h"
#include "image/checksum.h"
#include "image/layout.h"
#include "image/text_field.h"
#include "link/eeprom_types.h"
#include "link/programmer_link.h"
#include "link/rest_on_exit.h"
#include "ports/clock.h"
#include "ports/port_claim.h"
#include "ports/time_source.h"
#include "rules/address_rules.h"
#include "rules/setting_rules.h"
#include "shell/conversion.h"
#include "shell/form.h"
#include "shell/platform.h"

namespace ccp {

namespace {

// One command's link to the Programmer, on the port base current at each access. The port is
// claimed once for the whole command and released when it ends, so other programs can use it
// between commands; a port that cannot be had at once fails the command's first transfer. The
// clock knows the command's transfers belong together.
// While it is held, a process that has to end at once puts the lines at rest first. The
// transfers stop where the pager is consistent when the user asks the platform to stop. The
// window shows the progress of the whole command and hides it when the command ends, however
// it ends.
class CommandLink {
 public:
  CommandLink(TForm1& form, CommandPlan plan)
      : command_(form.clock()),
        claim_(form.port(), static_cast<std::uint16_t>(form.portBase())),
        link_(
            form.port(), form.clock(),
            [&form] { return static_cast<std::uint16_t>(form.portBase()); },
            [&form] { return form.platform().stopRequested(); }),
        progress_(
            std::move(plan),
            [&form](const ProgressReport& report) { form.platform().showProgress(report); },
            dynamic_cast<const TimeSource*>(&form.clock())),
        linkProgress_(progress_.linkProgress()) {
    if (claim_.held()) rest_.emplace(form.port(), static_cast<std::uint16_t>(form.portBase()));
    progress_.start();
  }
  ~CommandLink() { progress_.end(); }
  CommandLink(const CommandLink&) = delete;
  CommandLink& operator=(const CommandLink&) = delete;

  bool claimed() const { return claim_.held(); }
  ProgrammerLink& link() { return link_; }
  const Progress& progress() const { return linkProgress_; }

 private:
  CommandScope command_;
  PortClaim claim_;
  std::optional<RestOnExit> rest_;
  ProgrammerLink link_;
  CommandProgress progress_;
  Progress linkProgress_;
};

void fail(TForm1& form, const char* line, int beeps = 1) {
  form.logLine(line);
  for (int i = 0; i < beeps; ++i) form.beep();
}

// A transfer that failed, or stopped because the user asked: false either way.
bool failed(TForm1& form, CommandLink& link, const char* line) {
  if (link.link().stopped()) {
    form.logLine(kInterruptedLine);
  } else {
    fail(form, line);
  }
  return false;
}

// Reads the whole EEPROM into the read buffer and checks it: the checksum always, the model
// marker in the customer edition. False when the command has to end.
bool readCheckedEeprom(TForm1& form, CommandLink& link) {
  Image& image = form.image();
  if (!link.claimed() || link.link().eeprom().EepTransfer(kPagerEepromType, "r", image.eepRead,
                                                          link.progress()) != kEepReadDone) {
    return failed(form, link, kEepromReadErrorLine);
  }
  if (!checksumOk(image.eepRead)) {
    fail(form, kChecksumErrorLine, 0);
    return false;
  }
  if (form.config().edition == Edition::Customer &&
      !modelMatches(form.config(), image.eepRead[eep::kModelMarker])) {
    fail(form, kModelMismatchLine);
    return false;
  }
  return true;
}

// The failure of an EEPROM write: the line between two beeps 200 ms apart.
void eepromWriteFailed(TForm1& form, const char* line) {
  form.beep();
  form.logLine(line);
  form.clock().sleepMs(200);
  form.beep();
}

void takeFirmwareIdentity(TForm1& form) {
  const EepBlock& eep = form.image().eep;
  form.textField("firmwareversion").setText(std::to_string(eep[eep::kFirmwareVersion]));
  form.textField("subversion").setText(charFieldText(eep[eep::kSubversion]));
  form.comboBox("pll").setIndex(pllItemIndex(form.config(), (eep[eep::kChipFlags] >> 4) & 0x03));
  rules::firmwareversionChange(form);
}

void advance(TForm1& form, int n) {
  const std::string row = std::to_string(n);
  TextField& address = form.textField("address" + row);
  const int step = toInt(form.comboBox("autoinc" + row));
  address.setText(std::to_string(toInt(address) + step));
}

// The next pager of a batch gets the next capcodes, two rows at a time: the second row of a
// pair advances first, then both rows are left.
void advanceAddresses(TForm1& form) {
  static_assert(kAdvancingRows % 2 == 0);
  for (int second = 2; second <= kAdvancingRows; second += 2) {
    advance(form, second);
    advance(form, second - 1);
    rules::addressExit(form, second - 1);
    rules::addressExit(form, second);
  }
  rules::channelspaceChange(form);
}

}  // namespace

void ReadFromPagerClick(TForm1& form) {
  PagerCommandReport report;
  ReadFromPagerClick(form, report);
}

void WriteToPagerClick(TForm1& form) {
  PagerCommandReport report;
  WriteToPagerClick(form, WriteOptions{}, report);
}

void ReadFromPagerClick(TForm1& form, PagerCommandReport& report) {
  const MenuHold hold(form);
  CommandLink link(form, readFromPagerPlan());
  Image& image = form.image();
  form.logLine("Read data from pager");
  if (!link.claimed() ||
      !link.link().decoder().DecoderReadBlock(image.decoderRead, link.progress())) {
    failed(form, link, kDecoderReadErrorLine);
    return;
  }
  if (!readCheckedEeprom(form, link)) return;
  report.imageIsPagers = true;
  acceptLoadedImage(form, kReadCompletedLine);
}

void WriteToPagerClick(TForm1& form, const WriteOptions& options, PagerCommandReport& report) {
  const MenuHold hold(form);
  const auto mayWrite = [&options](const std::optional<PagerIdentity>& pager) {
    return !options.mayWrite || options.mayWrite(pager);
  };
  const bool wholeRead = options.backupFolder || options.readWholePager;
  if (!wholeRead && !mayWrite(std::nullopt)) return;
  const CommandPlan plan = writeToPagerPlan(form.config().edition);
  CommandLink link(form, !wholeRead             ? plan
                         : options.backupFolder ? withBackupRead(plan)
                                                : withBackupRead(plan, ""));
  Image& image = form.image();
  if (wholeRead && link.claimed()) {
    const auto pager = readWholePager(link.link(), link.progress());
    if (pager) report.pagerBefore = pagerIdentity(form.config(), pager->eep, pager->decoder);
    if (options.backupFolder) {
      report.backup = keepBackup(pager, link.link().stopped(), form.config(), *options.backupFolder,
                                 options.startedAt);
      if (report.backup.status == BackupStatus::Made && options.backedUp) {
        options.backedUp(report.backup);
      }
    }
    if (link.link().stopped()) {
      form.logLine(kInterruptedLine);
      return;
    }
    if (!mayWrite(report.pagerBefore)) return;
  }
  if (form.config().edition == Edition::Customer) {
    form.logLine("Read data from pager");
    if (!readCheckedEeprom(form, link)) return;
  }
  prepareWriteImage(form);
  form.logLine("Write to Pager...");
  storeChecksum(image.eep);
  report.imageIsPagers = true;
  DecoderProtocol& decoder = link.link().decoder();
  if (link.link().stopHere()) {  // asked for during the last read: nothing is sent yet
    form.logLine(kInterruptedLine);
    return;
  }
  report.writeBegun = link.claimed();
  if (!link.claimed() || !decoder.DecoderWriteBlock(image.decoder, link.progress())) {
    failed(form, link, kDecoderWriteFailedLine);
    return;
  }
  if (!decoder.DecoderVerifyBlock(image.decoder, link.progress())) {
    failed(form, link, kDecoderVerifyFailedLine);
    return;
  }
  switch (link.link().eeprom().EepTransfer(kPagerEepromType, "w", image.eep, link.progress())) {
    case kEepWriteVerified:
      report.verified = true;
      form.logLine(kVerifiedLine);
      form.beep();
      advanceAddresses(form);
      return;
    case kEepVerifyFailed:
      eepromWriteFailed(form, kEepromVerifyFailedLine);
      return;
    case kEepInterrupted:
      form.logLine(kInterruptedLine);
      return;
    default:
      eepromWriteFailed(form, kEepromNotWrittenLine);
      return;
  }
}

void prepareWriteImage(TForm1& form) {
  Image& image = form.image();
  if (form.config().edition == Edition::Customer) {
    // Bytes the encoding does not set keep this very pager's values.
    image.eep = image.eepRead;
    takeFirmwareIdentity(form);
  } else {
    image.eep.fill(0);
    image.eep[eep::kModelMarker] = modelMarker(form.config().model);
  }
  EncodeImage(form);
}

void bindPagerCommands(TForm1& form) {
  form.menuItem("ReadFromPager").onClick = [&form] { ReadFromPagerClick(form); };
  form.menuItem("WriteToPager").onClick = [&form] { WriteToPagerClick(form); };
}

}  // namespace ccp
