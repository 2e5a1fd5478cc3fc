#include "agenttestsupport.h"

#include "common/speech/agent/characterloader.h"
#include "tests/support/testenvironment.h"

#include <QTemporaryDir>
#include <QtTest>

using speech::agent::CharacterData;
using speech::agent::CharacterLoader;

class TestCharacterLoader : public QObject
{
    Q_OBJECT

private slots:
    void acceptsValidCharacter();
    void refusesBadFiles_data();
    void refusesBadFiles();
    void refusesMissingAndOversizeFiles();
    void everyTruncationIsRefusedOrConsistent();
    void shippedCharactersHaveEveryAnimation_data();
    void shippedCharactersHaveEveryAnimation();
};

namespace {

QByteArray replaced(QByteArray text, const QByteArray& from, const QByteArray& to)
{
    if (!text.contains(from))
        qFatal("test fixture lacks \"%s\"", from.constData());
    return text.replace(from, to);
}

// Every reference of a loaded character must be usable without checks.
void checkConsistent(const CharacterData& c)
{
    QVERIFY(!c.animations.isEmpty());
    for (const auto& a : c.animations) {
        QVERIFY(!a.frames.isEmpty());
        for (const auto& f : a.frames) {
            QVERIFY(f.durationMs > 0);
            QVERIFY(f.exitTarget <= a.frames.size());
            for (const auto& l : f.layers)
                QVERIFY(l.image >= 0 && l.image < c.images.size());
            for (const auto& b : f.branches)
                QVERIFY(b.target >= 0 && b.target < a.frames.size());
        }
    }
}

} // namespace

void TestCharacterLoader::acceptsValidCharacter()
{
    const auto result = CharacterLoader::fromBytes(agenttest::tinyCharacter());
    QVERIFY2(result.character, qPrintable(result.error));
    const CharacterData& c = *result.character;
    QCOMPARE(c.name, QStringLiteral("Tiny"));
    QCOMPARE(c.width, 32);
    QCOMPARE(c.images.size(), 2);
    const int loop = c.findAnimation(QStringLiteral("LOOP"));
    QVERIFY(loop >= 0);
    QCOMPARE(c.animations[loop].frames[0].exitTarget, 2);
    QCOMPARE(c.animations[loop].frames[0].branches.size(), 1);
    QCOMPARE(c.animations[loop].frames[1].layers[0].x, 2);
    QCOMPARE(c.stateAnimations(QStringLiteral("IdlingLevel1")).size(), 2);
    QVERIFY(c.animations[c.findAnimation(QStringLiteral("speak"))].frames[0].speaking);
    checkConsistent(c);

    // Windows line ends and comments are fine.
    QByteArray crlf = agenttest::tinyCharacter();
    crlf.replace("\n", "\r\n");
    crlf.replace("size 32 32", "# a comment\r\nsize 32 32");
    const auto again = CharacterLoader::fromBytes(crlf);
    QVERIFY2(again.character, qPrintable(again.error));
    QCOMPARE(again.character->animations.size(), c.animations.size());
}

void TestCharacterLoader::refusesBadFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray good = agenttest::tinyCharacter();

    QTest::newRow("empty") << QByteArray() << "empty";
    QTest::newRow("blank") << QByteArray("\n\n") << "magic";
    QTest::newRow("garbage") << QByteArray("\x7f"
                                           "ELF\x02\x01\x01 garbage \xff\xfe")
                             << "magic";
    QTest::newRow("binary") << (good + QByteArray(1, '\0')) << "binary";
    QTest::newRow("other text") << QByteArray("<svg></svg>\n") << "magic";
    QTest::newRow("newer version") << replaced(good, "VELKOR-ACS 1", "VELKOR-ACS 2") << "version";
    QTest::newRow("no version") << replaced(good, "VELKOR-ACS 1", "VELKOR-ACS") << "magic";
    QTest::newRow("truncated in image") << good.left(good.indexOf("endimage")) << "not closed";
    QTest::newRow("truncated in animation")
        << good.left(good.lastIndexOf("endanimation")) << "not closed";
    QTest::newRow("unknown image")
        << replaced(good, "layer body 2 0", "layer nobody 2 0") << "unknown image";
    QTest::newRow("branch past end")
        << replaced(good, "branch 0 100\nframe 50", "branch 7 100\nframe 50") << "missing frame";
    QTest::newRow("exit past end")
        << replaced(good, "frame 50 exit 2", "frame 50 exit 9") << "exit";
    QTest::newRow("exit loop") << replaced(good, "frame 50\nlayer body 2 0",
                                           "frame 50 exit 0\nlayer body 2 0")
                               << "loop";
    QTest::newRow("probabilities over 100")
        << replaced(good, "branch 0 100", "branch 0 60\nbranch 1 50") << "100";
    QTest::newRow("zero duration") << replaced(good, "frame 30", "frame 0") << "duration";
    QTest::newRow("negative duration") << replaced(good, "frame 30", "frame -30") << "duration";
    QTest::newRow("overflowing number")
        << replaced(good, "layer body 0 1", "layer body 0 99999999999999999999") << "not a number";
    QTest::newRow("huge offset") << replaced(good, "layer body 0 1", "layer body 0 5000")
                                 << "not a number";
    QTest::newRow("size too big") << replaced(good, "size 32 32", "size 32 100000") << "height";
    QTest::newRow("no size") << replaced(good, "size 32 32\n", "") << "size";
    QTest::newRow("state names unknown animation")
        << replaced(good, "state Hiding Hide", "state Hiding Vanish") << "unknown animation";
    QTest::newRow("duplicate animation")
        << replaced(good, "animation Idle", "animation blink") << "twice";
    QTest::newRow("duplicate image") << replaced(good, "image mouth", "image body") << "twice";
    QTest::newRow("layer before frame")
        << replaced(good, "animation Hide\nframe 100", "animation Hide\nlayer body 0 0")
        << "before the first frame";
    QTest::newRow("missing mouth") << replaced(good, "mouth teeth mouth 0 0\n", "") << "teeth";
    QTest::newRow("unknown keyword")
        << replaced(good, "size 32 32", "size 32 32\nexecute rm") << "unknown keyword";
    QTest::newRow("invalid svg") << replaced(good, "<rect", "<rect <<") << "SVG";
    QTest::newRow("entity expansion")
        << replaced(good, "image body\n", "image body\n<!DOCTYPE svg [<!ENTITY a \"aaaa\">]>\n")
        << "doctype";
    QTest::newRow("external picture")
        << replaced(good, "<rect",
                    "<image href=\"file:///etc/passwd\" width=\"9\" height=\"9\"/><rect")
        << "image";
    QTest::newRow("path in image name")
        << replaced(good, "image mouth", "image ../mouth") << "image name";
}

