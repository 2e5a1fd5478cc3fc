#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/editortexts.h"
#include "tests/dialogs/wordbook/bookfixture.h"
#include "tests/dialogs/wordbook/editorfixture.h"
#include "tests/support/testenvironment.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>

#include <algorithm>
#include <memory>

using namespace wordbook;
using namespace wordbooktest;
using namespace editortest;

namespace {

// Few words, so duplicates, case twins and repeated English words are common.
const QStringList EnglishWords{"apple", "Apple", "bread",  "Bread", "cat",    "dog",   "Dog",
                               "egg",   "fish",  "friend", "game",  " house", "zebra "};
const QStringList RussianWords{"яблоко", "хлеб", "кот",     "собака", "яйцо",
                               "рыба",   "друг", "подруга", "игра",   " дом "};

// What the editor must have done to the book, predicted from what the
// learner sees before each action: the cursor's order of keys, the pairs
// the file holds, and where the cursor stands.
struct Expected {
    enum class Place { Current, PastEnd, BeforeStart };

    QList<qint64> order;
    QMap<qint64, Pair> book;
    Place place = Place::Current;
    int row = 0;

    bool holds(const Pair& pair) const
    {
        return std::find(book.begin(), book.end(), pair) != book.end();
    }
    void showFirst()
    {
        place = Place::Current;
        row = 0;
    }
};

} // namespace

