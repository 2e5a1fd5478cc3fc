#pragma once

// Stand-ins for what the playback engine reaches: the window, the character,
// the random generator, the word book and the message boxes. Each keeps a
// journal of what was asked of it.

#include "dialogs/playback/messageboxes.h"
#include "dialogs/playback/playbackview.h"
#include "dialogs/playback/randomsource.h"
#include "dialogs/playback/wordbooksource.h"
#include "tests/support/fakecharacter.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <deque>
#include <functional>

namespace playbacktest {

using testsupport::FakeCharacter;

class FakeView final : public playback::PlaybackView
{
public:
    void setRussianLineCaption(const QString& c) override
    {
        russianCaption = c;
        log("russian", c);
    }
    void setEnglishLineCaption(const QString& c) override
    {
        englishCaption = c;
        log("english", c);
    }
    void setRussianLineToolTip(const QString& t) override { russianTip = t; }
    void setEnglishLineToolTip(const QString& t) override { englishTip = t; }
    int englishLineTopTwips() const override { return englishTop; }
    void setEnglishLineTopTwips(int top) override
    {
        englishTop = top;
        log("englishTop", QString::number(top));
    }
    void setBoundRussianCaption(const QString& c) override { boundRussian = c; }
    void setBoundEnglishCaption(const QString& c) override { boundEnglish = c; }
    void setEnglishSlideEnabled(bool on) override
    {
        englishSlide = on;
        log("englishSlide", on ? "on" : "off");
    }
    void setRussianSlideEnabled(bool on) override
    {
        russianSlide = on;
        log("russianSlide", on ? "on" : "off");
    }
    void startWordBookStep(int ms) override { wordBookStepMs = ms; }
    speech::AgentCharacter* currentCharacter() const override { return character; }

    // "what value" entries since the last take().
    QStringList take()
    {
        QStringList out = journal;
        journal.clear();
        return out;
    }

    QString russianCaption, englishCaption, russianTip, englishTip, boundRussian, boundEnglish;
    int englishTop = 400;
    bool englishSlide = false, russianSlide = false;
    int wordBookStepMs = -1;
    speech::AgentCharacter* character = nullptr;
    QStringList journal;

private:
    void log(const char* what, const QString& value)
    {
        journal << QString::fromLatin1(what) + QLatin1Char(' ') + value;
    }
};

class FixedRandom final : public playback::RandomSource
{
public:
    double next() override
    {
        if (values.empty())
            return 0.0;
        const double r = values.front();
        values.pop_front();
        return r;
    }
    std::deque<double> values;
};

class FakeBook final : public playback::WordBookSource
{
public:
    int openAndCount() override
    {
        ++opens;
        throwIfAsked();
        return failing == playback::BookFailure::None ? int(pairs.size()) : 0;
    }
    playback::BookFailure failure() const override { return failing; }
    QString location() const override { return QStringLiteral("/books/dialog.ocx"); }
    void bind() override
    {
        ++binds;
        throwIfAsked();
    }
    void step() override
    {
        throwIfAsked();
        if (!pairs.isEmpty())
            current = (current + 1) % int(pairs.size());
    }
    QString russian() const override { return pairs.isEmpty() ? QString() : pairs[current].first; }
    QString english() const override { return pairs.isEmpty() ? QString() : pairs[current].second; }

    QList<QPair<QString, QString>> pairs; // Russian, English
    int current = 0;
    int opens = 0;
    int binds = 0;
    // Why the book cannot be read; None reads pairs.
    playback::BookFailure failing = playback::BookFailure::None;
    // What every call throws, if set: a source that breaks its promise.
    std::function<void()> thrower;

private:
    void throwIfAsked() const
    {
        if (thrower)
            thrower();
    }
};

class FakeMessages final : public playback::MessageBoxes
{
public:
    void information(const QString& text) override
    {
        shown << text;
        if (whileOpen)
            whileOpen();
    }
    QStringList shown;
    // Runs while the box is "open", as the box's own event loop would.
    std::function<void()> whileOpen;
};

} // namespace playbacktest
