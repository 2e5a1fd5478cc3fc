#include "common/text/stressmarkfont.h"

namespace text {

namespace {

const QString kFamily = QStringLiteral("DejaVu Serif");

} // namespace

QFont stressMarkFont(QFont base)
{
    base.setFamily(kFamily);
    return base;
}

} // namespace text
