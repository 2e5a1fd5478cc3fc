#pragma once

#include <QString>
#include <QtGlobal>

namespace settings {
struct Settings;
}
namespace sentences {
class SentenceTable;
}

namespace playback {

class MessageBoxes;
class PlaybackView;
class RandomSource;
class WordBookSource;

// Chooses the sentence pairs and presents them: pickNextPair, the 100 ms
// presentation cycle, the slides of the Russian line (80 ms) and of the
// English line (50 ms) and the stepping of the New Words book. The window's
// timers call the tick handlers; nothing here knows about time.
class PlaybackEngine final
{
public:
    static inline const QString kEmptyBook = QStringLiteral("Error:New Words book is empty.");
    static constexpr int kFirstTopicOfBook = 16;
    // The English line's top (twips) before it rises, below the strip, and
    // where it rests.
    static constexpr int kEnglishLineStartTop = 400;
    static constexpr int kEnglishLineRestTop = 60;

    PlaybackEngine(settings::Settings& values, PlaybackView& view, RandomSource& random,
                   WordBookSource& book, MessageBoxes& messages,
                   const sentences::SentenceTable& table);

    void pickNextPair();
    void bindWordBook();

    void onPresentationTick();
    void onRussianSlideTick();
    void onEnglishSlideTick();
    void onWordBookStepTick();

    // Presentation state, tick count and shows count back to 0 (start-up).
    void reset();
    // The learner stopped the presentation: the character falls silent at
    // once, and when ticks come again the next pair is presented from its
    // start instead of the rest of the cut one.
    void interrupt();

    int state() const { return m_state; }
    int tickCount() const { return m_ticks; }
    int showsCount() const { return m_shows; }
    int slideCount() const { return m_slide; }
    const QString& russian() const { return m_russian; }
    const QString& english() const { return m_english; }
    // The identifier last drawn in random order.
    qint16 randomId() const { return m_randomId; }
    // True while a message of pickNextPair waits for its OK.
    bool messageOpen() const { return m_messageOpen; }

private:
    void nextFromTable(int topic, bool sequence);
    void nextFromBook(int topic, bool sequence);
    // Loads identifier id from the built-in table; false if either string is missing.
    bool load(int id);
    void message(const QString& text);
    void speak();
    void setToolTips();
    // Clears both lines and their slides for a presentation from the start.
    void abandonPresentation();

    settings::Settings& m_values;
    PlaybackView& m_view;
    RandomSource& m_random;
    WordBookSource& m_book;
    MessageBoxes& m_messages;
    const sentences::SentenceTable& m_table;

    QString m_russian;
    QString m_english;
    qint16 m_randomId = 0;
    int m_state = 0;
    int m_ticks = 0;
    int m_shows = 0;
    int m_slide = 0;
    bool m_messageOpen = false;
    bool m_interrupted = false;
};

} // namespace playback
