#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/dberror.h"
#include "tests/dialogs/wordbook/bookfixture.h"
#include "tests/support/testenvironment.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

#include <functional>

using namespace wordbook;
using namespace wordbooktest;

namespace {

QStringList walk(Recordset& words, const char* field)
{
    QStringList seen;
    if (words.eof() && words.bof())
        return seen;
    for (words.moveFirst(); !words.eof(); words.moveNext())
        seen << words.field(field).toString();
    return seen;
}

void add(Recordset& words, const QString& english, const QString& russian)
{
    words.addNew();
    words.setField("English", english);
    words.setField("Russian", russian);
    words.update();
}

// The failure number of a field read by a literal name and by a QString name,
// or, when both succeed, 0 if they give the same value and -1 if not.
template <std::size_t N>
int literalAndStringNamesAgree(const Recordset& words, const char (&name)[N])
{
    const int literalFailure = failureOf([&] { words.field(name); });
    const int stringFailure = failureOf([&] { words.field(QString::fromUtf8(name)); });
    if (literalFailure != stringFailure)
        return -1;
    if (literalFailure != 0)
        return literalFailure;
    return words.field(name) == words.field(QString::fromUtf8(name)) ? 0 : -1;
}

// 200 pairs. By English, keys 1..101 come in ascending order and then fall;
// by Russian, they fall after the first record.
QList<Pair> orderedPairs()
{
    QList<Pair> pairs;
    for (int i = 0; i < 100; ++i)
        pairs.append({QString("a%1").arg(i, 3, 10, QChar('0')),
                      QString("я%1").arg(99 - i, 3, 10, QChar('0'))});
    for (int i = 99; i >= 0; --i)
        pairs.append(
            {QString("b%1").arg(i, 3, 10, QChar('0')), QString("а%1").arg(i, 3, 10, QChar('0'))});
    return pairs;
}

const QList<Pair> SomePairs{
    {"water", "вода"}, {"bread", "хлеб"}, {"Yes", "Да"}, {"apple", "яблоко"}, {"city", "город"}};

} // namespace

class TestRecordset : public QObject
{
    Q_OBJECT

    QString m_dir;

private slots:
    void init()
    {
        testsupport::TestEnvironment::instance().reset();
        m_dir = testsupport::TestEnvironment::instance().dataHome() + "/book";
    }

    void emptyBookHasNoCurrentRecord()
    {
        Connection connection(makeBook(m_dir, {}), ConnectionKind::Exclusive);
        Recordset words = connection.openRecordset(EditorSql);
        QVERIFY(words.eof());
        QVERIFY(words.bof());
        QCOMPARE(words.recordCount(), 0);
        QCOMPARE(words.absolutePosition(), -1);

        const QList<std::function<void()>> needCurrent{
            [&] { words.moveFirst(); },     [&] { words.moveLast(); },
            [&] { words.moveNext(); },      [&] { words.movePrevious(); },
            [&] { words.move(1); },         [&] { words.edit(); },
            [&] { words.deleteCurrent(); }, [&] { words.field("English"); },
            [&] { words.bookmark(); }};
        for (const auto& action : needCurrent)
            QCOMPARE(failureOf(action), int(NoCurrentRecord));

        // The first pair of an empty book: stored, counted, reachable by LastModified.
        add(words, "Hello", "Привет");
        QVERIFY(!(words.eof() && words.bof()));
        QCOMPARE(words.recordCount(), 1);
        words.setBookmark(words.lastModified());
        QCOMPARE(words.absolutePosition(), 0);
        QCOMPARE(words.field("Russian").toString(), QString("Привет"));
    }

