#pragma once

#include <QString>
#include <QStringList>

namespace reader {

// The reader's window as its controller sees it.
class ReaderView
{
public:
    virtual ~ReaderView() = default;

    // The name label; detail says more (a tool tip), or nothing.
    virtual void setCharacterCaption(const QString& caption, const QString& detail) = 0;
    // The characters to choose from, by name, and the one loaded (or asked for).
    virtual void setCharacterChoices(const QStringList& names, const QString& current) = 0;

    virtual QString text() const = 0;
    // Replaces the text; not an edit by the learner.
    virtual void setText(const QString& text) = 0;
    // Ticks or clears the box without running its click handler.
    virtual void setAutoReadChecked(bool checked) = 0;
    // Marks the word being heard; an empty span clears the mark.
    virtual void highlightWord(qsizetype start, qsizetype length) = 0;
    // A modal message with an OK button; returns when it is closed.
    virtual void showMessage(const QString& message) = 0;
};

} // namespace reader
