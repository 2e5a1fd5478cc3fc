#include "dialogs/wordbook/bookstore.h"
#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/editortexts.h"
#include "dialogs/wordbook/navigationpictures.h"
#include "dialogs/wordbook/wordbookeditorlauncher.h"
#include "skin/captionbutton.h"
#include "skin/skinframe.h"
#include "tests/dialogs/wordbook/bookfixture.h"
#include "tests/dialogs/wordbook/editorfixture.h"
#include "tests/support/stressmarkink.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QScreen>

#include <memory>

using namespace wordbook;
using namespace wordbooktest;
using namespace editortest;

namespace {

const QList<Pair> Fruit{
    {"pear", "груша"}, {"Apple", "яблоко"}, {"cherry", "вишня"}, {"apple", "яблоко"}};

} // namespace

class TestWordBookEditor : public QObject
{
    Q_OBJECT

    QString m_dir;
    QString m_path;
    std::shared_ptr<FakeMessages> m_messages;
    std::unique_ptr<WordBookEditor> m_editor;

    WordBookEditor& openOn(const QList<Pair>& pairs)
    {
        m_path = makeBook(m_dir, pairs);
        return reopen();
    }

    WordBookEditor& reopen()
    {
        m_editor.reset();
        m_editor = std::make_unique<WordBookEditor>(Connection(m_path, ConnectionKind::Exclusive),
                                                    m_messages);
        m_editor->open();
        return *m_editor;
    }

    // Which of first, previous, next, last, new record, Add, Save, Delete are enabled.
    QList<bool> enabledButtons() const
    {
        const WordBookEditor& e = *m_editor;
        return {e.firstButton()->isEnabled(),     e.previousButton()->isEnabled(),
                e.nextButton()->isEnabled(),      e.lastButton()->isEnabled(),
                e.newRecordButton()->isEnabled(), e.addButton()->isEnabled(),
                e.saveButton()->isEnabled(),      e.deleteButton()->isEnabled()};
    }

    void addPair(const QString& english, const QString& russian)
    {
        press(m_editor->addButton());
        type(m_editor->englishEdit(), english);
        type(m_editor->russianEdit(), russian);
        press(m_editor->saveButton());
    }

private slots:
    void init()
    {
        testsupport::TestEnvironment::instance().reset();
        m_dir = testsupport::TestEnvironment::instance().dataHome() + "/book";
        m_messages = std::make_shared<FakeMessages>();
    }

    void cleanup() { m_editor.reset(); }

    // As designed, centred, on the first of the pairs in alphabetical order
    // regardless of case ("apple" and "Apple" are two pairs, side by side).
    void opensAsDesignedOnTheFirstRecord()
    {
        WordBookEditor& editor = openOn(Fruit);
        QCOMPARE(editor.size(), QSize(345, 465));
        QCOMPARE(editor.windowTitle(), editortexts::caption);
        QCOMPARE(editor.englishCaption()->text(), QString("English"));
        QCOMPARE(editor.saveButton()->geometry(), QRect(24, 112, 81, 25));
        QCOMPARE(editor.wordList()->geometry(), QRect(16, 144, 313, 277));
        QCOMPARE(editor.newRecordButton()->geometry(), QRect(312, 432, 17, 17));
        QCOMPARE(editor.minimiseButton()->glyph(), 2);
        QVERIFY(!editor.maximiseButton()->isEnabled());
        const QPoint offset =
            editor.frameGeometry().center() - QGuiApplication::primaryScreen()->geometry().center();
        QVERIFY(offset.manhattanLength() <= 2);

        QCOMPARE(entries(editor.wordList()), (QStringList{"Apple", "apple", "cherry", "pear"}));
        QCOMPARE(selectedRow(editor.wordList()), 0);
        QCOMPARE(editor.englishEdit()->text(), QString("Apple"));
        QCOMPARE(editor.recordLabel()->text(), QString("Record 1 of about 4"));
        QCOMPARE(enabledButtons(), QList<bool>(8, true));
        QVERIFY(!editor.controller()->addingMode());
    }

