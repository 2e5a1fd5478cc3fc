#include "dialogs/playback/playbackengine.h"

#include "common/settings/settings.h"
#include "common/speech/agentcharacter.h"
#include "dialogs/playback/messageboxes.h"
#include "dialogs/playback/playbackview.h"
#include "dialogs/playback/randomsource.h"
#include "dialogs/playback/textcut.h"
#include "dialogs/playback/wordbooksource.h"
#include "dialogs/sentences/sentencetable.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace playback {

namespace {

constexpr int kPairs = sentences::SentenceTable::pairsPerGroup;
constexpr int kGroups = sentences::SentenceTable::groupCount;
constexpr int kSlideSteps = 36;

// Int() of the old arithmetic: the largest whole number not above x / d.
int floorDiv(int x, int d)
{
    return int(std::floor(double(x) / d));
}

// Int(r * count) + 1, kept inside 1..count even for an r that rounds to 1.
int draw(RandomSource& random, int count)
{
    const double r = std::clamp(random.next(), 0.0, 1.0);
    return std::min(int(r * count), count - 1) + 1;
}

int firstOfGroup(int group)
{
    return 10000 + 100 * group + 1;
}

} // namespace

PlaybackEngine::PlaybackEngine(settings::Settings& values, PlaybackView& view, RandomSource& random,
                               WordBookSource& book, MessageBoxes& messages,
                               const sentences::SentenceTable& table)
    : m_values(values), m_view(view), m_random(random), m_book(book), m_messages(messages),
      m_table(table)
{}

void PlaybackEngine::reset()
{
    m_state = 0;
    m_ticks = 0;
    m_shows = 0;
}

void PlaybackEngine::interrupt()
{
    if (speech::AgentCharacter* character = m_view.currentCharacter())
        character->Stop();
    m_interrupted = true;
}

void PlaybackEngine::abandonPresentation()
{
    m_view.setRussianSlideEnabled(false);
    m_view.setEnglishSlideEnabled(false);
    m_slide = 0;
    m_view.setRussianLineCaption(QStringLiteral(" "));
    m_view.setEnglishLineCaption(QStringLiteral(" "));
    m_view.setEnglishLineTopTwips(kEnglishLineStartTop);
    m_state = 0;
    m_ticks = 0;
}

bool PlaybackEngine::load(int id)
{
    const QString* russian = m_table.string(id);
    const QString* english = m_table.string(id + sentences::SentenceTable::englishOffset);
    if (russian)
        m_russian = *russian;
    if (english)
        m_english = *english;
    return russian && english;
}

void PlaybackEngine::message(const QString& text)
{
    // The box runs its own event loop; presentation ticks that arrive meanwhile
    // are dropped so no second box stacks on this one.
    m_messageOpen = true;
    m_messages.information(text);
    m_messageOpen = false;
}

void PlaybackEngine::setToolTips()
{
    m_view.setRussianLineToolTip(m_russian);
    m_view.setEnglishLineToolTip(m_english);
}

void PlaybackEngine::pickNextPair()
{
    const int topic = m_values.topic;
    const bool sequence = m_values.sequentialOrder != 0;
    if (topic >= kFirstTopicOfBook)
        nextFromBook(topic, sequence);
    else
        nextFromTable(topic, sequence);
}

void PlaybackEngine::nextFromTable(int topic, bool sequence)
{
    int id = 0;
    if (!sequence) {
        const int number = draw(m_random, kPairs);
        // The whole table draws its group from all groups.
        const int group = topic == 0 ? draw(m_random, kGroups) : topic;
        id = 10000 + 100 * group + number;
        m_randomId = qint16(id);
    } else if (topic != 0) {
        int p = m_values.position;
        const int last = 10000 + 100 * topic + kPairs;
        if (floorDiv(p - 10000, 100) != topic || p > last)
            p = firstOfGroup(topic);
        id = p;
    } else {
        int p = m_values.position;
        if (p - 100 * floorDiv(p, 100) > kPairs)
            p = 100 * (floorDiv(p - 10000, 100) + 101) + 1;
        // Past the last group, or a position outside the table: start again
        // at its first pair.
        const int group = floorDiv(p - 10000, 100);
        if (group < 1 || group > kGroups)
            p = firstOfGroup(1);
        id = p;
    }

    const bool loaded = load(id);
    if (!loaded)
        message(QString::number(id));
    if (sequence) {
        m_values.position = qint16(id + 1);
        setToolTips();
    }
}

template <typename Access> bool PlaybackEngine::guarded(Access&& access) noexcept
{
    try {
        access();
        return true;
    } catch (...) {
        return false;
    }
}

QString PlaybackEngine::bookFailureMessage(BookFailure failure, const QString& location)
{
    QString cause;
    switch (failure) {
    case BookFailure::None:
        return kEmptyBook;
    case BookFailure::Missing:
        cause = kMissingBook;
        break;
    case BookFailure::Locked:
        cause = kLockedBook;
        break;
    case BookFailure::Damaged:
        cause = kDamagedBook;
        break;
    case BookFailure::NotAWordBook:
        cause = kNotAWordBook;
        break;
    case BookFailure::Unreadable:
        cause = kUnreadableBook;
        break;
    }
    return location.isEmpty() ? cause : cause + u'\n' + location;
}

