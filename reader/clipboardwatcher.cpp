#include "reader/clipboardwatcher.h"

#include "reader/clipboardsource.h"
#include "reader/readabletext.h"

#include <QtDebug>

namespace reader {

ClipboardWatcher::ClipboardWatcher(ClipboardSource& source, speech::agent::AgentClock& clock,
                                   QObject* parent)
    : QObject(parent), m_source(source), m_clock(clock)
{
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &ClipboardWatcher::pollTick);
    connect(&source, &ClipboardSource::changed, this, &ClipboardWatcher::changeNotified);
}

void ClipboardWatcher::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled) {
        m_poll.stop();
        m_lastText.clear();
        m_lastReadAt.reset();
        return;
    }
    m_lastText = readableText(m_source.text(), kMaxCopiedCharacters);
    m_lastReadAt = m_clock.nowMs();
    if (!m_notificationsArrive)
        m_poll.start();
}

void ClipboardWatcher::pollTick()
{
    look(false);
}

void ClipboardWatcher::changeNotified()
{
    look(true);
}

void ClipboardWatcher::look(bool notified)
{
    if (!m_enabled || m_source.ownedHere())
        return;
    if (notified && !m_notificationsArrive) {
        m_notificationsArrive = true;
        m_poll.stop();
    }
    QString raw = m_source.text();
    const qsizetype copied = raw.size();
    QString text = readableText(raw, kMaxCopiedCharacters);
    raw = QString(); // a huge copy is not kept twice
    const qint64 now = m_clock.nowMs();
    if (text == m_lastText) {
        // Polling cannot tell a second copy of the same text from the first.
        if (!notified || (m_lastReadAt && now - *m_lastReadAt < kSameCopyMs))
            return;
    }
    m_lastText = text;
    if (!hasWords(text))
        return;
    m_lastReadAt = now;
    if (copied > text.size())
        qWarning("clipboard text of %lld characters cut to its first %lld",
                 static_cast<long long>(copied), static_cast<long long>(text.size()));
    emit textCopied(text);
}

} // namespace reader
