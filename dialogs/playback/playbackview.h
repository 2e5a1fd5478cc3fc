#pragma once

#include <QString>

namespace speech {
class AgentCharacter;
}

namespace playback {

// The strip window as the playback engine sees it.
class PlaybackView
{
public:
    virtual ~PlaybackView() = default;

    virtual void setRussianLineCaption(const QString& caption) = 0;
    virtual void setEnglishLineCaption(const QString& caption) = 0;
    virtual void setRussianLineToolTip(const QString& text) = 0;
    virtual void setEnglishLineToolTip(const QString& text) = 0;
    // The English line's top edge, in twips.
    virtual int englishLineTopTwips() const = 0;
    virtual void setEnglishLineTopTwips(int top) = 0;
    // The hidden labels showing the bound word book record.
    virtual void setBoundRussianCaption(const QString& caption) = 0;
    virtual void setBoundEnglishCaption(const QString& caption) = 0;

    // Start or stop the slide of either line.
    virtual void setEnglishSlideEnabled(bool enabled) = 0;
    virtual void setRussianSlideEnabled(bool enabled) = 0;
    // Starts stepping the word book with this interval; an interval of 0 or
    // less leaves it off.
    virtual void startWordBookStep(int intervalMs) = 0;

    // The current character, or nullptr when none is loaded.
    virtual speech::AgentCharacter* currentCharacter() const = 0;
};

} // namespace playback
