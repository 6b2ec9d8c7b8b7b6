// Every chip carries a serial of its own that no identity write changes: the EM4305's UID
// (word 1) and the T5577's traceability data (page 1, blocks 1-2). A write run keeps the serial
// of each chip it wrote and never writes onto one of them again, however its identity reads at
// the moment: the reader's "no identity" is the same answer for a blank chip and for a written
// tag it failed to read (at the edge of the field, or being lifted after its beep).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "batch/batch_profile.h"

namespace rivelo {

// The serial reads, one per chip kind, for ChipWrite::serial. Found: *serial holds it in hex;
// NoIdentity: the reader answered that it could not read it (another kind of chip);
// NoReply: no valid reply.
// EM4305: one exchange, 0x302 word 1 (8 hex digits, most significant first).
ReadOutcome ReadEm4305Serial(std::string* serial);
// T5577: two exchanges, 0x206 page 1 and the fetch 0x208 (blocks 1 and 2, 16 hex digits).
ReadOutcome ReadT5577Serial(std::string* serial);

// The serials a write run wrote. Which chip is on the reader is learnt by trying the serial
// reads of the run's writes in their order of trial: the first that answers names the kind.
// The last reply on the reader's port came back damaged (bad checksum, cut short, stray bytes),
// as opposed to not at all: such a read is worth asking again at once.
bool LastReplyDamaged();

class ChipSerialGuard {
 public:
  enum class Verdict {
    Write,           // a chip this run has not written, or one with no readable serial
    Wait,            // its serial could not be read: no write this tick
    WrittenEarlier,  // this run wrote this chip: Earlier() says under which number
  };
  struct Written {
    int number = 0;
    Identity id;
  };

  void Clear();
  // Before a write onto a chip that read as blank. Writes without a serial read are skipped;
  // when every kind says it is not that chip (or none has a serial read), the chip's kind has
  // no readable serial and the write may go ahead on the two blank reads alone.
  Verdict BeforeWrite(const std::vector<ChipWrite>& writes);
  const Written& Earlier() const { return earlier_; }
  // The kind of chip that the last check found by its serial; empty when none was found.
  const std::string& CheckedChip() const { return pendingChip_; }
  const std::string& CheckedSerial() const { return pendingSerial_; }
  void ForgetChecked();
  // The write of the chip last checked verified as chip, listed under number with id: keeps its
  // serial and returns it (empty when unknown, or when chip is not the kind the serial read named).
  std::string Verified(const char* chip, int number, const Identity& id);

 private:
  std::map<std::string, Written> written_;  // by kind and serial
  std::string pendingChip_;
  std::string pendingSerial_;
  Written earlier_;
};

}  // namespace rivelo