    void emptyBookWaitsForTheFirstPair()
    {
        WordBookEditor& editor = openOn({});
        QVERIFY(editor.controller()->addingMode());
        QCOMPARE(entries(editor.wordList()), QStringList());
        QCOMPARE(editor.englishEdit()->text(), QString());
        QCOMPARE(editor.recordLabel()->text(), QString());
        QCOMPARE(enabledButtons(), QList<bool>(8, true));
        // First and last have nothing to go to; Delete has nothing to delete.
        press(editor.firstButton());
        press(editor.lastButton());
        QCOMPARE(editor.recordLabel()->text(), QString());
        press(editor.deleteButton());
        QCOMPARE(m_messages->take(), QStringList{"No current record !"});

        type(editor.englishEdit(), "Hello");
        type(editor.russianEdit(), "Привет");
        press(editor.saveButton());
        QCOMPARE(rawPairs(m_path), (QList<Pair>{{"Hello", "Привет"}}));
        QCOMPARE(editor.recordLabel()->text(), QString("Record 1 of about 1"));
        QCOMPARE(entries(editor.wordList()), QStringList{"Hello"});
        QCOMPARE(editor.englishEdit()->text(), QString());
        QCOMPARE(editor.russianEdit()->text(), QString());
        QVERIFY(editor.controller()->addingMode());
        QCOMPARE(enabledButtons(),
                 (QList<bool>{false, false, false, false, false, false, true, true}));
        QCOMPARE(m_messages->take(), QStringList());
    }

    void deletingTheOnlyRecordLeavesAnEmptyBookInAddingMode()
    {
        WordBookEditor& editor = openOn({{"Hello", "Привет"}});
        press(editor.deleteButton());
        QCOMPARE(rawPairs(m_path), QList<Pair>());
        QCOMPARE(entries(editor.wordList()), QStringList());
        QCOMPARE(editor.englishEdit()->text(), QString());
        QCOMPARE(editor.recordLabel()->text(), QString("Record 0 of about 0"));
        QCOMPARE(enabledButtons(),
                 (QList<bool>{false, false, false, false, false, false, true, false}));
        QVERIFY(editor.controller()->addingMode());
        QCOMPARE(m_messages->take(), QStringList());
    }

    void deletingAnotherRecordShowsTheFirst()
    {
        WordBookEditor& editor = openOn(Fruit);
        clickEntry(editor.wordList(), 2);
        QCOMPARE(editor.russianEdit()->text(), QString("вишня"));
        QCOMPARE(editor.recordLabel()->text(), QString("Record 3 of about 4"));
        QTest::keyClick(editor.wordList(), Qt::Key_Delete); // the key does what the button does
        QCOMPARE(entries(editor.wordList()), (QStringList{"Apple", "apple", "pear"}));
        QCOMPARE(selectedRow(editor.wordList()), 0);
        QCOMPARE(editor.englishEdit()->text(), QString("Apple"));
        QCOMPARE(editor.recordLabel()->text(), QString("Record 1 of about 3"));
        QVERIFY(!rawPairs(m_path).contains(Pair{"cherry", "вишня"}));

        // The first record itself: the list counts from the new first one.
        press(editor.deleteButton());
        QCOMPARE(entries(editor.wordList()), (QStringList{"apple", "pear"}));
        clickEntry(editor.wordList(), 1);
        QCOMPARE(editor.russianEdit()->text(), QString("груша"));
    }

    void changedRecordKeepsItsPlaceUntilReopened()
    {
        WordBookEditor& editor = openOn(Fruit);
        type(editor.englishEdit(), "zebra");
        press(editor.saveButton());
        QCOMPARE(entries(editor.wordList()), (QStringList{"zebra", "apple", "cherry", "pear"}));
        QCOMPARE(rawPairs(m_path).at(1), (Pair{"zebra", "яблоко"}));
        // A new pair goes to the end whatever its English.
        addPair("banana", "банан");
        QCOMPARE(entries(editor.wordList()),
                 (QStringList{"zebra", "apple", "cherry", "pear", "banana"}));
        QCOMPARE(editor.recordLabel()->text(), QString("Record 1 of about 5"));
        reopen();
        QCOMPARE(entries(m_editor->wordList()),
                 (QStringList{"apple", "banana", "cherry", "pear", "zebra"}));
    }

    // Blanks are stored as typed, a blank side stores nothing, a duplicate
    // keeps the typing and the mode; the key is byte-exact.
    void storingAsTyped()
    {
        WordBookEditor& editor = openOn({});
        type(editor.englishEdit(), "   ");
        type(editor.russianEdit(), "слово");
        press(editor.saveButton());
        QCOMPARE(rawPairs(m_path), QList<Pair>());
        QCOMPARE(editor.russianEdit()->text(), QString("слово"));
        QCOMPARE(m_messages->take(), QStringList());

        type(editor.englishEdit(), " word  ");
        type(editor.russianEdit(), "слово ");
        QTest::keyClick(editor.russianEdit(), Qt::Key_Return); // Enter saves
        QCOMPARE(rawPairs(m_path), (QList<Pair>{{" word  ", "слово "}}));

        type(editor.englishEdit(), " word  ");
        type(editor.russianEdit(), "слово ");
        press(editor.saveButton());
        QCOMPARE(m_messages->take(), QStringList{"Duplicate record !"});
        QCOMPARE(editor.englishEdit()->text(), QString(" word  "));
        QVERIFY(editor.controller()->addingMode());
        type(editor.englishEdit(), " Word  ");
        press(editor.saveButton());
        QCOMPARE(rawPairs(m_path).size(), 2);
        QCOMPARE(m_messages->take(), QStringList());
    }

