#include "pages/em4305/config_meaning.h"

#include <QStringList>

#include "resources/texts_em4305.h"

namespace rivelo {
namespace {

namespace t = texts::em4305;

QString Q(const TextPair& text) { return QString::fromUtf8(text()); }
QString YesNo(bool on) { return Q(on ? t::Yes : t::No); }

QString EncoderName(const Em4305Config& c) {
  switch (c.encoder) {
    case Em4305Encoder::Manchester: return Q(t::Manchester);
    case Em4305Encoder::Biphase: return Q(t::Biphase);
    case Em4305Encoder::Other: break;
  }
  return Q(t::OtherEncoder).arg(c.encoderBits, 4, 2, QLatin1Char('0'));
}

}  // namespace

QString Em4305ConfigMeaning(const Em4305Config& c) {
  const QString word = QStringLiteral("%1").arg(c.word, 8, 16, QLatin1Char('0')).toUpper();
  // The default read starts at word 5, so a last word below it sends nothing.
  const QString defaultRead =
      c.lastReadWord >= 5 ? Q(t::DefaultReadLine).arg(c.lastReadWord) : Q(t::DefaultReadNone).arg(c.lastReadWord);
  return QStringList{Q(t::ConfigHeading).arg(word),
                     Q(t::DataRateLine).arg(QStringLiteral("RF/%1").arg(c.dataRate)),
                     Q(t::EncoderLine).arg(EncoderName(c)),
                     defaultRead,
                     Q(t::ReadLoginLine).arg(YesNo(c.readLogin)),
                     Q(t::WriteLoginLine).arg(YesNo(c.writeLogin)),
                     Q(t::DisableLine).arg(YesNo(c.disableAllowed)),
                     Q(t::ReaderFirstLine).arg(YesNo(c.readerTalksFirst))}
      .join(QLatin1Char('\n'));
}

}  // namespace rivelo
