#include "reader/readerwindow.h"
#include "skin/captionbutton.h"
#include "skin/skinbutton.h"
#include "skin/skinframe.h"
#include "tests/support/stressmarkink.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>

using reader::ReaderWindow;

class TestReaderWindow : public QObject
{
    Q_OBJECT

private slots:
    void controlsStandWhereDesigned();
    void theHeardWordIsMarkedAndKeptInView();
    void stressMarksStandOverTheirVowels();
    void onlyTheLearnersEditsCount();
    void closingHidesAtOnceAndPicksAreReported();
};

void TestReaderWindow::controlsStandWhereDesigned()
{
    ReaderWindow window;
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    const auto px = [dpi](int twips) { return int(std::lround(twips * dpi / 1440.0)); };
    const auto rect = [&px](int l, int t, int w, int h) {
        return QRect(px(l), px(t), px(w), px(h));
    };
    QCOMPARE(window.size(), QSize(px(6375), px(4815)));
    QCOMPARE(window.frame()->caption(), QStringLiteral("Reader Tobrin"));
    QCOMPARE(window.characterLabel()->geometry(), rect(240, 600, 1215, 255));
    QCOMPARE(window.textBox()->parentWidget()->geometry(), rect(1560, 600, 4695, 3495));
    QCOMPARE(window.textBox()->geometry(), rect(120, 240, 4425, 3105));
    QCOMPARE(window.textBox()->toPlainText(), QStringLiteral("Tell me what to read"));
    QCOMPARE(window.autoReadBox()->text().replace(u'\n', u' '),
             QStringLiteral("Auto Read Clipboard"));
    QCOMPARE(window.autoReadBox()->geometry(), rect(240, 3480, 1215, 495));
    const struct {
        skin::SkinButton* button;
        const char* caption;
        QRect place;
    } buttons[] = {{window.exitButton(), "Exit", rect(240, 4200, 615, 375)},
                   {window.readButton(), "Read", rect(840, 4200, 735, 375)},
                   {window.stopButton(), "Stop", rect(1560, 4200, 735, 375)},
                   {window.playAnimationButton(), "Play Animation", rect(2280, 4200, 1575, 375)}};
    for (const auto& b : buttons) {
        QCOMPARE(b.button->caption(), QString::fromLatin1(b.caption));
        QCOMPARE(b.button->geometry(), b.place);
        QCOMPARE(b.button->font().family(), QStringLiteral("Arial"));
        QCOMPARE(b.button->font().pointSize(), 9);
    }
    QCOMPARE(window.characterList()->geometry(), rect(4800, 4270, 1455, 285));
    QCOMPARE(window.palette().color(QPalette::Window), QColor(224, 224, 224));
    for (QWidget* control : {static_cast<QWidget*>(window.characterLabel()),
                             static_cast<QWidget*>(window.autoReadBox())})
        QCOMPARE(control->palette().color(control->backgroundRole()), QColor(236, 233, 216));
    QCOMPARE(window.closeButton()->glyph(), 0);

    window.setCharacterChoices({"Merlin", "Sova"}, "sova");
    QCOMPARE(window.characterList()->currentText(), QStringLiteral("Sova.acs"));
    window.setCharacterCaption("No character", "Merlin.acs could not be loaded");
    QCOMPARE(window.characterLabel()->text(), QStringLiteral("No character"));
}

void TestReaderWindow::theHeardWordIsMarkedAndKeptInView()
{
    ReaderWindow window;
    window.showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QString text;
    for (int i = 0; i < 2000; ++i)
        text += QStringLiteral("Строка номер %1.\n").arg(i);
    window.setText(text);
    const qsizetype far = text.indexOf(QStringLiteral("номер 1500"));
    window.highlightWord(far, 5);
    QCOMPARE(window.highlightedWord(), (std::pair<qsizetype, qsizetype>(far, 5)));
    QTextCursor cursor(window.textBox()->document());
    cursor.setPosition(int(far));
    QVERIFY(window.textBox()->viewport()->rect().contains(window.textBox()->cursorRect(cursor)));
    QCOMPARE(window.textBox()->textCursor().position(), 0); // the learner's caret stays
    window.highlightWord(0, 0);
    QCOMPARE(window.highlightedWord(), (std::pair<qsizetype, qsizetype>(0, 0)));
    window.highlightWord(text.size() + 10, 4); // past the end: no mark, no crash
    QCOMPARE(window.highlightedWord(), (std::pair<qsizetype, qsizetype>(0, 0)));
}

