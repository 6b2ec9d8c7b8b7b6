#include "pages/t5577/block0_meaning.h"

#include <QStringList>

#include "resources/texts_ata.h"

namespace rivelo {
namespace {

namespace t = texts::ata;

QString Q(const char* text) { return QString::fromUtf8(text); }
QString Q(const TextPair& text) { return QString::fromUtf8(text()); }
QString OnOff(bool on) { return Q(on ? t::On : t::Off); }

QString ModulationName(const T5577Block0& b) {
  if (b.modulation == T5577Modulation::Reserved)
    return Q(t::Reserved) + QStringLiteral(" (%1)").arg(b.modulationBits, 5, 2, QLatin1Char('0'));
  return Q(t::ModulationNames[static_cast<int>(b.modulation)]);
}

QString LayoutName(T5577Layout layout) {
  switch (layout) {
    case T5577Layout::Em4100: return Q(t::LayoutEm4100);
    case T5577Layout::Fdxb: return Q(t::LayoutFdxb);
    case T5577Layout::HidOrFdxa: return Q(t::LayoutHidFdxa);
    case T5577Layout::Factory: return Q(t::LayoutFactory);
    case T5577Layout::None: break;
  }
  return Q(t::LayoutNone);
}

}  // namespace

QString Block0Meaning(const T5577Block0& b) {
  const QString word = QStringLiteral("%1").arg(b.word, 8, 16, QLatin1Char('0')).toUpper();
  const QString rate = b.extendedMode ? Q(t::ExtendedRate) : QStringLiteral("RF/%1").arg(b.dataRate);
  return QStringList{Q(t::Block0Heading).arg(word),
                     Q(t::ModulationLine).arg(ModulationName(b)),
                     Q(t::DataRateLine).arg(rate),
                     Q(t::MaxBlockLine).arg(b.maxBlock),
                     Q(t::PasswordLine).arg(OnOff(b.passwordMode)),
                     Q(t::AnswerOnRequestLine).arg(OnOff(b.answerOnRequest)),
                     Q(t::TerminatorLine).arg(OnOff(b.sequenceTerminator)),
                     Q(t::LayoutLine).arg(LayoutName(b.layout))}
      .join(QLatin1Char('\n'));
}

}  // namespace rivelo
