#include "agenttestsupport.h"

#include "common/speech/agent/agent.h"
#include "common/speech/agent/characterloader.h"
#include "common/speech/agent/framerenderer.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

using speech::agent::Agent;
using speech::agent::CharacterData;
using speech::agent::CharacterLoader;
using speech::agent::DesktopCharacter;
using speech::agent::FrameRenderer;

// What a character may take in memory: its pictures, its kept frames, and the
// whole process while the worst of them plays.
class TestCharacterBudget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void pictureBudgetCountsDrawnSizes_data();
    void pictureBudgetCountsDrawnSizes();
    void gigabytePicturesAreRefusedWithinMemory();
    void characterAtTheBudgetPlaysWithinMemory();
    void keptFramesMatchFreshOnes();

private:
    std::unique_ptr<Agent> makeAgent();

    QString m_folder;
    agenttest::FakeClock m_clock;
    agenttest::FakeRandom m_random;
};

namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kPeakLimitMiB = 300;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Resident and peak resident memory of this process.
qint64 residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) / kMiB : -1;
}

qint64 peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024; // kilobytes on Linux
}

// A measurement that failed (no /proc) is not within the limit.
bool withinLimit(qint64 mebibytes)
{
    return mebibytes > 0 && mebibytes < kPeakLimitMiB;
}

// An SVG picture with these attributes on its root: a 900 x 700 rectangle,
// or nothing when empty.
QByteArray svg(const QByteArray& attributes, bool empty = false)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" " + attributes + ">" +
           (empty ? "" : "<rect x=\"10\" y=\"10\" width=\"900\" height=\"700\" fill=\"#3a6\"/>") +
           "</svg>";
}

// A character of count copies of picture, and one looping animation Many of
// frames frames, each drawing one picture at its own offset so that no two
// frames look alike.
QByteArray pictureCharacter(int side, int count, const QByteArray& picture, int frames = 1)
{
    QByteArray text = "VELKOR-ACS 1\nname Big\nsize " + QByteArray::number(side) + " " +
                      QByteArray::number(side) + "\n";
    for (int i = 0; i < count; ++i)
        text += "image p" + QByteArray::number(i) + "\n" + picture + "\nendimage\n";
    text += "animation Many\n";
    for (int f = 0; f < frames; ++f)
        text += "frame 10\nlayer p" + QByteArray::number(f % count) + " " +
                QByteArray::number(-(f % 64) * 3) + " " + QByteArray::number(-(f / 64) * 3) + "\n";
    return text + "branch 0 100\nendanimation\n";
}

} // namespace

void TestCharacterBudget::init()
{
    auto& env = testsupport::TestEnvironment::instance();
    env.reset();
    m_folder = env.dataHome() + "/chars";
    QVERIFY(QDir().mkpath(m_folder));
    m_clock.now = 1000;
}

std::unique_ptr<Agent> TestCharacterBudget::makeAgent()
{
    speech::agent::AgentOptions options;
    options.userFolder = m_folder;
    options.positionFile = testsupport::TestEnvironment::instance().configHome() + "/pos.ini";
    options.clock = &m_clock;
    options.random = &m_random;
    return std::make_unique<Agent>(std::make_unique<agenttest::FakeSynthesizer>(), options);
}

void TestCharacterBudget::pictureBudgetCountsDrawnSizes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint64>("bytes");
    const QByteArray big = svg("width=\"2048\" height=\"2048\"");
    const qint64 bigBytes = 2048 * 2048 * 4;
    QTest::newRow("declared, at the budget") << pictureCharacter(1024, 4, big) << 4 * bigBytes;
    QTest::newRow("declared, one more") << pictureCharacter(1024, 5, big) << 5 * bigBytes;
    // Drawn at most twice the frame size, whatever they declare.
    QTest::newRow("huge declared")
        << pictureCharacter(1024, 5, svg("width=\"1e8\" height=\"1e8\"")) << 5 * bigBytes;
    QTest::newRow("viewBox only") << pictureCharacter(1024, 5, svg("viewBox=\"0 0 9000 9000\""))
                                  << 5 * bigBytes;
    QTest::newRow("small frame") << pictureCharacter(64, 256, big) << 256 * 128 * 128 * 4LL;
    // Without a size of its own, a picture takes its content's, or the frame's.
    const qint64 contentBytes = 900 * 700 * 4;
    QTest::newRow("content, under") << pictureCharacter(1024, 26, svg("")) << 26 * contentBytes;
    QTest::newRow("content, over") << pictureCharacter(1024, 27, svg("")) << 27 * contentBytes;
    QTest::newRow("empty, at the budget")
        << pictureCharacter(1024, 16, svg("", true)) << 16 * 1024 * 1024 * 4LL;
    QTest::newRow("empty, one more")
        << pictureCharacter(1024, 17, svg("", true)) << 17 * 1024 * 1024 * 4LL;
    QTest::newRow("gigabytes") << pictureCharacter(1024, 256, big) << 256 * bigBytes;
}

