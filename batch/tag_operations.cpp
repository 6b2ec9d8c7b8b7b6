#include "batch/tag_operations.h"

#include "model/em4305_config.h"
#include "model/t5577_block0.h"
#include "reader/commands.h"
#include "reader/my_comm.h"

namespace rivelo {
namespace {

constexpr int Em4305PasswordWord = 2;
constexpr int Em4305ConfigWord = 4;

TagResult With(TagOutcome outcome, TagHint hint = TagHint::None) { return {outcome, hint}; }

// A command without a valid reply: the port went away, or the line or reader failed.
TagOutcome Unanswered() {
  const CMyComm* port = PortAt(ReaderPortIndex);
  return port != nullptr && port->PortGone() ? TagOutcome::PortGone : TagOutcome::NoReply;
}

// What the reader fetched after a T5577 command: a failure status means the chip gave nothing.
TagData FetchT5577Block() {
  std::array<std::uint8_t, T5577FetchMax> buffer{};
  int n = 0;
  switch (CmdT5577FetchData(buffer, &n)) {
    case SResult::NoReply: return {With(Unanswered()), std::nullopt};
    case SResult::FailStatus: return {With(TagOutcome::Refused), std::nullopt};
    case SResult::Ok: break;
  }
  if (n != 4) return {With(TagOutcome::NotReadBack), std::nullopt};
  return {With(TagOutcome::Done), TagBytes4{buffer[0], buffer[1], buffer[2], buffer[3]}};
}

// An E-family failure: the chip's refusal when a valid reply said so, else no reply.
TagOutcome Em4305Failure(EResult r) {
  if (r == EResult::Fail && LastReplyFailure() == ReplyFailure::None) return TagOutcome::Refused;
  return Unanswered();
}

bool TurnsOnReadLogin(int word, const TagBytes4& data) {
  return word == Em4305ConfigWord && DecodeEm4305Config(Em4305Word(data)).readLogin;
}

}  // namespace

TagData ReadT5577Block(int page, int block, const std::optional<TagBytes4>& password) {
  const RResult sent = password ? CmdT5577ReadBlockPwd(page, block, *password) : CmdT5577ReadBlock(page, block);
  if (sent != ROk) return {With(Unanswered()), std::nullopt};
  TagData got = FetchT5577Block();
  if (got.result.outcome == TagOutcome::NotReadBack) got.result.outcome = TagOutcome::NoReply;  // no block value
  if (got.result.outcome == TagOutcome::Refused && !password) got.result.hint = TagHint::PasswordProtected;
  return got;
}

TagData WriteT5577Block(int page, int block, bool lock, const TagBytes4& data,
                        const std::optional<TagBytes4>& password) {
  const int lockFlag = lock ? 1 : 0;
  const RResult sent = password ? CmdT5577WriteBlockPwd(page, block, lockFlag, data, *password)
                                : CmdT5577WriteBlock(page, block, lockFlag, data);
  if (sent != ROk) return {With(Unanswered()), std::nullopt};
  TagData back = FetchT5577Block();
  if (back.result.ok() && back.value != data) back.result.outcome = TagOutcome::NotReadBack;
  if (back.result.outcome == TagOutcome::Refused || back.result.outcome == TagOutcome::NotReadBack) {
    // A block that still reads as it did was locked; a chip that gives nothing to this read
    // either asks for a (another) password.
    const TagData probe = ReadT5577Block(page, block, password);
    back.result.hint = probe.result.ok() ? TagHint::Locked : TagHint::PasswordProtected;
  }
  return back;
}

TagResult RestoreT5577Config(const std::function<std::optional<TagBytes4>()>& password) {
  const TagData plain = WriteT5577Block(0, 0, false, FactoryConfigWord, std::nullopt);
  const TagOutcome o = plain.result.outcome;
  if (o != TagOutcome::Refused && o != TagOutcome::NotReadBack) return plain.result;
  const std::optional<TagBytes4> key = password();
  if (!key) return plain.result;
  return WriteT5577Block(0, 0, false, FactoryConfigWord, key).result;
}

TagData WriteEm4305Word(int word, const TagBytes4& data, bool loggedIn) {
  if (word != 0 && (word < 3 || word > 13)) return {With(TagOutcome::NotSent), std::nullopt};
  const TagHint refusedHint = loggedIn ? TagHint::Locked : TagHint::PasswordProtected;
  if (const EResult r = CmdEm4305WriteWord(word, data); r != EOk) {
    const TagOutcome o = Em4305Failure(r);
    return {With(o, o == TagOutcome::Refused ? refusedHint : TagHint::None), std::nullopt};
  }
  TagData back = ReadEm4305Word(word, loggedIn);
  if (back.result.ok() && back.value != data) back.result = With(TagOutcome::NotReadBack, refusedHint);
  if (back.result.outcome == TagOutcome::Refused) {
    // The write was taken, but the read-back was refused: a configuration that turns on read
    // login does that to every read that follows.
    back.result.outcome = TagOutcome::NotReadBack;
    if (TurnsOnReadLogin(word, data)) back.result.hint = TagHint::LoginToRead;
  }
  return back;
}

TagData ReadEm4305Word(int word, bool loggedIn) {
  if (word == Em4305PasswordWord || word < 0 || word > 15) return {With(TagOutcome::NotSent), std::nullopt};
  TagBytes4 bytes{};
  if (const EResult r = CmdEm4305ReadWord(word, bytes); r != EOk) {
    const TagOutcome o = Em4305Failure(r);
    const bool mayNeedLogin = o == TagOutcome::Refused && !loggedIn && word > 1;
    return {With(o, mayNeedLogin ? TagHint::LoginToRead : TagHint::None), std::nullopt};
  }
  return {With(TagOutcome::Done), bytes};
}

}  // namespace rivelo