void PlaybackEngine::reportBookFailure(BookFailure failure)
{
    // Retried at every pick: telling the learner at every pick would put a
    // box in front of every pair.
    if (m_reportedFailures.contains(int(failure)))
        return;
    m_reportedFailures.insert(int(failure));
    QString location;
    guarded([&] { location = m_book.location(); });
    message(bookFailureMessage(failure, location));
}

void PlaybackEngine::nextFromBook(int topic, bool sequence)
{
    int count = 0;
    BookFailure failure = BookFailure::Unreadable;
    guarded([&] {
        count = m_book.openAndCount();
        failure = m_book.failure();
    });
    if (failure == BookFailure::None)
        m_reportedFailures.clear(); // read again: a later failure is news
    if (count > 0) {
        m_view.startWordBookStep(int(m_values.englishSeconds) * 1000);
        bindWordBook();
        std::tie(m_russian, m_english) = boundRecord();
        if (sequence)
            setToolTips();
        return;
    }
    if (failure == BookFailure::None)
        message(kEmptyBook);
    else
        reportBookFailure(failure);
    nextFromTable(topic, sequence);
}

std::pair<QString, QString> PlaybackEngine::boundRecord()
{
    QString russian;
    QString english;
    guarded([&] {
        russian = m_book.russian();
        english = m_book.english();
    });
    return {cutToShownLength(russian), cutToShownLength(english)};
}

void PlaybackEngine::showBoundRecord()
{
    const auto [russian, english] = boundRecord();
    m_view.setBoundRussianCaption(russian);
    m_view.setBoundEnglishCaption(english);
}

void PlaybackEngine::bindWordBook()
{
    guarded([&] { m_book.bind(); });
    showBoundRecord();
}

void PlaybackEngine::onWordBookStepTick()
{
    guarded([&] { m_book.step(); });
    showBoundRecord();
}

void PlaybackEngine::speak()
{
    speech::AgentCharacter* character = m_view.currentCharacter();
    if (!character)
        return;
    if (m_values.speakAloud == 1)
        character->Speak(QStringLiteral("\\SPD=") + QString::number(m_values.speechSpeed) +
                         QStringLiteral("\\") + m_russian);
    character->Play(QStringLiteral("Wave"));
}

void PlaybackEngine::onPresentationTick()
{
    if (m_messageOpen)
        return;
    // The cut pair counts as shown: its speech is gone, and what is left of
    // it would be lines without their voice.
    const bool interrupted = std::exchange(m_interrupted, false);
    if (interrupted)
        abandonPresentation();
    ++m_ticks;
    if (interrupted || m_shows >= m_values.showsPerPair) {
        m_shows = 0;
        pickNextPair();
    }

    const int russianTicks = 10 * m_values.russianSeconds;
    const int englishTicks = 10 * m_values.englishSeconds;
    const bool russianFirst = m_values.russianFirst == 1;
    const int first = russianFirst ? russianTicks : englishTicks;
    const int both = russianTicks + englishTicks;

    switch (m_state) {
    case 0:
        m_state = 1;
        if (russianFirst) {
            m_view.setRussianSlideEnabled(true);
            speak();
        } else {
            m_view.setEnglishSlideEnabled(true);
        }
        break;
    case 1:
        m_state = m_ticks >= first ? 2 : 1;
        break;
    case 2:
        m_state = 3;
        if (russianFirst) {
            m_view.setRussianLineCaption(QStringLiteral(" "));
            m_view.setEnglishSlideEnabled(true);
        } else {
            m_view.setEnglishLineCaption(QStringLiteral(" "));
            m_view.setEnglishLineTopTwips(kEnglishLineStartTop);
            m_view.setRussianSlideEnabled(true);
            speak();
        }
        break;
    case 3:
        m_state = (first <= m_ticks && m_ticks <= both) ? 3 : 4;
        break;
    default:
        m_state = 0;
        if (russianFirst) {
            m_view.setEnglishLineCaption(QStringLiteral(" "));
            m_view.setEnglishLineTopTwips(kEnglishLineStartTop);
        } else {
            m_view.setRussianLineCaption(QStringLiteral(" "));
        }
        ++m_shows;
        m_ticks = 0;
        break;
    }
}

void PlaybackEngine::onRussianSlideTick()
{
    m_view.setRussianLineCaption(QString(kSlideSteps - m_slide, u' ') + m_russian);
    if (m_slide++ == kSlideSteps - 1) {
        m_slide = 0;
        m_view.setRussianSlideEnabled(false);
    }
}

void PlaybackEngine::onEnglishSlideTick()
{
    m_view.setEnglishLineCaption(QStringLiteral(" ") + m_english);
    const int top = m_view.englishLineTopTwips();
    if (top > kEnglishLineRestTop) {
        m_view.setEnglishLineTopTwips(top - 10);
    } else {
        m_view.setEnglishLineTopTwips(kEnglishLineRestTop);
        m_view.setEnglishSlideEnabled(false);
    }
}

} // namespace playback
