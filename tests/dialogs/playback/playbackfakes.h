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
    void setLabel1Caption(const QString& c) override
    {
        label1 = c;
        log("Label1", c);
    }
    void setLabel2Caption(const QString& c) override
    {
        label2 = c;
        log("Label2", c);
    }
    void setLabel1ToolTip(const QString& t) override { tip1 = t; }
    void setLabel2ToolTip(const QString& t) override { tip2 = t; }
    int label2TopTwips() const override { return top2; }
    void setLabel2TopTwips(int top) override
    {
        top2 = top;
        log("Top2", QString::number(top));
    }
    void setLabel5Caption(const QString& c) override { label5 = c; }
    void setLabel6Caption(const QString& c) override { label6 = c; }
    void setTimer3Enabled(bool on) override
    {
        timer3 = on;
        log("Timer3", on ? "on" : "off");
    }
    void setTimer4Enabled(bool on) override
    {
        timer4 = on;
        log("Timer4", on ? "on" : "off");
    }
    void enableTimer6(int ms) override { timer6 = ms; }
    speech::AgentCharacter* character() const override { return agent; }

    // "what value" entries since the last take().
    QStringList take()
    {
        QStringList out = journal;
        journal.clear();
        return out;
    }

    QString label1, label2, tip1, tip2, label5, label6;
    int top2 = 400;
    bool timer3 = false, timer4 = false;
    int timer6 = -1;
    speech::AgentCharacter* agent = nullptr;
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
        return int(pairs.size());
    }
    void bind() override { ++binds; }
    void step() override
    {
        if (!pairs.isEmpty())
            current = (current + 1) % int(pairs.size());
    }
    QString russian() const override { return pairs.isEmpty() ? QString() : pairs[current].first; }
    QString english() const override { return pairs.isEmpty() ? QString() : pairs[current].second; }

    QList<QPair<QString, QString>> pairs; // Russian, English
    int current = 0;
    int opens = 0;
    int binds = 0;
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
