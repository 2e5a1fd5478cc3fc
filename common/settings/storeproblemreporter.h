#pragma once

#include <QString>

namespace settings {

// Tells the learner that settings cannot be read or saved. The store calls
// it at most once per session, with a message that names the file and the
// cause.
class StoreProblemReporter
{
public:
    virtual ~StoreProblemReporter() = default;
    virtual void report(const QString& message) = 0;
};

} // namespace settings
