#pragma once

#include <QString>

namespace speech {
class AgentCharacter;
}

namespace playback {

// The main window as the playback engine sees it.
class PlaybackView
{
public:
    virtual ~PlaybackView() = default;

    virtual void setLabel1Caption(const QString& caption) = 0;
    virtual void setLabel2Caption(const QString& caption) = 0;
    virtual void setLabel1ToolTip(const QString& text) = 0;
    virtual void setLabel2ToolTip(const QString& text) = 0;
    // Label2's top edge, in twips.
    virtual int label2TopTwips() const = 0;
    virtual void setLabel2TopTwips(int top) = 0;
    // The hidden labels bound to Data1's fields.
    virtual void setLabel5Caption(const QString& caption) = 0;
    virtual void setLabel6Caption(const QString& caption) = 0;

    virtual void setTimer3Enabled(bool enabled) = 0;
    virtual void setTimer4Enabled(bool enabled) = 0;
    // Starts Timer6 with this interval; an interval of 0 or less leaves it off.
    virtual void enableTimer6(int intervalMs) = 0;

    // The current character, or nullptr when none is loaded.
    virtual speech::AgentCharacter* character() const = 0;
};

} // namespace playback
