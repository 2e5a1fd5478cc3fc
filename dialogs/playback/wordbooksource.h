#pragma once

#include <QString>

namespace playback {

// The New Words book as the playback sees it: the counting cursor it opens
// each time the topic starts, and the bound data source Data1 whose current
// record the hidden labels Label5 and Label6 show.
class WordBookSource
{
public:
    virtual ~WordBookSource() = default;

    // Opens a fresh connection and counting cursor, replacing the ones held.
    // When that fails the cursor still held (if any) is counted instead;
    // with none the count is 0. Never throws.
    virtual int openAndCount() = 0;

    // BindWordBook: points Data1 at the book and "SELECT * FROM Word ORDER BY
    // index;" and makes sure its cursor is open. Never throws.
    virtual void bind() = 0;

    // Timer6: the next record of Data1, back to the first after the last.
    virtual void step() = 0;

    // The fields Russian and English of Data1's current record; empty with
    // no current record.
    virtual QString russian() const = 0;
    virtual QString english() const = 0;
};

} // namespace playback