    void countsAndPositionsAlongAPass()
    {
        Connection connection(makeBook(m_dir, SomePairs));
        Recordset words = connection.openRecordset(PlaybackSql);
        QVERIFY(!words.eof() && !words.bof());
        QVERIFY(words.recordCount() >= 1);
        QCOMPARE(words.absolutePosition(), 0);

        words.moveLast();
        QCOMPARE(words.recordCount(), SomePairs.size());
        QCOMPARE(words.absolutePosition(), SomePairs.size() - 1);
        words.moveNext();
        QVERIFY(words.eof() && !words.bof());
        QCOMPARE(words.absolutePosition(), -1);
        QCOMPARE(failureOf([&] { words.moveNext(); }), int(NoCurrentRecord));
        QCOMPARE(failureOf([&] { words.field("English"); }), int(NoCurrentRecord));
        words.movePrevious();
        QCOMPARE(words.field("English").toString(), SomePairs.last().first);

        words.moveFirst();
        words.movePrevious();
        QVERIFY(words.bof() && !words.eof());
        QCOMPARE(failureOf([&] { words.movePrevious(); }), int(NoCurrentRecord));
        words.moveNext();
        QCOMPARE(words.field("English").toString(), SomePairs.first().first);
    }

    void playbackAndEditorSeeDifferentOrders()
    {
        Connection connection(makeBook(m_dir, SomePairs));
        Recordset playback = connection.openRecordset(PlaybackSql);
        Recordset editor = connection.openRecordset(EditorSql);

        QStringList entryOrder;
        for (const Pair& pair : SomePairs)
            entryOrder << pair.first;
        QCOMPARE(walk(playback, "English"), entryOrder);

        // Alphabetical whatever the case.
        QCOMPARE(walk(editor, "English"), (QStringList{"apple", "bread", "city", "water", "Yes"}));

        // The playback's order is the store's counter, ascending.
        qint64 previous = -1;
        for (playback.moveFirst(); !playback.eof(); playback.moveNext()) {
            const qint64 index = playback.field("index").toLongLong();
            QVERIFY(index > previous);
            previous = index;
        }
    }

    void addedRecordStaysAtTheEndUntilReopened()
    {
        const QString path = makeBook(m_dir, SomePairs);
        Connection connection(path, ConnectionKind::Exclusive);
        Recordset editor = connection.openRecordset(EditorSql);
        add(editor, "Aardvark", "трубкозуб");
        QCOMPARE(editor.recordCount(), SomePairs.size() + 1);
        QCOMPARE(walk(editor, "English").last(), QString("Aardvark"));
        editor.setBookmark(editor.lastModified());
        QCOMPARE(editor.absolutePosition(), SomePairs.size());

        Recordset reopened = connection.openRecordset(EditorSql);
        QCOMPARE(walk(reopened, "English").first(), QString("Aardvark"));
        QCOMPARE(rawPairs(path).last(), Pair("Aardvark", "трубкозуб"));
    }

    void changedEnglishKeepsItsPlace()
    {
        const QString path = makeBook(m_dir, SomePairs);
        Connection connection(path, ConnectionKind::Exclusive);
        Recordset editor = connection.openRecordset(EditorSql);
        const QStringList before = walk(editor, "English");
        editor.moveFirst();
        editor.edit();
        QCOMPARE(editor.field("English").toString(), before.first());
        editor.setField("English", "zebra");
        editor.update();
        QCOMPARE(editor.lastModified(), editor.bookmark());

        QStringList expected = before;
        expected.first() = "zebra";
        QCOMPARE(walk(editor, "English"), expected);
        QVERIFY(rawPairs(path).contains(Pair("zebra", "яблоко")));
        QVERIFY(!rawPairs(path).contains(Pair("apple", "яблоко")));
    }