class TestEditorProperty : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::TestEnvironment::instance().reset(); }

    // After every one of 500 random actions, list entry i is the record i
    // places after the first, the file holds exactly the pairs the editor
    // confirmed, and the selection stands on the current record.
    void listCursorAndFileStayInStep()
    {
        QRandomGenerator random(20240612);
        const auto pick = [&](const QStringList& words) {
            return words.at(random.bounded(int(words.size())));
        };
        QList<Pair> start;
        while (start.size() < 50) {
            const Pair pair{pick(EnglishWords), pick(RussianWords)};
            if (!start.contains(pair))
                start << pair;
        }
        const QString path =
            makeBook(testsupport::TestEnvironment::instance().dataHome() + "/book", start);

        Expected expected;
        expected.order =
            rawKeys(path, "SELECT \"index\" FROM Word ORDER BY English COLLATE NOCASE, English");
        expected.book = rawPairsByKey(path);

        auto messages = std::make_shared<FakeMessages>();
        WordBookEditor editor(Connection(path, ConnectionKind::Exclusive), messages);
        editor.open();
        QListView* list = editor.wordList();
        // Every change of the entry count must come with its notification.
        QAbstractItemModelTester modelTester(
            list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        // A changed entry must be repainted.
        QSignalSpy repainted(list->model(), &QAbstractItemModel::dataChanged);
        const QStringList opened = entries(list);
        for (int i = 1; i < opened.size(); ++i)
            QVERIFY2(opened[i - 1].compare(opened[i], Qt::CaseInsensitive) <= 0,
                     qPrintable(opened[i - 1] + " before " + opened[i]));

        int saved = 0;
        int deleted = 0;
        for (int step = 0; step < 500; ++step) {
            using Place = Expected::Place;
            const bool adding = editor.controller()->addingMode();
            const bool navigation = editor.firstButton()->isEnabled();
            const bool canDelete = editor.deleteButton()->isEnabled();
            const int count = int(expected.order.size());
            const Pair typed{editor.englishEdit()->text(), editor.russianEdit()->text()};
            QStringList expectedMessages;
            bool showsRecord = false;
            int changedRow = -1;
            repainted.clear();
            // Typing and saving weigh more than moving, so the book changes often.
            static constexpr int kActions[] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 5, 6, 7, 8, 9, 9};
            const int action = kActions[random.bounded(int(std::size(kActions)))];
            QString did;

            switch (action) {
            case 0:
                did = "add";
                if (random.bounded(2))
                    press(editor.addButton());
                else
                    press(editor.newRecordButton());
                break;
            case 1:
            case 2: {
                const bool english = action == 1;
                const int kind = random.bounded(8);
                const QString text = kind == 0   ? QString()
                                     : kind == 1 ? QString("  ")
                                                 : pick(english ? EnglishWords : RussianWords);
                did = "type " + text;
                type(english ? editor.englishEdit() : editor.russianEdit(), text);
                break;
            }
            case 3: {
                did = "save";
                if (random.bounded(2))
                    press(editor.saveButton());
                else
                    QTest::keyClick(editor.russianEdit(), Qt::Key_Return);
                if (typed.first.trimmed().isEmpty() || typed.second.trimmed().isEmpty())
                    break;
                if (!adding && expected.place != Place::Current)
                    break;
                const qint64 changed = adding ? -1 : expected.order[expected.row];
                if (expected.holds(typed) && (adding || expected.book[changed] != typed)) {
                    expectedMessages << editortexts::duplicateRecord;
                    break;
                }
                if (adding) {
                    const QList<qint64> keys = rawPairsByKey(path).keys();
                    QCOMPARE(keys.size(), expected.book.size() + 1);
                    const qint64 added = keys.last(); // keys are given in ascending order
                    expected.order << added;
                    expected.book.insert(added, typed);
                } else {
                    expected.book[changed] = typed;
                    changedRow = expected.row;
                }
                expected.showFirst();
                ++saved;
                break;
            }
            case 4:
                did = "delete";
                if (random.bounded(2))
                    press(editor.deleteButton());
                else
                    QTest::keyClick(list, Qt::Key_Delete);
                if (!canDelete)
                    break;
                if (count == 0) {
                    expectedMessages << editortexts::noCurrentRecord;
                } else if (expected.place == Place::Current) {
                    expected.book.remove(expected.order.takeAt(expected.row));
                    expected.showFirst();
                    ++deleted;
                }
                break;
            case 5:
            case 8:
                did = action == 5 ? "first" : "last";
                press(action == 5 ? editor.firstButton() : editor.lastButton());
                if (navigation && count > 0) {
                    expected.place = Place::Current;
                    expected.row = action == 5 ? 0 : count - 1;
                    showsRecord = true;
                }
                break;
            case 6:
                did = "previous";
                press(editor.previousButton());
                if (!navigation || count == 0)
                    break;
                if (expected.place == Place::PastEnd) {
                    expected.place = Place::Current;
                    expected.row = count - 1;
                } else if (expected.place == Place::Current && expected.row == 0) {
                    expected.place = Place::BeforeStart;
                } else if (expected.place == Place::Current) {
                    --expected.row;
                }
                showsRecord = expected.place == Place::Current;
                break;
            case 7:
                did = "next";
                press(editor.nextButton());
                if (!navigation || count == 0)
                    break;
                if (expected.place == Place::BeforeStart) {
                    expected.showFirst();
                } else if (expected.place == Place::Current && expected.row == count - 1) {
                    expected.place = Place::PastEnd;
                } else if (expected.place == Place::Current) {
                    ++expected.row;
                }
                showsRecord = expected.place == Place::Current;
                break;
            default:
                if (count == 0)
                    break;
                expected.place = Place::Current;
                expected.row = random.bounded(count);
                did = "click " + QString::number(expected.row);
                clickEntry(list, expected.row);
                showsRecord = true;
                break;
            }

            const QByteArray where = QStringLiteral("step %1: %2").arg(step).arg(did).toUtf8();
            QCOMPARE(rawPairsByKey(path), expected.book);
            QStringList englishInOrder;
            for (qint64 key : expected.order)
                englishInOrder << expected.book[key].first;
            QVERIFY2(entries(list) == englishInOrder, where);
            QVERIFY2(messages->take() == expectedMessages, where);
            if (expected.place == Place::Current && !expected.order.isEmpty()) {
                QVERIFY2(selectedRow(list) == expected.row, where);
                QVERIFY2(editor.recordLabel()->text() ==
                             editortexts::recordLabel(expected.row + 1, int(expected.order.size())),
                         where);
            }
            if (changedRow >= 0) {
                QVERIFY2(std::any_of(repainted.begin(), repainted.end(),
                                     [&](const QList<QVariant>& signal) {
                                         return signal[0].toModelIndex().row() <= changedRow &&
                                                signal[1].toModelIndex().row() >= changedRow;
                                     }),
                         where);
            }
            if (showsRecord) {
                const Pair& shown = expected.book[expected.order[expected.row]];
                QVERIFY2(editor.englishEdit()->text() == shown.first, where);
                QVERIFY2(editor.russianEdit()->text() == shown.second, where);
            }
        }
        QVERIFY2(saved >= 20 && deleted >= 10,
                 qPrintable(QString("saved %1, deleted %2").arg(saved).arg(deleted)));

        QCOMPARE(integrityCheck(path), QByteArray("ok"));
    }
};

QTEST_MAIN(TestEditorProperty)
#include "tst_editorproperty.moc"
