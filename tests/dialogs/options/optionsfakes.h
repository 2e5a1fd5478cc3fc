#pragma once

// Stand-ins for what the options dialog reaches: the strip, the colour
// dialog and the message boxes, each writing down what was asked of it; and
// a click on a spin bar's arrow.

#include "common/settings/settings.h"
#include "dialogs/options/optionsdialog.h"
#include "dialogs/options/optionshost.h"
#include "dialogs/playback/messageboxes.h"

#include <QColor>
#include <QScrollBar>
#include <QStringList>
#include <QStyleOptionSlider>
#include <QTest>

#include <deque>
#include <optional>

namespace optionstest {

class FakeStrip final : public options::OptionsHost
{
public:
    explicit FakeStrip(const settings::Settings& values) : m_values(values) {}

    void layOutForFontSize() override
    {
        layoutSizes.append(m_values.fontSize);
        note(QStringLiteral("layout %1").arg(m_values.fontSize));
    }
    void rememberWindowRect() override { note(QStringLiteral("rect")); }
    void repaintStrip() override { note(QStringLiteral("repaint")); }
    void setLineTextColour(double reference) override
    {
        textColour = reference;
        note(QStringLiteral("text %1").arg(qint64(reference)));
    }
    void setBackColour(double reference) override
    {
        backColour = reference;
        note(QStringLiteral("back %1").arg(qint64(reference)));
    }
    void setRussianLineCaption(const QString& caption) override
    {
        russianCaption = caption;
        note(QStringLiteral("caption"));
    }
    void hideCharacter() override { note(QStringLiteral("hideCharacter")); }
    void showCharacter() override { note(QStringLiteral("showCharacter")); }
    void setMenuHotSpotEnabled(bool enabled) override { hotSpotEnabled = enabled; }
    void pausePresentation() override { playing = false; }
    void resumePresentation() override { playing = true; }
    qint16 countdownValue() const override { return countdown; }
    void autoHideChanged() override { note(QStringLiteral("autoHide %1").arg(m_values.autoHide)); }
    void stressMarksChanged() override
    {
        note(QStringLiteral("stress %1").arg(m_values.showStressMarks));
    }
    double twipsPerPixel() const override { return 15.0; }

    // Calls since the last take().
    QStringList take()
    {
        QStringList out = calls;
        calls.clear();
        return out;
    }

    QStringList calls;
    QList<int> layoutSizes; // the in-memory font size at every layout
    double textColour = -1;
    double backColour = -1;
    QString russianCaption;
    bool hotSpotEnabled = true;
    bool playing = true;
    qint16 countdown = 1;

private:
    void note(const QString& call) { calls.append(call); }
    const settings::Settings& m_values;
};

class FakeMessages final : public playback::MessageBoxes
{
public:
    explicit FakeMessages(QStringList& shown) : m_shown(shown) {}
    void information(const QString& text) override { m_shown.append(text); }

private:
    QStringList& m_shown;
};

// Answers for the colour dialog, taken in order; nothing (Cancel) once used up.
struct ColourAnswers {
    std::deque<std::optional<QColor>> answers;
    int asked = 0;

    std::optional<QColor> next()
    {
        ++asked;
        if (answers.empty())
            return std::nullopt;
        std::optional<QColor> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// The values a first run leaves in memory.
inline settings::Settings firstRunValues()
{
    settings::Settings v;
    v.firstRunDone = 1;
    v.russianFirst = 0;
    v.showsPerPair = 1;
    v.englishSeconds = 3;
    v.russianSeconds = 5;
    v.sequentialOrder = 1;
    v.savePosition = 1;
    v.saveSettings = 1;
    v.autoHide = 0;
    v.speakAloud = 1;
    v.topic = 14;
    v.position = 11401;
    v.autoStart = 0;
    v.speechSpeed = 90;
    v.fontSize = 12;
    v.showStressMarks = 1;
    v.textColour = 16777215;
    v.backColour = -2147483647;
    v.character = QStringLiteral("Merlin");
    return v;
}

// Clicks a scroll bar's up (top) or down (bottom) arrow, where the style draws it.
inline void clickArrow(QScrollBar* bar, bool up)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    const QStyle::SubControl arrow = up ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine;
    const QRect place = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, bar);
    QTest::mouseClick(bar, Qt::LeftButton, {}, place.center());
}

} // namespace optionstest
