#pragma once

#include <QString>
#include <QtGlobal>

namespace options {

// The strip as the options dialog acts on it. The names are the strip's own,
// so it can implement this directly; tests supply a recording fake.
class OptionsHost
{
public:
    virtual ~OptionsHost() = default;

    // Lays the strip out for the in-memory font size, docks it and remembers
    // its rectangle; repaintStrip() then draws it at once.
    virtual void layOutForFontSize() = 0;
    virtual void rememberWindowRect() = 0;
    virtual void repaintStrip() = 0;

    // Colour references (red in the low byte) of both lines' text and of the
    // strip's background.
    virtual void setLineTextColour(double reference) = 0;
    virtual void setBackColour(double reference) = 0;
    virtual void setRussianLineCaption(const QString& caption) = 0;

    // Hides and unloads the current character; shows the one the store names.
    virtual void hideCharacter() = 0;
    virtual void showCharacter() = 0;

    // Playback pauses while the dialog is open: no menu, no presentation.
    virtual void setMenuHotSpotEnabled(bool enabled) = 0;
    virtual void pausePresentation() = 0;
    // Playback goes on, unless the learner stopped it with the Stop picture.
    virtual void resumePresentation() = 0;
    // The start-up countdown; 2 or below once start-up is over.
    virtual qint16 countdownValue() const = 0;

    // The in-memory auto-hide or stress-mark setting changed.
    virtual void autoHideChanged() = 0;
    virtual void stressMarksChanged() = 0;

    virtual double twipsPerPixel() const = 0;
};

} // namespace options