    void deleteLeavesNoCurrentRecordUntilTheNextMove()
    {
        const QString path = makeBook(m_dir, SomePairs);
        Connection connection(path, ConnectionKind::Exclusive);
        Recordset words = connection.openRecordset(PlaybackSql);
        words.move(2);
        words.deleteCurrent();
        QCOMPARE(words.recordCount(), SomePairs.size() - 1);
        QCOMPARE(words.absolutePosition(), -1);
        QVERIFY(!words.eof() && !words.bof());
        QCOMPARE(failureOf([&] { words.field("English"); }), int(NoCurrentRecord));
        QCOMPARE(failureOf([&] { words.edit(); }), int(NoCurrentRecord));
        QCOMPARE(failureOf([&] { words.deleteCurrent(); }), int(NoCurrentRecord));
        QCOMPARE(rawPairs(path).size(), SomePairs.size() - 1);

        words.moveNext(); // the record that followed the deleted one
        QCOMPARE(words.field("English").toString(), SomePairs[3].first);
        QCOMPARE(words.absolutePosition(), 2);
        words.deleteCurrent();
        words.movePrevious(); // the record before the deleted one
        QCOMPARE(words.field("English").toString(), SomePairs[1].first);

        // Emptying the cursor leaves both end tests true.
        while (words.recordCount() > 0) {
            words.moveFirst();
            words.deleteCurrent();
        }
        QVERIFY(words.eof() && words.bof());
        QVERIFY(rawPairs(path).isEmpty());
    }

    void duplicatesAreRefusedAndNothingIsStored()
    {
        const QString path = makeBook(m_dir, SomePairs);
        Connection connection(path, ConnectionKind::Exclusive);
        Recordset editor = connection.openRecordset(EditorSql);

        editor.addNew();
        editor.setField("English", "water");
        editor.setField("Russian", "вода");
        QCOMPARE(failureOf([&] { editor.update(); }), int(DuplicateKey));
        QCOMPARE(editor.recordCount(), SomePairs.size());
        QCOMPARE(rawPairs(path), SomePairs);
        // The refused record is still pending, as typed, for correction.
        QCOMPARE(editor.field("Russian").toString(), QString("вода"));
        editor.setField("Russian", "водичка");
        editor.update();

        // Same English with another translation, or differing only in case, is not a duplicate.
        add(editor, "water", "Вода");
        add(editor, "Water", "вода");
        // A stress mark makes another text: замо́к (a lock) is not замок.
        add(editor, "lock", "замок");
        add(editor, "lock", "замо\u0301к");
        QCOMPARE(rawPairs(path).size(), SomePairs.size() + 5);
        editor.addNew();
        editor.setField("English", "lock");
        editor.setField("Russian", "замо\u0301к");
        QCOMPARE(failureOf([&] { editor.update(); }), int(DuplicateKey));
        editor.cancelUpdate();

        // Changing a record into a duplicate is refused too and leaves it as it was.
        editor.moveFirst();
        const QString english = editor.field("English").toString();
        editor.edit();
        editor.setField("English", "bread");
        editor.setField("Russian", "хлеб");
        QCOMPARE(failureOf([&] { editor.update(); }), int(DuplicateKey));
        QCOMPARE(rawPairs(path).count(Pair("bread", "хлеб")), 1);
        editor.moveFirst();
        QCOMPARE(editor.field("English").toString(), english);
    }

