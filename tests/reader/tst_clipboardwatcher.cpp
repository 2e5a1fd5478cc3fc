#include "reader/clipboardwatcher.h"
#include "reader/readabletext.h"
#include "tests/common/speech/agent/agenttestsupport.h"
#include "tests/reader/readerfakes.h"

#include <QSignalSpy>
#include <QtTest>

using reader::ClipboardWatcher;
using readertest::FakeClipboard;

class TestClipboardWatcher : public QObject
{
    Q_OBJECT

private slots:
    void eachNewCopyIsReadOnce();
    void pollStandsInUntilNotificationsArrive();
    void badCopiesSayNothingAndStaySmall();
};

void TestClipboardWatcher::eachNewCopyIsReadOnce()
{
    FakeClipboard clipboard;
    agenttest::FakeClock clock;
    ClipboardWatcher watcher(clipboard, clock);
    QSignalSpy copies(&watcher, &ClipboardWatcher::textCopied);

    clipboard.copy("before"); // not watching yet
    QCOMPARE(copies.size(), 0);
    QCOMPARE(clipboard.reads, 0);

    watcher.setEnabled(true);
    clock.now += 2000;
    watcher.pollTick(); // what was there at the start is not a copy
    QCOMPARE(copies.size(), 0);

    clipboard.copy("first");
    QCOMPARE(copies.size(), 1);
    QCOMPARE(copies.last().first().toString(), QStringLiteral("first"));
    watcher.pollTick();
    QCOMPARE(copies.size(), 1);

    // The same text copied again later is a new copy; the same copy taken
    // over at once (a clipboard manager) is not.
    clock.now += 100;
    clipboard.copy("first");
    QCOMPARE(copies.size(), 1);
    clock.now += ClipboardWatcher::kSameCopyMs;
    clipboard.copy("first");
    QCOMPARE(copies.size(), 2);

    // Our own copies are left alone, and nothing is read while switched off.
    clock.now += 1000;
    clipboard.content = "typed here";
    clipboard.ours = true;
    emit clipboard.changed();
    watcher.pollTick();
    QCOMPARE(copies.size(), 2);
    watcher.setEnabled(false);
    clipboard.copy("while off");
    QCOMPARE(copies.size(), 2);
    watcher.setEnabled(true);
    clock.now += 1000;
    watcher.pollTick();
    QCOMPARE(copies.size(), 2); // it was there when watching started again
}

void TestClipboardWatcher::pollStandsInUntilNotificationsArrive()
{
    FakeClipboard clipboard;
    agenttest::FakeClock clock;
    ClipboardWatcher watcher(clipboard, clock);
    QSignalSpy copies(&watcher, &ClipboardWatcher::textCopied);
    QVERIFY(!watcher.isPolling());
    watcher.setEnabled(true);
    QVERIFY(watcher.isPolling());

    clipboard.copy("silent one", false);
    QCOMPARE(copies.size(), 0);
    clock.now += ClipboardWatcher::kPollMs;
    watcher.pollTick();
    QCOMPARE(copies.size(), 1);
    watcher.pollTick();
    QCOMPARE(copies.size(), 1);

    // Our own copy proves nothing; another program's does.
    clipboard.ours = true;
    emit clipboard.changed();
    QVERIFY(watcher.isPolling());
    clock.now += 1000;
    clipboard.copy("told");
    QVERIFY(!watcher.isPolling());
    QCOMPARE(copies.size(), 2);
    watcher.setEnabled(false);
    watcher.setEnabled(true);
    QVERIFY(!watcher.isPolling()); // still known to arrive
}

void TestClipboardWatcher::badCopiesSayNothingAndStaySmall()
{
    FakeClipboard clipboard;
    agenttest::FakeClock clock;
    ClipboardWatcher watcher(clipboard, clock);
    QSignalSpy copies(&watcher, &ClipboardWatcher::textCopied);
    watcher.setEnabled(true);

    // Empty, only a picture (no text), blanks only, controls only.
    for (const QString& nothing :
         {QString(), QString(), QStringLiteral(" \n\t "), QString(5, QChar(0))}) {
        clock.now += 1000;
        clipboard.copy(nothing);
    }
    QCOMPARE(copies.size(), 0);

    clock.now += 1000;
    clipboard.copy(QStringLiteral("a\0b") + QChar(0xD800) + QStringLiteral(" c"));
    QCOMPARE(copies.size(), 1);
    QCOMPARE(copies.last().first().toString(), QStringLiteral("a b\uFFFD c"));

    clock.now += 1000;
    clipboard.copy(QString(5 * 1024 * 1024, u'ж'));
    QCOMPARE(copies.size(), 2);
    QCOMPARE(copies.last().first().toString().size(), reader::kMaxCopiedCharacters);
}

QTEST_GUILESS_MAIN(TestClipboardWatcher)
#include "tst_clipboardwatcher.moc"