void TestCharacterBudget::pictureBudgetCountsDrawnSizes()
{
    QFETCH(QByteArray, text);
    QFETCH(qint64, bytes);
    const auto result = CharacterLoader::fromBytes(text);
    if (bytes <= CharacterLoader::kMaxPictureBytes) {
        QVERIFY2(result.character, qPrintable(result.error));
        QCOMPARE(result.character->pictureBytes(), bytes);
    } else {
        QVERIFY(!result.character);
        const qint64 mebibytes = (bytes + kMiB - 1) / kMiB;
        QVERIFY2(result.error.contains(QStringLiteral("%1 MiB").arg(mebibytes)),
                 qPrintable(result.error));
    }
}

void TestCharacterBudget::gigabytePicturesAreRefusedWithinMemory()
{
    // 256 pictures of 2048 x 2048 in a file of a few dozen kilobytes.
    const QByteArray text = pictureCharacter(1024, 256, svg("width=\"2048\" height=\"2048\""), 256);
    QVERIFY(text.size() < 64 * 1024);
    QFile file(m_folder + "/Huge.acs");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    auto agent = makeAgent();
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("Huge\\.acs: .*4096 MiB.*64 MiB")));
    QVERIFY(!agent->Load("Huge", "Huge.acs"));
    QVERIFY(!agent->Character("Huge"));
    QVERIFY2(agent->lastError().contains(QStringLiteral("4096 MiB")),
             qPrintable(agent->lastError()));
    if (!kSanitized)
        QVERIFY2(withinLimit(peakMiB()), qPrintable(QString::number(peakMiB())));
}

void TestCharacterBudget::characterAtTheBudgetPlaysWithinMemory()
{
    // 64 MiB of pictures and 100 distinct frames of 4 MiB each: kept without
    // a bound, the frames alone would take 400 MiB.
    QFile file(m_folder + "/Full.acs");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(pictureCharacter(1024, 4, svg("width=\"2048\" height=\"2048\""), 100));
    file.close();
    auto agent = makeAgent();
    QVERIFY2(agent->Load("Full", "Full.acs"), qPrintable(agent->lastError()));
    auto* full = static_cast<DesktopCharacter*>(agent->Character("Full"));
    full->Show();
    full->Play(QStringLiteral("Many"));
    const int compositions = full->renderer().compositions();
    for (int tick = 0; tick < 250; ++tick) {
        m_clock.now = *full->nextDeadline();
        full->tick();
        // The sanitizer's own memory makes resident sizes meaningless there.
        if (!kSanitized)
            QVERIFY2(withinLimit(residentMiB()), qPrintable(QString::number(residentMiB())));
    }
    QCOMPARE(full->renderer().compositions() - compositions, 250);
    QVERIFY(full->renderer().cachedBytes() <= FrameRenderer::kDefaultCacheBytes);
    if (!kSanitized)
        QVERIFY2(withinLimit(peakMiB()), qPrintable(QString::number(peakMiB())));
}

void TestCharacterBudget::keptFramesMatchFreshOnes()
{
    // Random frames from a few pictures, offsets and mouths, drawn through a
    // renderer that keeps about three frames: each must look exactly like the
    // same frame drawn afresh, the same frame twice in a row is drawn once,
    // and the kept ones stay within the budget.
    QByteArray text = agenttest::tinyCharacter();
    text.replace("mouth open mouth 0 0", "mouth open body 2 2");
    const auto loaded = CharacterLoader::fromBytes(text);
    QVERIFY(loaded.character);
    const CharacterData& c = *loaded.character;
    constexpr qint64 kBudget = 3 * 32 * 32 * 4 + 600;
    FrameRenderer kept(c, kBudget);
    QRandomGenerator rng(5);
    for (int i = 0; i < 400; ++i) {
        speech::agent::Frame frame;
        for (int l = rng.bounded(3); l > 0; --l)
            frame.layers.append({rng.bounded(2), rng.bounded(2) * 4, 0});
        frame.speaking = rng.bounded(2) == 1;
        frame.mouthX = rng.bounded(2) * 8;
        const auto viseme = static_cast<speech::Viseme>(rng.bounded(2));
        const auto shown = kept.render(&frame, viseme);
        const auto fresh = FrameRenderer(c, 0).render(&frame, viseme);
        QCOMPARE(shown.image, fresh.image);
        QCOMPARE(shown.shape, fresh.shape);
        QVERIFY(kept.cachedBytes() <= kBudget);
        const int compositions = kept.compositions();
        QCOMPARE(kept.render(&frame, viseme).image.cacheKey(), shown.image.cacheKey());
        QCOMPARE(kept.compositions(), compositions);
    }
    QCOMPARE(FrameRenderer(c).render(nullptr, speech::Viseme::Rest).image.size(), QSize(32, 32));
}

QTEST_MAIN(TestCharacterBudget)
#include "tst_characterbudget.moc"