void TestCharacterLoader::refusesBadFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const auto result = CharacterLoader::fromBytes(bytes);
    QVERIFY(!result.character);
    QVERIFY2(result.error.contains(reason, Qt::CaseInsensitive), qPrintable(result.error));
}

void TestCharacterLoader::refusesMissingAndOversizeFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto missing = CharacterLoader::fromFile(dir.filePath(QStringLiteral("none.acs")));
    QVERIFY(!missing.character);
    QVERIFY(missing.error.contains(QStringLiteral("cannot open")));

    // A valid character padded with comments past the limit is still refused.
    QByteArray big = agenttest::tinyCharacter();
    const QByteArray comment = "# " + QByteArray(1000, 'x') + "\n";
    while (big.size() <= CharacterLoader::kMaxFileBytes)
        big += comment;
    QFile file(dir.filePath(QStringLiteral("big.acs")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(big);
    file.close();
    const auto oversize = CharacterLoader::fromFile(file.fileName());
    QVERIFY(!oversize.character);
    QVERIFY2(oversize.error.contains(QStringLiteral("larger")), qPrintable(oversize.error));
    QVERIFY(!CharacterLoader::fromBytes(big).character);
    // The same character under the limit loads.
    QVERIFY(CharacterLoader::fromBytes(big.left(CharacterLoader::kMaxFileBytes - 2000)).character);
}

void TestCharacterLoader::everyTruncationIsRefusedOrConsistent()
{
    const QByteArray good = agenttest::tinyCharacter();
    for (qsizetype cut = 0; cut < good.size(); cut += 7) {
        const auto result = CharacterLoader::fromBytes(good.left(cut));
        if (result.character)
            checkConsistent(*result.character);
        else
            QVERIFY(!result.error.isEmpty());
    }
}

void TestCharacterLoader::shippedCharactersHaveEveryAnimation_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"Merlin", "Rivet", "Sova"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestCharacterLoader::shippedCharactersHaveEveryAnimation()
{
    QFETCH(QString, name);
    const QString path =
        testsupport::TestEnvironment::appDir() + QStringLiteral("/msagent/chars/") + name + ".acs";
    const auto result = CharacterLoader::fromFile(path);
    QVERIFY2(result.character, qPrintable(result.error));
    const CharacterData& c = *result.character;
    QCOMPARE(c.name, name);
    checkConsistent(c);
    for (const char* animation :
         {"Show", "Hide", "Greet", "Wave", "Read", "Blink", "Idle", "Think", "Explain", "Pleased",
          "Surprised", "Congratulate", "Sad", "Acknowledge", "RestPose", "Speak"}) {
        QVERIFY2(c.findAnimation(QLatin1String(animation)) >= 0, animation);
    }
    for (const char* state :
         {"Showing", "Hiding", "Speaking", "IdlingLevel1", "IdlingLevel2", "IdlingLevel3"})
        QVERIFY2(!c.stateAnimations(QLatin1String(state)).isEmpty(), state);
    for (const auto& mouth : c.mouths)
        QVERIFY(mouth.image >= 0);
    const auto& speak = c.animations[c.findAnimation(QStringLiteral("Speak"))];
    QVERIFY(std::any_of(speak.frames.cbegin(), speak.frames.cend(),
                        [](const auto& f) { return f.speaking; }));
}

QTEST_MAIN(TestCharacterLoader)
#include "tst_characterloader.moc"
