#pragma once

#include "common/speech/agent/agentclock.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

namespace reader {

class ClipboardSource;

// Reads every new text copy once, while enabled, and never changes the
// clipboard. Copies are noticed from the clipboard's change notification; a
// 1-second poll stands in until a notification from another program has shown
// that they arrive. What is on the clipboard when watching starts is not a new
// copy. A copy of the same text again is new, unless it comes within
// kSameCopyMs of the last one read (a clipboard manager taking the copy over).
// Copies made in this program (the text box's own Copy) are left alone.
class ClipboardWatcher final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPollMs = 1000;
    static constexpr qint64 kSameCopyMs = 500;

    ClipboardWatcher(ClipboardSource& source, speech::agent::AgentClock& clock,
                     QObject* parent = nullptr);

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    bool isPolling() const { return m_poll.isActive(); }

    // The poll timer's tick and the change notification.
    void pollTick();
    void changeNotified();

signals:
    // A new copy with something to say, cleaned and cut to kMaxCopiedCharacters.
    void textCopied(const QString& text);

private:
    void look(bool notified);

    ClipboardSource& m_source;
    speech::agent::AgentClock& m_clock;
    QTimer m_poll;
    QString m_lastText;
    std::optional<qint64> m_lastReadAt;
    bool m_enabled = false;
    bool m_notificationsArrive = false;
};

} // namespace reader
