#pragma once

#include "link/bus.h"
#include "link/decoder_protocol.h"
#include "link/eeprom_protocol.h"
#include "link/lines.h"
#include "link/transfer_stop.h"

namespace ccp {

// The whole link to one Programmer: lines, bus bit layer and both chip protocols, built over
// the port, the clock and the form's port base.
class ProgrammerLink {
 public:
  // `stopRequested` is asked at every point where the pager is consistent (TransferStop).
  ProgrammerLink(PortIo& port, Clock& clock, PortBase base,
                 std::function<bool()> stopRequested = {})
      : lines_(port, clock, std::move(base)),
        bus_(lines_),
        stop_(std::move(stopRequested)),
        eeprom_(bus_, &stop_),
        decoder_(bus_, &stop_) {}
  ProgrammerLink(const ProgrammerLink&) = delete;
  ProgrammerLink& operator=(const ProgrammerLink&) = delete;

  Lines& lines() { return lines_; }
  Bus& bus() { return bus_; }
  EepromProtocol& eeprom() { return eeprom_; }
  DecoderProtocol& decoder() { return decoder_; }
  // A transfer ended early because a stop was asked for.
  bool stopped() const { return stop_.stopped(); }
  // Whether a stop was asked for by now, as a transfer asks between its steps.
  bool stopHere() { return stop_.here(); }

 private:
  Lines lines_;
  Bus bus_;
  TransferStop stop_;
  EepromProtocol eeprom_;
  DecoderProtocol decoder_;
};

}  // namespace ccp
