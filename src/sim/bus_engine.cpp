#include "sim/bus_engine.h"

#include <algorithm>

namespace ccp::sim {

void BusEngine::powerUp(bool scl, bool sda, std::uint64_t linesOnNs, std::uint64_t enable3Ns,
                        std::uint64_t nowNs) {
  powered_ = true;
  scl_ = scl;
  masterSda_ = sda;
  chipSda_ = true;
  phase_ = Phase::Idle;
  active_ = nullptr;
  sending_ = false;
  linesOnNs_ = linesOnNs;
  enable3Ns_ = enable3Ns;
  settleChecked_ = false;
  ackEndNs_.reset();
  quietFromNs_.reset();
  addressed_.clear();
  for (SimChip* chip : chips_) chip->powerUp();
  log_.push_back({WireEvent::Kind::PowerUp, 0, false, nowNs});
}

void BusEngine::powerDown(std::uint64_t nowNs, PowerOff how) {
  if (!powered_) return;
  checkQuiet(nowNs);
  checkClosing(how, nowNs);
  powered_ = false;
  for (SimChip* chip : chips_) chip->powerDown();
  log_.push_back({WireEvent::Kind::PowerDown, 0, false, nowNs});
}

void BusEngine::checkQuiet(std::uint64_t nowNs) {
  if (!quietFromNs_) return;
  checker_.check(quiet_.rule, *quietFromNs_, nowNs, quiet_.ns);
  quietFromNs_.reset();
}

void BusEngine::checkClosing(PowerOff how, std::uint64_t nowNs) {
  for (const SimChip* chip : addressed_) {
    if (const char* rule = chip->closingRule(how)) checker_.outOfOrder(rule, nowNs);
  }
}

void BusEngine::masterStep(std::uint64_t nowNs) {
  if (!powered_) return;
  checkQuiet(nowNs);
  if (ackEndNs_ && !firstStepAfterAckNs_) firstStepAfterAckNs_ = nowNs;
}

void BusEngine::masterLines(bool scl, bool sda, std::uint64_t nowNs) {
  if (!powered_) return;
  if (sda != masterSda_) {
    // A stop while a chip sends its byte: a chip driving a zero holds it off, and the
    // master must leave the last byte unacknowledged first.
    if (scl_ && sda && sending_ && phase_ == Phase::Bits)
      checker_.outOfOrder("stop condition while a chip sends", nowNs);
    const bool before = this->sda();
    masterSda_ = sda;
    const bool after = this->sda();
    if (scl_ && before != after) {
      if (after) {
        stop(nowNs);
      } else {
        start(nowNs);
      }
    }
  }
  if (scl != scl_) {
    scl_ = scl;
    if (scl) {
      clockRise();
    } else {
      clockFall(nowNs);
    }
  }
}

void BusEngine::endTransaction(bool stopped, std::uint64_t nowNs) {
  if (active_ != nullptr) {
    const Pause pause = active_->end(stopped, nowNs);
    if (pause.ns > 0) {
      quiet_ = pause;
      quietFromNs_ = nowNs;
    }
  }
  active_ = nullptr;
  sending_ = false;
  chipSda_ = true;
  ackEndNs_.reset();
}

void BusEngine::start(std::uint64_t nowNs) {
  endTransaction(false, nowNs);
  log_.push_back({WireEvent::Kind::Start, 0, false, nowNs});
  phase_ = Phase::Bits;
  bitIndex_ = 0;
  shift_ = 0;
  byteIndex_ = 0;
  readMode_ = false;
}

void BusEngine::stop(std::uint64_t nowNs) {
  // SDA rising within the ninth clock: nobody held it low, the byte was not acknowledged.
  if (phase_ == Phase::Ack) logByte(nowNs);
  endTransaction(true, nowNs);
  log_.push_back({WireEvent::Kind::Stop, 0, false, nowNs});
  phase_ = Phase::Idle;
}

void BusEngine::clockRise() {
  if (phase_ == Phase::Bits && bitIndex_ < 8) {
    shift_ = static_cast<std::uint8_t>(shift_ << 1 | (sda() ? 1 : 0));
    ++bitIndex_;
  }
}

// The acknowledge is taken as SDA stands when the ninth clock falls: the level the master
// samples last.
void BusEngine::logByte(std::uint64_t nowNs) {
  const bool ack = !sda();
  log_.push_back({WireEvent::Kind::Byte, shift_, ack, nowNs});
  // The master's acknowledge asks a sending chip for more; none ends its sending.
  if (readMode_ && byteIndex_ > 0 && !ack) sending_ = false;
}

void BusEngine::clockFall(std::uint64_t nowNs) {
  if (phase_ == Phase::Bits && bitIndex_ == 8) {
    byteComplete(nowNs);
    phase_ = Phase::Ack;
  } else if (phase_ == Phase::Ack) {
    logByte(nowNs);
    phase_ = Phase::Bits;
    bitIndex_ = 0;
    shift_ = 0;
    ++byteIndex_;
    chipSda_ = true;
    ackEndNs_ = nowNs;
    firstStepAfterAckNs_.reset();
    if (sending_) {
      txByte_ = active_->read();
      chipSda_ = (txByte_ & 0x80) != 0;
    }
  } else if (phase_ == Phase::Bits && sending_ && bitIndex_ > 0) {
    chipSda_ = ((txByte_ >> (7 - bitIndex_)) & 1) != 0;
  }
}

void BusEngine::byteComplete(std::uint64_t nowNs) {
  if (byteIndex_ == 0) {
    deviceByte(shift_, nowNs);
    return;
  }
  if (readMode_) {
    chipSda_ = true;  // released for the master's acknowledge
    return;
  }
  if (active_ != nullptr) {
    const std::uint64_t gap = active_->gapBeforeByteNs(byteIndex_);
    if (gap > 0 && ackEndNs_ && firstStepAfterAckNs_)
      checker_.check("pause before a decoder data byte", *ackEndNs_, *firstStepAfterAckNs_, gap);
  }
  chipSda_ = !(active_ != nullptr && active_->write(shift_));
}

void BusEngine::deviceByte(std::uint8_t value, std::uint64_t nowNs) {
  readMode_ = (value & 1) != 0;
  active_ = nullptr;
  for (SimChip* chip : chips_) {
    if (!chip->present() || !chip->addressedBy(value)) continue;
    if (std::find(addressed_.begin(), addressed_.end(), chip) == addressed_.end())
      addressed_.push_back(chip);
    if (!settleChecked_ && chip->linesOnSettleNs() > 0) {
      checker_.check("enable lines 1/2 before line 3", linesOnNs_, enable3Ns_,
                     chip->linesOnSettleNs());
      settleChecked_ = true;
    }
    if (chip->select(value, nowNs)) active_ = chip;
    break;
  }
  chipSda_ = active_ == nullptr;
  sending_ = readMode_ && active_ != nullptr;
}

}  // namespace ccp::sim