    // Typed stress marks are kept, and both boxes show them over their
    // vowels at the boxes' size, inside their frames.
    void typedStressMarksShowOverTheirVowels()
    {
        WordBookEditor& editor = openOn({});
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        for (QLineEdit* box : {editor.englishEdit(), editor.russianEdit()}) {
            QCOMPARE(box->font().pointSizeF(), editor.font().pointSizeF());
            const QStringList faults = testsupport::stressMarkFaults(
                *box, [box](const QString& text) { box->setText(text); });
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
        }

        type(editor.englishEdit(), "lock");
        type(editor.russianEdit(), "Замо́к");
        const QString folder = qEnvironmentVariable("VELKOR_ARTIFACTS");
        if (!folder.isEmpty() && QDir().mkpath(folder))
            QVERIFY(editor.grab().save(folder + QStringLiteral("/wordbook-stress-marks.png")));
        press(editor.saveButton());
        QCOMPARE(rawPairs(m_path), (QList<Pair>{{"lock", "Замо́к"}}));
    }

    void nextPastTheLastChangesNothingAndActsOnNothing()
    {
        WordBookEditor& editor = openOn(Fruit);
        press(editor.lastButton());
        QCOMPARE(editor.englishEdit()->text(), QString("pear"));
        const QString label = editor.recordLabel()->text();
        press(editor.nextButton());
        QCOMPARE(editor.englishEdit()->text(), QString("pear"));
        QCOMPARE(editor.recordLabel()->text(), label);
        QCOMPARE(selectedRow(editor.wordList()), 3);

        // No current record: Save and Delete change nothing and say nothing.
        type(editor.englishEdit(), "changed");
        press(editor.saveButton());
        press(editor.deleteButton());
        QCOMPARE(rawPairs(m_path), Fruit);
        QCOMPARE(entries(editor.wordList()).size(), 4);
        QCOMPARE(m_messages->take(), QStringList());

        press(editor.previousButton());
        QCOMPARE(editor.englishEdit()->text(), QString("pear"));
        QCOMPARE(editor.recordLabel()->text(), QString("Record 4 of about 4"));
    }

