// The runner's from-file runs: loading the batch file, the file tick, going on from where a
// stopped run left off; and the tags a run wrote earlier, which it never writes again.
#include "batch/batch_runner.h"

#include "reader/commands.h"
#include "resources/texts_batch.h"

namespace rivelo {

bool BatchRunner::FromFileClicked(bool checked) {
  fromFile_ = checked;
  bool loaded = false;
  if (checked) {
    const std::string path = view_.ChooseBatchFile();
    std::string why;
    BatchFileError error = BatchFileError::None;
    if (path.empty()) {
      fromFile_ = false;
    } else if (!(loaded = LoadFile(path, &why, &error))) {
      // A file with one bad line is refused whole, so that a run never stops half way.
      view_.AppendLine(profile_.texts.fileOpened + path);
      view_.ShowMessage(error == BatchFileError::CannotOpen ? profile_.texts.cannotOpen + "\n" + why : why);
    }
  }
  SyncBoxes();
  if (loaded) page_.ClearIdentity();
  return loaded;
}

bool BatchRunner::LoadFile(const std::string& path, std::string* why, BatchFileError* error) {
  BatchFile file = LoadBatchFile(path, *profile_.format);
  if (!file.ok()) {
    *why = DescribeBatchFileError(file);
    if (error) *error = file.error;
    fromFile_ = false;
    SyncBoxes();
    return false;
  }
  // Only the same file, unchanged, may go on where its run stopped.
  if (path != filePath_ || file.ids != fileIds_ || file.lineNumbers != fileLineNumbers_) resumeAt_ = 0;
  view_.AppendLine(profile_.texts.fileOpened + path);
  filePath_ = path;
  fileLines_ = std::move(file.lines);
  fileIds_ = std::move(file.ids);
  fileLineNumbers_ = std::move(file.lineNumbers);
  view_.AppendLine(WithCount(profile_.texts.fileLoaded, static_cast<int>(fileLines_.size())));
  fromFile_ = true;
  continuous_ = false;
  incremental_ = false;
  SyncBoxes();
  return true;
}

// Where a file run starts: at its first identity, or, when a run of the same file stopped part
// way, where the operator chooses. False when the operator chose not to start.
bool BatchRunner::ChooseFileStart(std::size_t* first) {
  *first = 0;
  if (resumeAt_ == 0 || resumeAt_ >= fileIds_.size()) return true;
  const int line = fileLineNumbers_[resumeAt_];
  switch (view_.AskResumeFile(WithCount(WithCount(texts::batch::ResumeQuestion(), line), line))) {
    case ResumeChoice::GoOn: *first = resumeAt_; return true;
    case ResumeChoice::StartOver: return true;
    case ResumeChoice::Cancel: break;
  }
  return false;
}

// A run that goes on keeps its numbers and counts the identities before it as its own, so that
// a tag of the stopped run put back on the reader is left alone.
void BatchRunner::StartFileAt(std::size_t first) {
  resumeAt_ = 0;
  for (std::size_t k = 0; k < first; ++k) written_.Add(fileIds_[k], static_cast<int>(k) + 1);
  runCounter_ = static_cast<int>(first);
  if (first > 0) {
    lastWrittenId_ = fileIds_[first - 1];  // the last tag written may still lie on the reader
    view_.AppendLine(WithCount(texts::batch::GoingOn(), fileLineNumbers_[first]));
  }
  view_.SetProgress(runCounter_);
}

void BatchRunner::FileTick() {
  const int count = static_cast<int>(fileLines_.size());
  if (runCounter_ >= count) {
    EndWriteRun();
    view_.SetProgress(count + 1);
    view_.ReleaseWrite();
    fromFile_ = false;
    SyncBoxes();
    AppendStop();
    return;
  }
  Identity onReader;
  const ReadOutcome found = ReadBeforeWrite(&onReader);
  if (found == ReadOutcome::NoReply) return;
  auto at = static_cast<std::size_t>(runCounter_);
  targetId_ = fileIds_[at];
  if (!TakeUnverifiedWrite(found, onReader)) {
    if (found == ReadOutcome::Found && onReader == lastWrittenId_) return;
    if (found == ReadOutcome::Found && LeftAloneAsWritten(onReader)) return;
    if (!GateAllowsWrite(WriteMode::FromFile)) return;
    at = static_cast<std::size_t>(runCounter_);  // past the lines taken elsewhere
    if (!WriteAndVerify(targetId_)) {
      WriteNotTaken(found, onReader, fileLineNumbers_[at]);
      return;  // the same line again next tick
    }
  }
  notTaken_ = 0;
  lastWrittenId_ = targetId_;
  signals_.Acknowledge(AcknowledgeNormal);
  ++runCounter_;
  written_.Add(targetId_, runCounter_);
  view_.SetProgress(runCounter_);
  List(WithCount(profile_.texts.numbered, runCounter_) + page_.FileListText(fileLines_[at], targetId_), targetId_,
       lastChip_, fileLineNumbers_[at]);
}

// A tag that carries an identity this run wrote earlier was put back: writing the next identity
// over it would leave a listed identity on no tag. It is left alone, and listed once as such
// (not as a tag: nothing was written).
bool BatchRunner::LeftAloneAsWritten(const Identity& onReader) {
  const int number = written_.NumberOf(onReader);
  if (number == 0) return false;
  if (written_.FirstNotice(onReader)) {
    ++leftAlone_;
    view_.AppendLine(WithCount(texts::batch::LeftAlone(), number) + profile_.format->text(onReader, 0));
  }
  return true;
}

}  // namespace rivelo
