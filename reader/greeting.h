#pragma once

#include <QString>
#include <QTime>

namespace reader {

// What the character says on opening at this local time: good morning before
// noon, good afternoon until 17:00, good evening after.
QString greetingFor(QTime localTime);

} // namespace reader
