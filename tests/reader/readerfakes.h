#pragma once

#include "common/speech/characterservice.h"
#include "reader/clipboardsource.h"
#include "reader/localclock.h"
#include "reader/narrator.h"
#include "reader/readerview.h"
#include "tests/support/fakecharacter.h"

#include <QStringList>

#include <map>
#include <memory>

namespace readertest {

// Writes down each sentence; the test says when words and ends arrive.
class FakeNarrator final : public reader::Narrator
{
    Q_OBJECT

public:
    quint64 say(const QString& sentence) override
    {
        said.append(sentence);
        ids.append(++m_lastId);
        return m_lastId;
    }
    void silence() override
    {
        ++silences;
        // Like a character: every queued sentence is reported dropped.
        const QList<quint64> dropped = pending();
        for (const quint64 id : dropped)
            finishOne(id);
    }
    // Sentences said and not finished yet, oldest first.
    QList<quint64> pending() const
    {
        QList<quint64> open;
        for (const quint64 id : ids) {
            if (!m_finished.contains(id))
                open.append(id);
        }
        return open;
    }
    void finishOne(quint64 id)
    {
        m_finished.append(id);
        emit finished(id);
    }

    QStringList said;
    QList<quint64> ids;
    int silences = 0;

private:
    quint64 m_lastId = 100;
    QList<quint64> m_finished;
};

class FakeClipboard final : public reader::ClipboardSource
{
    Q_OBJECT

public:
    QString text() const override
    {
        ++reads;
        return content;
    }
    bool ownedHere() const override { return ours; }
    // Another program copies text, with or without telling.
    void copy(const QString& text, bool notify = true)
    {
        content = text;
        ours = false;
        if (notify)
            emit changed();
    }

    QString content;
    bool ours = false;
    mutable int reads = 0;
};

class FakeLocalClock final : public reader::LocalClock
{
public:
    QTime timeOfDay() const override { return time; }
    QTime time = QTime(9, 0);
};

class FakeView final : public reader::ReaderView
{
public:
    void setCharacterCaption(const QString& caption, const QString& detail) override
    {
        characterCaption = caption;
        characterDetail = detail;
    }
    void setCharacterChoices(const QStringList& names, const QString& current) override
    {
        choices = names;
        chosen = current;
    }
    QString text() const override { return content; }
    void setText(const QString& text) override { content = text; }
    void setAutoReadChecked(bool checked) override { autoRead = checked; }
    void highlightWord(qsizetype start, qsizetype length) override { highlight = {start, length}; }
    void showMessage(const QString& message) override { messages.append(message); }

    QString characterCaption;
    QString characterDetail;
    QStringList choices;
    QString chosen;
    QString content;
    bool autoRead = false;
    std::pair<qsizetype, qsizetype> highlight{0, 0};
    QStringList messages;
};

// Characters by name from a fixed set; each load makes a fresh fake writing
// into the shared journal.
class FakeCharacters final : public speech::CharacterService
{
public:
    bool Load(const QString& name, const QString& fileName) override
    {
        journal.append(QStringLiteral("Load %1 %2").arg(name, fileName));
        if (!known.contains(name))
            return false;
        auto character = std::make_unique<testsupport::FakeCharacter>(&journal);
        character->animations = animations;
        loaded[name] = std::move(character);
        return true;
    }
    speech::AgentCharacter* Character(const QString& name) override
    {
        const auto it = loaded.find(name);
        return it == loaded.end() ? nullptr : it->second.get();
    }
    void Unload(const QString& name) override
    {
        journal.append(QStringLiteral("Unload %1").arg(name));
        loaded.erase(name);
    }
    testsupport::FakeCharacter* fake(const QString& name)
    {
        return static_cast<testsupport::FakeCharacter*>(Character(name));
    }

    QStringList known{QStringLiteral("Merlin"), QStringLiteral("Sova")};
    QStringList animations;
    QStringList journal;
    std::map<QString, std::unique_ptr<testsupport::FakeCharacter>> loaded;
};

} // namespace readertest