// Typed and copied stress marks show as they are, over their vowels at the
// box's size, also in the word being heard.
void TestReaderWindow::stressMarksStandOverTheirVowels()
{
    ReaderWindow window;
    window.showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QPlainTextEdit& box = *window.textBox();
    QCOMPARE(box.font().pointSizeF(), window.font().pointSizeF());
    const testsupport::SetText setText = [&window](const QString& text) { window.setText(text); };
    const QStringList faults = testsupport::stressMarkFaults(box, setText);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));

    // The heard word is marked up to its last letter or past its mark: the
    // mark keeps its place either way.
    const QString words = QStringLiteral("Рука́ замо́к");
    const QRect unmarked = testsupport::stressMarkInk(box, setText, words);
    const testsupport::SetText setHeard = [&window](const QString& text) {
        window.setText(text);
        window.highlightWord(0, 4);
    };
    QCOMPARE(testsupport::stressMarkInk(box, setHeard, words), unmarked);
    const testsupport::SetText setWholeHeard = [&window](const QString& text) {
        window.setText(text);
        window.highlightWord(0, text.indexOf(u' '));
    };
    QCOMPARE(testsupport::stressMarkInk(box, setWholeHeard, words), unmarked);

    const QString folder = qEnvironmentVariable("VELKOR_ARTIFACTS");
    if (!folder.isEmpty() && QDir().mkpath(folder)) {
        window.setText(QStringLiteral("Э́то замо́к.\nУ́тром мы чита́ли ру́сские кни́ги."));
        window.highlightWord(5, 6);
        QVERIFY(window.grab().save(folder + QStringLiteral("/reader-stress-marks.png")));
    }
}

void TestReaderWindow::onlyTheLearnersEditsCount()
{
    ReaderWindow window;
    window.show();
    QSignalSpy edits(&window, &ReaderWindow::textEdited);
    window.setText("From the clipboard");
    QCOMPARE(edits.size(), 0);
    window.textBox()->setFocus();
    QTest::keyClicks(window.textBox(), "x");
    QVERIFY(edits.size() >= 1);
    QVERIFY(window.text().contains(u'x'));
}

void TestReaderWindow::closingHidesAtOnceAndPicksAreReported()
{
    ReaderWindow window;
    window.show();
    QSignalSpy picks(&window, &ReaderWindow::characterPicked);
    QTest::mouseClick(window.characterList(), Qt::LeftButton);
    QCOMPARE(picks.size(), 1);
    QCOMPARE(picks.last().first().toString(), QString()); // an empty list: no pick
    window.setCharacterChoices({"Merlin", "Sova"}, "Merlin");
    emit window.characterList()->activated(1);
    QCOMPARE(picks.last().first().toString(), QStringLiteral("Sova"));
    const QPoint middle = window.characterList()->rect().center();
    QWheelEvent wheel(middle, window.characterList()->mapToGlobal(middle), {}, {0, -120},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window.characterList(), &wheel);
    QCOMPARE(picks.size(), 2); // no pick in passing
    QCOMPARE(window.characterList()->currentIndex(), 0);

    QSignalSpy closing(&window, &ReaderWindow::closing);
    emit window.exitButton()->clicked();
    QVERIFY(!window.isVisible());
    QCOMPARE(closing.size(), 1);
}

QTEST_MAIN(TestReaderWindow)
#include "tst_readerwindow.moc"
