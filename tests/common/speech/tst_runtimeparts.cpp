#include "common/speech/debuglog.h"
#include "common/speech/runtimeparts.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

using speech::SpeechPart;

namespace {

// What stderr received while the action ran.
QByteArray stderrOf(const std::function<void()>& action)
{
    QTemporaryFile capture;
    if (!capture.open())
        return {};
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    action();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    capture.seek(0);
    return capture.readAll();
}

} // namespace

class TestRuntimeParts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The debug log stays off, as in normal use.
        qunsetenv(speech::kDebugVariable);
    }

    void onlyPartsSpeechNeedsAreNamedOnceWithTheirPackage()
    {
        const QByteArray printed = stderrOf([] {
            for (int round = 0; round < 3; ++round)
                for (const speech::RuntimePart& part : speech::runtimeParts())
                    speech::reportMissingPart(part.part);
        });
        const QList<QByteArray> lines = printed.trimmed().split('\n');
        qsizetype needed = 0;
        for (const speech::RuntimePart& part : speech::runtimeParts()) {
            const QString message = speech::missingPartMessage(part.part);
            QVERIFY(message.startsWith(QStringLiteral("tst_runtimeparts: ")));
            QVERIFY(message.contains(QLatin1String(part.file)));
            QVERIFY(message.contains(QStringLiteral("apt install ") + part.package));
            // A machine without sound libraries still speaks in silence: quiet.
            QVERIFY2(lines.contains(message.toLocal8Bit()) == part.speechNeedsIt,
                     qPrintable(message));
            QCOMPARE(part.speechNeedsIt,
                     part.part == SpeechPart::Synthesizer || part.part == SpeechPart::Voices);
            needed += part.speechNeedsIt ? 1 : 0;
        }
        QCOMPARE(lines.size(), needed);
    }

    void packagesHoldWhatSpeechOpens()
    {
        // The names the message and the package's Depends rely on, checked
        // against the package database of this Debian system.
        if (QStandardPaths::findExecutable(QStringLiteral("dpkg-query")).isEmpty())
            QSKIP("no package database here");
        for (const speech::RuntimePart& part : speech::runtimeParts()) {
            const QString file = part.part == SpeechPart::Voices
                                     ? QStringLiteral("espeak-ng-data/phontab")
                                     : QLatin1String(part.file);
            QProcess search;
            search.start(QStringLiteral("dpkg-query"), {QStringLiteral("-S"), file});
            QVERIFY(search.waitForFinished(20000));
            const QString owners = QString::fromUtf8(search.readAllStandardOutput());
            QVERIFY2(owners.startsWith(QLatin1String(part.package) + u':'),
                     qPrintable(file + ": " + owners));
        }
    }
};

QTEST_GUILESS_MAIN(TestRuntimeParts)
#include "tst_runtimeparts.moc"
