// Identity writes onto chips that carry a password, and giving a written tag one.
//
// The reader's own identity commands send no password, so a T5577 in password mode refuses
// them: there the identity's image (model: IdentityFormat::chipImage) is written block by block
// with the password write, data first and block 0 last, the password bit kept. An EM4305 is
// logged in to first; one with write login keeps it, its image written word by word.
//
// Protecting a tag that took its identity: T5577 block 7 gets the new password, then block 0
// the password bit; EM4305 word 2 gets it, then word 4 the write login. It counts only when
// reads made with the new password give back the identity's whole image.
#pragma once

#include <optional>

#include "batch/batch_profile.h"
#include "batch/tag_result.h"
#include "model/identity.h"

namespace rivelo {

// The chip write, taking RunChoices::password and ::protect into account: without a password
// it is plain's write; ChipWrite::protect is set for chips that can be given one.
ChipWrite WithTagPasswords(ChipWrite plain, const IdentityFormat& format);

// The EM4305's password as delivered, used to log in for the first password write when the
// operator gives none.
inline constexpr TagPassword Em4305DeliveredPassword{0, 0, 0, 0};

// The T5577 on the reader gets password newPassword (block 7, then the password bit in block 0)
// and must then read back block 0 and data blocks 1..n of `image` with it. oldPassword: the one
// it carries now, if it is in password mode. Shared with `rivelo t5577 set-password`.
struct T5577Protection {
  std::uint32_t block0 = 0;               // block 0 as it is to be, the password bit included
  std::vector<std::uint32_t> data;        // blocks 1..n that must read back
};
TagResult ProtectT5577(const T5577Protection& image, const TagPassword& newPassword,
                       const std::optional<TagPassword>& oldPassword);

}  // namespace rivelo
