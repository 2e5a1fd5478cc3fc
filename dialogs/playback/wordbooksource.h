#pragma once

#include <QString>

namespace playback {

// Why the New Words book could not be read.
enum class BookFailure {
    None,         // read: it has pairs, or it is truly empty
    Missing,      // no file where the book belongs
    Locked,       // another program holds it locked
    Damaged,      // an SQLite file with damaged pages (truncated, overwritten)
    NotAWordBook, // empty, not a database, or no table Word with its fields
    Unreadable,   // anything else: a folder, permissions, I/O, memory
};

// The New Words book as the playback sees it: the counting cursor it opens
// each time the topic starts, and the bound cursor whose current record the
// strip window's hidden word book labels show.
class WordBookSource
{
public:
    virtual ~WordBookSource() = default;

    // Opens a fresh connection and counting cursor, replacing the ones held.
    // When that fails the cursor still held (if any) is counted instead;
    // with none the count is 0. Never throws.
    virtual int openAndCount() = 0;
    // Why the last openAndCount() could not read the book; None when it could.
    virtual BookFailure failure() const = 0;
    // Where the last openAndCount() looked for the book, for messages.
    virtual QString location() const = 0;

    // bindWordBook: points the bound cursor at the book and "SELECT * FROM
    // Word ORDER BY index;" and makes sure it is open. Never throws.
    virtual void bind() = 0;

    // The word book step: the bound cursor's next record, back to the first
    // after the last. Never throws.
    virtual void step() = 0;

    // The fields Russian and English of the bound cursor's current record;
    // empty with no current record. A text longer than the strip shows may
    // come only in part: at least its first kLongestShownText + 1 characters.
    virtual QString russian() const = 0;
    virtual QString english() const = 0;
};

} // namespace playback
