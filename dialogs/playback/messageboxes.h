#pragma once

#include <QString>

namespace playback {

// Modal messages to the learner: one OK button, the application's title.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // Returns when the learner has closed the box.
    virtual void information(const QString& text) = 0;
};

} // namespace playback