    void textsAreStoredExactly_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("russian");
        QTest::newRow("blanks") << "  good day "
                                << "\tдобрый день  ";
        QTest::newRow("combining stress") << "milk" << QString::fromUtf8("молоко\u0301");
        QTest::newRow("emoji") << QString::fromUtf8("wave 👋🏽")
                               << QString::fromUtf8("привет 🙂");
        QTest::newRow("quotes and semicolon") << "it's \"fine\"; index"
                                              << "'; DROP TABLE Word; --";
        QTest::newRow("10000 characters") << QString(10000, u'x') << QString(10000, QChar(0x0436));
    }

    void textsAreStoredExactly()
    {
        QFETCH(QString, english);
        QFETCH(QString, russian);
        const QString path = makeBook(m_dir, {});
        {
            Connection connection(path, ConnectionKind::Exclusive);
            Recordset editor = connection.openRecordset(EditorSql);
            add(editor, english, russian);
            editor.setBookmark(editor.lastModified());
            QCOMPARE(editor.field("English").toString(), english);
        }
        QCOMPARE(rawPairs(path), QList<Pair>{Pair(english, russian)});
        Connection again(path);
        Recordset playback = again.openRecordset(PlaybackSql);
        QCOMPARE(playback.field("English").toString(), english);
        QCOMPARE(playback.field("Russian").toString(), russian);
    }

    void oneRecordBookCyclesOnItself()
    {
        Connection connection(makeBook(m_dir, {{"tea", "чай"}}), ConnectionKind::BoundSource);
        Recordset bound = connection.openRecordset(PlaybackSql);
        QCOMPARE(bound.recordCount(), 1);
        // The playback's stepping: next, and back to the first after the last.
        for (int tick = 0; tick < 5; ++tick) {
            if (bound.eof()) {
                bound.moveFirst();
            } else {
                bound.moveNext();
                if (bound.eof())
                    bound.moveFirst();
            }
            QCOMPARE(bound.field("Russian").toString(), QString("чай"));
            QCOMPARE(bound.field("English").toString(), QString("tea"));
        }
    }

    void bookmarksAndRelativeMoves()
    {
        Connection connection(makeBook(m_dir, SomePairs), ConnectionKind::Exclusive);
        Recordset editor = connection.openRecordset(EditorSql);
        const QStringList order = walk(editor, "English");
        editor.moveFirst();
        const QByteArray first = editor.bookmark();
        for (int i = 0; i < order.size(); ++i) {
            editor.move(i, first);
            QCOMPARE(editor.absolutePosition(), i);
            QCOMPARE(editor.field("English").toString(), order[i]);
        }
        editor.move(order.size(), first);
        QVERIFY(editor.eof());
        editor.move(-1, first);
        QVERIFY(editor.bof());

        editor.moveLast();
        const QByteArray last = editor.bookmark();
        editor.moveFirst();
        editor.setBookmark(last);
        QCOMPARE(editor.field("English").toString(), order.last());

        QCOMPARE(failureOf([&] { editor.setBookmark("junk"); }), int(NotValidBookmark));
        editor.deleteCurrent();
        QCOMPARE(failureOf([&] { editor.setBookmark(last); }), int(NotValidBookmark));
    }

    // Texts are kept at opening or read later depending on the order the
    // keys come in; either way every record must read as the file holds it,
    // also after another connection changed or deleted records before the
    // first read.
    void textsMatchTheFileWhateverTheOrder_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QByteArray>("rawSql");
        QTest::newRow("key order")
            << PlaybackSql << QByteArray("SELECT \"index\" FROM Word ORDER BY \"index\"");
        QTest::newRow("long run in key order, then out of order")
            << EditorSql
            << QByteArray("SELECT \"index\" FROM Word ORDER BY English COLLATE NOCASE, English");
        QTest::newRow("out of order after one record")
            << "SELECT * FROM Word ORDER BY Russian"
            << QByteArray("SELECT \"index\" FROM Word ORDER BY Russian");
        QTest::newRow("every key out of order")
            << "SELECT * FROM Word ORDER BY index DESC"
            << QByteArray("SELECT \"index\" FROM Word ORDER BY \"index\" DESC");
    }

    void textsMatchTheFileWhateverTheOrder()
    {
        QFETCH(QString, sql);
        QFETCH(QByteArray, rawSql);
        const QString path = makeBook(m_dir, orderedPairs());
        const QList<qint64> order = rawKeys(path, rawSql.constData());
        Connection connection(path, ConnectionKind::BoundSource);
        Recordset words = connection.openRecordset(sql);
        QCOMPARE(words.recordCount(), order.size());

        // Before the cursor reads anything, the editor changes one record and
        // deletes another, one in each half of the book.
        Connection editorConnection(path, ConnectionKind::Exclusive);
        Recordset editor = editorConnection.openRecordset(PlaybackSql);
        editor.move(30);
        editor.edit();
        editor.setField("Russian", "изменено");
        editor.update();
        editor.move(150 - 30);
        const qint64 deleted = editor.field("index").toLongLong();
        editor.deleteCurrent();

        const QMap<qint64, Pair> stored = rawPairsByKey(path);
        QList<qint64> seen;
        int deletedSeen = 0;
        for (words.moveFirst(); !words.eof(); words.moveNext()) {
            if (failureOf([&] { words.field("English"); }) == RecordDeleted) {
                ++deletedSeen;
                continue;
            }
            const qint64 key = words.field("index").toLongLong();
            seen << key;
            QCOMPARE(Pair(words.field("English").toString(), words.field("Russian").toString()),
                     stored.value(key));
        }
        QCOMPARE(deletedSeen, 1);
        QList<qint64> expected = order;
        expected.removeOne(deleted);
        QCOMPARE(seen, expected);
        QVERIFY(stored.values().contains(Pair(orderedPairs()[30].first, "изменено")));
    }

    void deletingBeforeAnyReadKeepsTheOtherTexts()
    {
        const QString path = makeBook(m_dir, orderedPairs());
        Connection connection(path, ConnectionKind::Exclusive);
        Recordset words = connection.openRecordset(PlaybackSql);
        words.deleteCurrent();
        words.moveNext();
        words.move(50);
        words.deleteCurrent();
        const QList<Pair> stored = rawPairs(path);
        QCOMPARE(stored.size(), orderedPairs().size() - 2);
        QList<Pair> seen;
        for (words.moveFirst(); !words.eof(); words.moveNext())
            seen.append({words.field("English").toString(), words.field("Russian").toString()});
        QCOMPARE(seen, stored);
    }

    // Rewritten texts go to the end of the cursor's text buffer and the old
    // ones are dropped in bulk now and then; no record may lose its texts.
    void textsSurviveManyRewrites()
    {
        const QString path = makeBook(m_dir, SomePairs);
        Connection connection(path, ConnectionKind::Exclusive);
        Recordset editor = connection.openRecordset(PlaybackSql);
        editor.move(2);
        for (int i = 0; i < 8; ++i) {
            editor.edit();
            editor.setField("Russian", QString(12000, QChar(0x0436 + i)));
            editor.update();
        }
        const QMap<qint64, Pair> stored = rawPairsByKey(path);
        QCOMPARE(stored.size(), SomePairs.size());
        for (editor.moveFirst(); !editor.eof(); editor.moveNext()) {
            QCOMPARE(Pair(editor.field("English").toString(), editor.field("Russian").toString()),
                     stored.value(editor.field("index").toLongLong()));
        }
    }

    void fieldNamesAndPendingRecords()
    {
        const QString path = makeBook(m_dir, SomePairs);
        Connection connection(path, ConnectionKind::Exclusive);
        Recordset editor = connection.openRecordset(EditorSql);
        QCOMPARE(editor.field("ENGLISH"), editor.field("English"));
        QCOMPARE(failureOf([&] { editor.field("German"); }), int(ItemNotFound));
        QCOMPARE(failureOf([&] { editor.setField("English", "x"); }),
                 int(UpdateWithoutAddNewOrEdit));
        QCOMPARE(failureOf([&] { editor.update(); }), int(UpdateWithoutAddNewOrEdit));

        // A name written as a literal is looked up as the same name as a QString.
        QCOMPARE(literalAndStringNamesAgree(editor, "English"), 0);
        QCOMPARE(literalAndStringNamesAgree(editor, "rUSSIAN"), 0);
        QCOMPARE(literalAndStringNamesAgree(editor, "INDEX"), 0);
        QCOMPARE(literalAndStringNamesAgree(editor, "Ruſſian"), 0);
        QCOMPARE(literalAndStringNamesAgree(editor, "Englis"), int(ItemNotFound));
        QCOMPARE(literalAndStringNamesAgree(editor, ""), int(ItemNotFound));
        QCOMPARE(editor.text(Recordset::Field::Russian), editor.field("Russian").toString());

        editor.addNew();
        QCOMPARE(failureOf([&] { editor.setField("index", 7); }), int(FieldNotUpdatable));
        editor.setField("english", "kettle");
        editor.setField("russian", "чайник");
        QCOMPARE(editor.field("English").toString(), QString("kettle"));
        QCOMPARE(editor.text(Recordset::Field::Russian), QString("чайник"));
        // A move drops the unsaved record.
        editor.moveFirst();
        QCOMPARE(failureOf([&] { editor.update(); }), int(UpdateWithoutAddNewOrEdit));
        QCOMPARE(rawPairs(path), SomePairs);
    }

    // Two cursors on one book, each on its own connection, changed at random:
    // whatever either stored, deleted or began and dropped, every record of
    // each reads as the file holds it now, also right after that cursor's
    // own save; changing a record the other deleted fails with 3167 and
    // stores nothing; a new record starts empty whatever was pending before.
    void twoCursorsFollowEachOtherThroughRandomChanges()
    {
        QList<Pair> pairs;
        for (int i = 0; i < 12; ++i)
            pairs.append(
                {QString("word %1").arg(i, 2, 10, QChar('0')), QString("слово %1").arg(i)});
        const QString path = makeBook(m_dir, pairs);
        Connection editorConnection(path, ConnectionKind::Exclusive);
        Connection playbackConnection(path, ConnectionKind::BoundSource);
        Recordset editorCursor = editorConnection.openRecordset(EditorSql);
        Recordset playbackCursor = playbackConnection.openRecordset(PlaybackSql);
        Recordset* cursors[] = {&editorCursor, &playbackCursor};

        // The key of every record each cursor holds, in its order.
        QList<qint64> keys[2];
        for (int c = 0; c < 2; ++c)
            for (int p = 0; p < cursors[c]->recordCount(); ++p)
                keys[c] << moveTo(*cursors[c], p).field("index").toLongLong();
        const auto keyOf = [](const QByteArray& bookmark) {
            return qFromLittleEndian<qint64>(bookmark.constData());
        };

        QRandomGenerator random(1917);
        int fresh = 0;
        for (int step = 0; step < 400; ++step) {
            const int c = random.bounded(2);
            Recordset& own = *cursors[c];
            Recordset& other = *cursors[1 - c];
            const QMap<qint64, Pair> before = rawPairsByKey(path);
            const int action = keys[c].isEmpty() ? 2 : random.bounded(3);
            if (action == 0) {
                // Change the Russian of a record, which the other cursor may
                // delete between edit() and update().
                const int p = random.bounded(int(keys[c].size()));
                const qint64 key = keys[c][p];
                moveTo(own, p);
                if (!before.contains(key)) {
                    QCOMPARE(failureOf([&] { own.edit(); }), int(RecordDeleted));
                    continue;
                }
                own.edit();
                const int q = int(keys[1 - c].indexOf(key));
                const bool deletedMeanwhile = q >= 0 && random.bounded(2) == 0;
                if (deletedMeanwhile) {
                    moveTo(other, q).deleteCurrent();
                    keys[1 - c].removeAt(q);
                }
                const QString russian = QString("новое %1").arg(++fresh);
                own.setField("Russian", russian);
                if (deletedMeanwhile) {
                    QCOMPARE(failureOf([&] { own.update(); }), int(RecordDeleted));
                    QMap<qint64, Pair> expected = before;
                    expected.remove(key);
                    QCOMPARE(rawPairsByKey(path), expected);
                    own.cancelUpdate();
                } else {
                    own.update();
                    QCOMPARE(rawPairsByKey(path).value(key).second, russian);
                }
            } else if (action == 1) {
                const int p = random.bounded(int(keys[c].size()));
                moveTo(own, p).deleteCurrent();
                keys[c].removeAt(p);
            } else {
                // Something begun and dropped first: a change, or another new record.
                bool editing = false;
                if (!keys[c].isEmpty() && random.bounded(2) == 0) {
                    moveTo(own, random.bounded(int(keys[c].size())));
                    editing = failureOf([&] { own.edit(); }) == 0;
                }
                if (!editing)
                    own.addNew();
                own.setField("English", "dropped");
                own.setField("Russian", "брошено");
                own.cancelUpdate();
                own.addNew();
                QCOMPARE(own.text(Recordset::Field::English), QString());
                QCOMPARE(own.text(Recordset::Field::Russian), QString());
                own.setField("English", QString("new %1").arg(++fresh));
                own.setField("Russian", QString("новое %1").arg(fresh));
                own.update();
                keys[c] << keyOf(own.lastModified());
            }

            // Read now and then, so that changes pile up unread between reads.
            if (random.bounded(3) != 0 && step != 399)
                continue;
            const QMap<qint64, Pair> stored = rawPairsByKey(path);
            for (int r = 0; r < 2; ++r) {
                QCOMPARE(cursors[r]->recordCount(), keys[r].size());
                for (int p = 0; p < keys[r].size(); ++p) {
                    const qint64 key = keys[r][p];
                    if (!stored.contains(key)) {
                        QCOMPARE(
                            failureOf([&] { cursors[r]->textAt(p, Recordset::Field::English); }),
                            int(RecordDeleted));
                        continue;
                    }
                    const Pair read{cursors[r]->textAt(p, Recordset::Field::English),
                                    cursors[r]->textAt(p, Recordset::Field::Russian)};
                    QVERIFY2(read == stored.value(key),
                             qPrintable(QString("step %1, cursor %2, record %3: %4 / %5")
                                            .arg(step)
                                            .arg(r)
                                            .arg(key)
                                            .arg(read.second, stored.value(key).second)));
                }
            }
        }
    }

    // The start of a text, read from the book when not at hand or from the
    // cursor when it is, equals the whole text cut there, at any length, in
    // any script; never half a surrogate pair; a pending record gives its
    // own; a record deleted elsewhere fails as a whole read does.
    void textStartsAreTheWholeTextsCut()
    {
        QRandomGenerator random(7);
        const QString pieces[] = {"a", "ж", "中", "\U0001F600", "е\u0301", " "};
        QList<Pair> pairs;
        for (int i = 0; i < 40; ++i) {
            QString english;
            QString russian;
            for (int n = random.bounded(30); n > 0; --n) {
                english += pieces[random.bounded(int(std::size(pieces)))];
                russian += pieces[random.bounded(int(std::size(pieces)))];
            }
            pairs.append({QString::number(i) + english, QString::number(i) + russian});
        }
        const QString path = makeBook(m_dir, pairs);
        Connection connection(path, ConnectionKind::BoundSource);
        const auto cut = [](const QString& text, qsizetype length) {
            QString start = text.left(length);
            if (start.size() == length && length > 0 && start.back().isHighSurrogate())
                start.chop(1);
            return start;
        };
        for (const char* sql : {PlaybackSql, EditorSql}) {
            Recordset words = connection.openRecordset(sql);
            for (int pass = 0; pass < 2; ++pass) { // not at hand, then at hand
                for (words.moveFirst(); !words.eof(); words.moveNext()) {
                    const qsizetype length = random.bounded(40);
                    for (const auto field :
                         {Recordset::Field::English, Recordset::Field::Russian}) {
                        const QString start = words.text(field, length);
                        QCOMPARE(start, cut(words.text(field), length));
                    }
                }
            }
        }

        Recordset words = connection.openRecordset(PlaybackSql);
        Connection editorConnection(path, ConnectionKind::Exclusive);
        Recordset editor = editorConnection.openRecordset(PlaybackSql);
        editor.deleteCurrent();
        QCOMPARE(failureOf([&] { words.text(Recordset::Field::English, 5); }), int(RecordDeleted));
        words.moveNext();
        words.edit();
        words.setField("Russian", "\U0001F600\U0001F600");
        QCOMPARE(words.text(Recordset::Field::Russian, 3), QString("\U0001F600"));
    }

private:
    static Recordset& moveTo(Recordset& words, int position)
    {
        words.moveFirst();
        if (position > 0)
            words.move(position);
        return words;
    }
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
