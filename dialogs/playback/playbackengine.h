#pragma once

#include <QSet>
#include <QString>
#include <QtGlobal>

#include <utility>

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
enum class BookFailure;

// Chooses the sentence pairs and presents them: pickNextPair, the 100 ms
// presentation cycle, the slides of the Russian line (80 ms) and of the
// English line (50 ms) and the stepping of the New Words book. The window's
// timers call the tick handlers; nothing here knows about time.
class PlaybackEngine final
{
public:
    static inline const QString kEmptyBook = QStringLiteral("Error:New Words book is empty.");
    // A book that cannot be read says why; its place follows on a line of its own.
    static inline const QString kMissingBook = QStringLiteral("Error:New Words book is missing.");
    static inline const QString kLockedBook =
        QStringLiteral("Error:New Words book is locked by another program.");
    static inline const QString kDamagedBook = QStringLiteral("Error:New Words book is damaged.");
    static inline const QString kNotAWordBook =
        QStringLiteral("Error:New Words book is not a word book file.");
    static inline const QString kUnreadableBook =
        QStringLiteral("Error:New Words book cannot be read.");
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

    // The message for a book that cannot be read: the cause, then its place.
    static QString bookFailureMessage(BookFailure failure, const QString& location);

private:
    void nextFromTable(int topic, bool sequence);
    void nextFromBook(int topic, bool sequence);
    // Loads identifier id from the built-in table; false if either string is missing.
    bool load(int id);
    void message(const QString& text);
    // Reports a book that cannot be read, once for each cause until it reads again.
    void reportBookFailure(BookFailure failure);
    // Runs an access to the word book. Whatever it throws ends there, so no
    // failure of the book reaches the window's event loop; false if it threw.
    template <typename Access> bool guarded(Access&& access) noexcept;
    // The bound record's Russian and English texts, cut to what the strip shows.
    std::pair<QString, QString> boundRecord();
    // The bound record on the hidden word book labels.
    void showBoundRecord();
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
    QSet<int> m_reportedFailures;
};

} // namespace playback
