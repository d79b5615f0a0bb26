#pragma once

#include "link/bus.h"
#include "link/decoder_protocol.h"
#include "link/eeprom_protocol.h"
#include "link/lines.h"

namespace ccp {

// The whole link to one Programmer: lines, bus bit layer and both chip protocols, built over
// the port, the clock and the form's port base.
class ProgrammerLink {
 public:
  ProgrammerLink(PortIo& port, Clock& clock, PortBase base)
      : lines_(port, clock, std::move(base)), bus_(lines_), eeprom_(bus_), decoder_(bus_) {}
  ProgrammerLink(const ProgrammerLink&) = delete;
  ProgrammerLink& operator=(const ProgrammerLink&) = delete;

  Lines& lines() { return lines_; }
  Bus& bus() { return bus_; }
  EepromProtocol& eeprom() { return eeprom_; }
  DecoderProtocol& decoder() { return decoder_; }

 private:
  Lines lines_;
  Bus bus_;
  EepromProtocol eeprom_;
  DecoderProtocol decoder_;
};

}  // namespace ccp