    void keyboardPathFromEnglishToSave()
    {
        WordBookEditor& editor = openOn({});
        QApplication::setActiveWindow(&editor);
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        QCOMPARE(QApplication::focusWidget(), editor.englishEdit());
        QTest::keyClicks(QApplication::focusWidget(), "tea");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editor.russianEdit());
        typeKeys(QApplication::focusWidget(), "чай");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editor.saveButton());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(rawPairs(m_path), (QList<Pair>{{"tea", "чай"}}));
        // After the save the keyboard is back in the English box.
        QCOMPARE(QApplication::focusWidget(), editor.englishEdit());
    }

    void readOnlyBookCanOnlyBeBrowsed()
    {
        m_path = makeBook(m_dir, Fruit);
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        const QByteArray before = fileBytes(m_path);
        WordBookEditor& editor = reopen();
        QCOMPARE(editor.recordLabel()->text(), QString("Record 1 of about 4, read-only"));
        QCOMPARE(enabledButtons(),
                 (QList<bool>{true, true, true, true, false, false, false, false}));
        QVERIFY(editor.englishEdit()->isReadOnly());
        press(editor.lastButton());
        QCOMPARE(editor.recordLabel()->text(), QString("Record 4 of about 4, read-only"));
        QTest::keyClick(editor.wordList(), Qt::Key_Delete);
        QTest::keyClick(editor.russianEdit(), Qt::Key_Return);
        m_editor.reset();
        QCOMPARE(fileBytes(m_path), before);
        QCOMPARE(m_messages->take(), QStringList());
    }

    // A failure other than a duplicate names its cause and loses no typing.
    void storeFailureKeepsTheTexts()
    {
        WordBookEditor& editor = openOn(Fruit);
        QProcess locker;
        locker.start(QCoreApplication::applicationDirPath() + "/wordbook_child", {"hold", m_path});
        QVERIFY(locker.waitForReadyRead(5000));
        QCOMPARE(locker.readLine().trimmed(), QByteArray("holding"));
        addPair("plum", "слива");
        QCOMPARE(m_messages->take(),
                 QStringList{editortexts::storeFailure(DbError(FileInUse, QString()))});
        QVERIFY(m_messages->shown.isEmpty());
        QCOMPARE(editor.englishEdit()->text(), QString("plum"));
        QVERIFY(editor.controller()->addingMode());
        // A pair that cannot be deleted stays in the list too.
        clickEntry(editor.wordList(), 1);
        press(editor.deleteButton());
        QCOMPARE(m_messages->take(),
                 QStringList{editortexts::deleteFailure(DbError(FileInUse, QString()))});
        QCOMPARE(entries(editor.wordList()).size(), 4);
        QCOMPARE(editor.russianEdit()->text(), QString("яблоко"));
        locker.closeWriteChannel();
        QVERIFY(locker.waitForFinished(5000));
        QCOMPARE(rawPairs(m_path), Fruit);
    }

    void failureTextsNameTheCause()
    {
        QVERIFY(editortexts::storeFailure(DbError(DiskFull, "x")).contains("disk is full"));
        QVERIFY(editortexts::storeFailure(DbError(ReadOnlyBook, "x")).contains("read-only"));
        QVERIFY(editortexts::storeFailure(DbError(FileInUse, "x")).contains("locked"));
        QVERIFY(
            editortexts::storeFailure(DbError(EngineFailure, "I/O error")).contains("I/O error"));
        QCOMPARE(errorNumberFor(SQLITE_FULL), int(DiskFull));
    }

    void launcherKeepsOneWindowAndRefusesBadBooks()
    {
        const QString folder = m_dir;
        m_path = makeBook(folder, Fruit);
        WordBookEditorLauncher launcher(folder, m_messages);
        launcher.open();
        QPointer<WordBookEditor> first = launcher.editor();
        QVERIFY(first && first->isVisible());
        type(first->englishEdit(), "typed");
        first->showMinimized();
        launcher.open();
        QCOMPARE(launcher.editor(), first.data());
        QVERIFY(!first->isMinimized());
        QCOMPARE(first->englishEdit()->text(), QString("typed"));

        // Closed, it lets go of the book; the next opening reads it again.
        QTest::mouseClick(first->closeButton(), Qt::LeftButton);
        QVERIFY(!launcher.editor());
        QTRY_VERIFY(!first);
        insertRaw(openRaw(m_path).get(), {{"banana", "банан"}});
        launcher.open();
        QCOMPARE(entries(launcher.editor()->wordList()).at(2), QString("banana"));
        launcher.editor()->close();
        QCOMPARE(m_messages->take(), QStringList());

        for (const QByteArray& bytes : {QByteArray(), QByteArray(4096, 'x')}) {
            for (const char* suffix : {"", "-wal", "-shm"})
                QFile::remove(m_path + suffix);
            if (!bytes.isNull()) {
                QFile file(m_path);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(bytes);
            }
            launcher.open();
            QVERIFY(!launcher.editor());
            QCOMPARE(m_messages->take().size(), 1);
            QCOMPARE(fileBytes(m_path), bytes.isNull() ? QByteArray() : bytes);
            QCOMPARE(QFile::exists(m_path), !bytes.isNull());
        }
    }

    // Straight edges on whole pixels at 1x and 2x; the arrows mirror each other.
    void navigationPicturesAreSharp()
    {
        const auto alpha = [](const QImage& image, int x, int y) {
            return qAlpha(image.pixel(x, y));
        };
        for (int ratio : {1, 2}) {
            const QImage first = navigationImage(NavigationPicture::First, ratio);
            QCOMPARE(first.size(), QSize(11, 11) * ratio);
            // The bar: columns 1 and 2, rows 1 to 9, solid, with nothing beside it.
            for (int y = ratio; y < 10 * ratio; ++y) {
                QCOMPARE(alpha(first, 0, y), 0);
                for (int x = ratio; x < 3 * ratio; ++x)
                    QCOMPARE(alpha(first, x, y), 255);
            }
            // Within rounding of the smoothed slopes.
            const auto mirrored = [&](NavigationPicture a, NavigationPicture b) {
                const QImage left = navigationImage(a, ratio).mirrored(true, false);
                const QImage right = navigationImage(b, ratio);
                for (int y = 0; y < left.height(); ++y)
                    for (int x = 0; x < left.width(); ++x)
                        if (std::abs(alpha(left, x, y) - alpha(right, x, y)) > 2)
                            return false;
                return true;
            };
            QVERIFY(mirrored(NavigationPicture::First, NavigationPicture::Last));
            QVERIFY(mirrored(NavigationPicture::Previous, NavigationPicture::Next));
            const QImage plus = navigationImage(NavigationPicture::NewRecord, ratio);
            QCOMPARE(alpha(plus, 8 * ratio, 3 * ratio), 255);
            QCOMPARE(alpha(plus, 9 * ratio, 3 * ratio), 0);
        }
    }
};

QTEST_MAIN(TestWordBookEditor)
#include "tst_wordbookeditor.moc"
