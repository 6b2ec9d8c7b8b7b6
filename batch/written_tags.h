// The identities that a write run has written and verified, so that a tag of this run that is
// put back on the reader is recognised and left alone instead of given the next identity.
#pragma once

#include <map>

#include "model/identity.h"

namespace rivelo {

class WrittenTags {
 public:
  void Clear();
  // id was written and listed under number.
  void Add(const Identity& id, int number);
  // The number id was listed under; 0 when this run did not write it.
  int NumberOf(const Identity& id) const;
  // True the first time in a row that the tag carrying id is noticed lying on the reader, so
  // that it is reported once rather than at every tick; a write or another identity between
  // makes it new again.
  bool FirstNotice(const Identity& id);

 private:
  // A map keeps the lookup at a few comparisons for runs of tens of thousands of tags.
  std::map<Identity, int> numbers_;
  Identity noticed_;
};

}  // namespace rivelo
