#include "reader/greeting.h"

#include "reader/readertexts.h"

namespace reader {

QString greetingFor(QTime localTime)
{
    const int hour = localTime.isValid() ? localTime.hour() : 0;
    if (hour < 12)
        return texts::morningGreeting;
    if (hour < 17)
        return texts::afternoonGreeting;
    return texts::eveningGreeting;
}

} // namespace reader
