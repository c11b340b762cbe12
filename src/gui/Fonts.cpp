#include "gui/Fonts.h"

#include <QFont>
#include <QStringList>

namespace rovik {

void installFontSubstitutions() {
    // IPA fonts share the metrics of the Windows fonts; Noto CJK is the fallback.
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"),
                               {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ 明朝"),
                               {QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP")});
}

} // namespace rovik
