#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/dberror.h"
#include "tests/dialogs/wordbook/bookfixture.h"
#include "tests/support/testenvironment.h"

#include <QtTest>

#include <functional>

using namespace wordbook;
using namespace wordbooktest;

namespace {

QStringList walk(Recordset& words, const char* field)
{
    QStringList seen;
    if (words.Eof() && words.Bof())
        return seen;
    for (words.MoveFirst(); !words.Eof(); words.MoveNext())
        seen << words.Fields(field).toString();
    return seen;
}

void add(Recordset& words, const QString& english, const QString& russian)
{
    words.AddNew();
    words.setFields("English", english);
    words.setFields("Russian", russian);
    words.Update();
}

// The failure number of a field read by a literal name and by a QString name,
// or, when both succeed, 0 if they give the same value and -1 if not.
template <std::size_t N>
int literalAndStringNamesAgree(const Recordset& words, const char (&name)[N])
{
    const int literalFailure = failureOf([&] { words.Fields(name); });
    const int stringFailure = failureOf([&] { words.Fields(QString::fromUtf8(name)); });
    if (literalFailure != stringFailure)
        return -1;
    if (literalFailure != 0)
        return literalFailure;
    return words.Fields(name) == words.Fields(QString::fromUtf8(name)) ? 0 : -1;
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
        Recordset words = connection.OpenRecordset(EditorSql);
        QVERIFY(words.Eof());
        QVERIFY(words.Bof());
        QCOMPARE(words.RecordCount(), 0);
        QCOMPARE(words.AbsolutePosition(), -1);

        const QList<std::function<void()>> needCurrent{
            [&] { words.MoveFirst(); }, [&] { words.MoveLast(); },
            [&] { words.MoveNext(); },  [&] { words.MovePrevious(); },
            [&] { words.Move(1); },     [&] { words.Edit(); },
            [&] { words.Delete(); },    [&] { words.Fields("English"); },
            [&] { words.Bookmark(); }};
        for (const auto& action : needCurrent)
            QCOMPARE(failureOf(action), int(NoCurrentRecord));

        // The first pair of an empty book: stored, counted, reachable by LastModified.
        add(words, "Hello", "Привет");
        QVERIFY(!(words.Eof() && words.Bof()));
        QCOMPARE(words.RecordCount(), 1);
        words.setBookmark(words.LastModified());
        QCOMPARE(words.AbsolutePosition(), 0);
        QCOMPARE(words.Fields("Russian").toString(), QString("Привет"));
    }

    void countsAndPositionsAlongAPass()
    {
        Connection connection(makeBook(m_dir, SomePairs));
        Recordset words = connection.OpenRecordset(PlaybackSql);
        QVERIFY(!words.Eof() && !words.Bof());
        QVERIFY(words.RecordCount() >= 1);
        QCOMPARE(words.AbsolutePosition(), 0);

        words.MoveLast();
        QCOMPARE(words.RecordCount(), SomePairs.size());
        QCOMPARE(words.AbsolutePosition(), SomePairs.size() - 1);
        words.MoveNext();
        QVERIFY(words.Eof() && !words.Bof());
        QCOMPARE(words.AbsolutePosition(), -1);
        QCOMPARE(failureOf([&] { words.MoveNext(); }), int(NoCurrentRecord));
        QCOMPARE(failureOf([&] { words.Fields("English"); }), int(NoCurrentRecord));
        words.MovePrevious();
        QCOMPARE(words.Fields("English").toString(), SomePairs.last().first);

        words.MoveFirst();
        words.MovePrevious();
        QVERIFY(words.Bof() && !words.Eof());
        QCOMPARE(failureOf([&] { words.MovePrevious(); }), int(NoCurrentRecord));
        words.MoveNext();
        QCOMPARE(words.Fields("English").toString(), SomePairs.first().first);
    }

    void playbackAndEditorSeeDifferentOrders()
    {
        Connection connection(makeBook(m_dir, SomePairs));
        Recordset playback = connection.OpenRecordset(PlaybackSql);
        Recordset editor = connection.OpenRecordset(EditorSql);

        QStringList entryOrder;
        for (const Pair& pair : SomePairs)
            entryOrder << pair.first;
        QCOMPARE(walk(playback, "English"), entryOrder);

        // Byte order: capitals before small letters.
        QCOMPARE(walk(editor, "English"), (QStringList{"Yes", "apple", "bread", "city", "water"}));

        // The playback's order is the store's counter, ascending.
        qint64 previous = -1;
        for (playback.MoveFirst(); !playback.Eof(); playback.MoveNext()) {
            const qint64 index = playback.Fields("index").toLongLong();
            QVERIFY(index > previous);
            previous = index;
        }
    }

    void addedRecordStaysAtTheEndUntilReopened()
    {
        const QString path = makeBook(m_dir, SomePairs);
        Connection connection(path, ConnectionKind::Exclusive);
        Recordset editor = connection.OpenRecordset(EditorSql);
        add(editor, "Aardvark", "трубкозуб");
        QCOMPARE(editor.RecordCount(), SomePairs.size() + 1);
        QCOMPARE(walk(editor, "English").last(), QString("Aardvark"));
        editor.setBookmark(editor.LastModified());
        QCOMPARE(editor.AbsolutePosition(), SomePairs.size());

        Recordset reopened = connection.OpenRecordset(EditorSql);
        QCOMPARE(walk(reopened, "English").first(), QString("Aardvark"));
        QCOMPARE(rawPairs(path).last(), Pair("Aardvark", "трубкозуб"));
    }

    void changedEnglishKeepsItsPlace()
    {
        const QString path = makeBook(m_dir, SomePairs);
        Connection connection(path, ConnectionKind::Exclusive);
        Recordset editor = connection.OpenRecordset(EditorSql);
        const QStringList before = walk(editor, "English");
        editor.MoveFirst();
        editor.Edit();
        QCOMPARE(editor.Fields("English").toString(), before.first());
        editor.setFields("English", "zebra");
        editor.Update();
        QCOMPARE(editor.LastModified(), editor.Bookmark());

        QStringList expected = before;
        expected.first() = "zebra";
        QCOMPARE(walk(editor, "English"), expected);
        QVERIFY(rawPairs(path).contains(Pair("zebra", "Да")));
        QVERIFY(!rawPairs(path).contains(Pair("Yes", "Да")));
    }

    void deleteLeavesNoCurrentRecordUntilTheNextMove()
    {
        const QString path = makeBook(m_dir, SomePairs);
        Connection connection(path, ConnectionKind::Exclusive);
        Recordset words = connection.OpenRecordset(PlaybackSql);
        words.Move(2);
        words.Delete();
        QCOMPARE(words.RecordCount(), SomePairs.size() - 1);
        QCOMPARE(words.AbsolutePosition(), -1);
        QVERIFY(!words.Eof() && !words.Bof());
        QCOMPARE(failureOf([&] { words.Fields("English"); }), int(NoCurrentRecord));
        QCOMPARE(failureOf([&] { words.Edit(); }), int(NoCurrentRecord));
        QCOMPARE(failureOf([&] { words.Delete(); }), int(NoCurrentRecord));
        QCOMPARE(rawPairs(path).size(), SomePairs.size() - 1);

        words.MoveNext(); // the record that followed the deleted one
        QCOMPARE(words.Fields("English").toString(), SomePairs[3].first);
        QCOMPARE(words.AbsolutePosition(), 2);
        words.Delete();
        words.MovePrevious(); // the record before the deleted one
        QCOMPARE(words.Fields("English").toString(), SomePairs[1].first);

        // Emptying the cursor leaves both end tests true.
        while (words.RecordCount() > 0) {
            words.MoveFirst();
            words.Delete();
        }
        QVERIFY(words.Eof() && words.Bof());
        QVERIFY(rawPairs(path).isEmpty());
    }

    void duplicatesAreRefusedAndNothingIsStored()
    {
        const QString path = makeBook(m_dir, SomePairs);
        Connection connection(path, ConnectionKind::Exclusive);
        Recordset editor = connection.OpenRecordset(EditorSql);

        editor.AddNew();
        editor.setFields("English", "water");
        editor.setFields("Russian", "вода");
        QCOMPARE(failureOf([&] { editor.Update(); }), int(DuplicateKey));
        QCOMPARE(editor.RecordCount(), SomePairs.size());
        QCOMPARE(rawPairs(path), SomePairs);
        // The refused record is still pending, as typed, for correction.
        QCOMPARE(editor.Fields("Russian").toString(), QString("вода"));
        editor.setFields("Russian", "водичка");
        editor.Update();

        // Same English with another translation, or differing only in case, is not a duplicate.
        add(editor, "water", "Вода");
        add(editor, "Water", "вода");
        QCOMPARE(rawPairs(path).size(), SomePairs.size() + 3);

        // Changing a record into a duplicate is refused too and leaves it as it was.
        editor.MoveFirst();
        const QString english = editor.Fields("English").toString();
        editor.Edit();
        editor.setFields("English", "bread");
        editor.setFields("Russian", "хлеб");
        QCOMPARE(failureOf([&] { editor.Update(); }), int(DuplicateKey));
        QCOMPARE(rawPairs(path).count(Pair("bread", "хлеб")), 1);
        editor.MoveFirst();
        QCOMPARE(editor.Fields("English").toString(), english);
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
            Recordset editor = connection.OpenRecordset(EditorSql);
            add(editor, english, russian);
            editor.setBookmark(editor.LastModified());
            QCOMPARE(editor.Fields("English").toString(), english);
        }
        QCOMPARE(rawPairs(path), QList<Pair>{Pair(english, russian)});
        Connection again(path);
        Recordset playback = again.OpenRecordset(PlaybackSql);
        QCOMPARE(playback.Fields("English").toString(), english);
        QCOMPARE(playback.Fields("Russian").toString(), russian);
    }

    void oneRecordBookCyclesOnItself()
    {
        Connection connection(makeBook(m_dir, {{"tea", "чай"}}), ConnectionKind::BoundSource);
        Recordset bound = connection.OpenRecordset(PlaybackSql);
        QCOMPARE(bound.RecordCount(), 1);
        // The playback's stepping: next, and back to the first after the last.
        for (int tick = 0; tick < 5; ++tick) {
            if (bound.Eof()) {
                bound.MoveFirst();
            } else {
                bound.MoveNext();
                if (bound.Eof())
                    bound.MoveFirst();
            }
            QCOMPARE(bound.Fields("Russian").toString(), QString("чай"));
            QCOMPARE(bound.Fields("English").toString(), QString("tea"));
        }
    }

    void bookmarksAndRelativeMoves()
    {
        Connection connection(makeBook(m_dir, SomePairs), ConnectionKind::Exclusive);
        Recordset editor = connection.OpenRecordset(EditorSql);
        const QStringList order = walk(editor, "English");
        editor.MoveFirst();
        const QByteArray first = editor.Bookmark();
        for (int i = 0; i < order.size(); ++i) {
            editor.Move(i, first);
            QCOMPARE(editor.AbsolutePosition(), i);
            QCOMPARE(editor.Fields("English").toString(), order[i]);
        }
        editor.Move(order.size(), first);
        QVERIFY(editor.Eof());
        editor.Move(-1, first);
        QVERIFY(editor.Bof());

        editor.MoveLast();
        const QByteArray last = editor.Bookmark();
        editor.MoveFirst();
        editor.setBookmark(last);
        QCOMPARE(editor.Fields("English").toString(), order.last());

        QCOMPARE(failureOf([&] { editor.setBookmark("junk"); }), int(NotValidBookmark));
        editor.Delete();
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
            << EditorSql << QByteArray("SELECT \"index\" FROM Word ORDER BY English");
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
        Recordset words = connection.OpenRecordset(sql);
        QCOMPARE(words.RecordCount(), order.size());

        // Before the cursor reads anything, the editor changes one record and
        // deletes another, one in each half of the book.
        Connection editorConnection(path, ConnectionKind::Exclusive);
        Recordset editor = editorConnection.OpenRecordset(PlaybackSql);
        editor.Move(30);
        editor.Edit();
        editor.setFields("Russian", "изменено");
        editor.Update();
        editor.Move(150 - 30);
        const qint64 deleted = editor.Fields("index").toLongLong();
        editor.Delete();

        const QMap<qint64, Pair> stored = rawPairsByKey(path);
        QList<qint64> seen;
        int deletedSeen = 0;
        for (words.MoveFirst(); !words.Eof(); words.MoveNext()) {
            if (failureOf([&] { words.Fields("English"); }) == RecordDeleted) {
                ++deletedSeen;
                continue;
            }
            const qint64 key = words.Fields("index").toLongLong();
            seen << key;
            QCOMPARE(Pair(words.Fields("English").toString(), words.Fields("Russian").toString()),
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
        Recordset words = connection.OpenRecordset(PlaybackSql);
        words.Delete();
        words.MoveNext();
        words.Move(50);
        words.Delete();
        const QList<Pair> stored = rawPairs(path);
        QCOMPARE(stored.size(), orderedPairs().size() - 2);
        QList<Pair> seen;
        for (words.MoveFirst(); !words.Eof(); words.MoveNext())
            seen.append({words.Fields("English").toString(), words.Fields("Russian").toString()});
        QCOMPARE(seen, stored);
    }

    // Rewritten texts go to the end of the cursor's text buffer and the old
    // ones are dropped in bulk now and then; no record may lose its texts.
    void textsSurviveManyRewrites()
    {
        const QString path = makeBook(m_dir, SomePairs);
        Connection connection(path, ConnectionKind::Exclusive);
        Recordset editor = connection.OpenRecordset(PlaybackSql);
        editor.Move(2);
        for (int i = 0; i < 8; ++i) {
            editor.Edit();
            editor.setFields("Russian", QString(12000, QChar(0x0436 + i)));
            editor.Update();
        }
        const QMap<qint64, Pair> stored = rawPairsByKey(path);
        QCOMPARE(stored.size(), SomePairs.size());
        for (editor.MoveFirst(); !editor.Eof(); editor.MoveNext()) {
            QCOMPARE(Pair(editor.Fields("English").toString(), editor.Fields("Russian").toString()),
                     stored.value(editor.Fields("index").toLongLong()));
        }
    }

    void fieldNamesAndPendingRecords()
    {
        const QString path = makeBook(m_dir, SomePairs);
        Connection connection(path, ConnectionKind::Exclusive);
        Recordset editor = connection.OpenRecordset(EditorSql);
        QCOMPARE(editor.Fields("ENGLISH"), editor.Fields("English"));
        QCOMPARE(failureOf([&] { editor.Fields("German"); }), int(ItemNotFound));
        QCOMPARE(failureOf([&] { editor.setFields("English", "x"); }),
                 int(UpdateWithoutAddNewOrEdit));
        QCOMPARE(failureOf([&] { editor.Update(); }), int(UpdateWithoutAddNewOrEdit));

        // A name written as a literal is looked up as the same name as a QString.
        QCOMPARE(literalAndStringNamesAgree(editor, "English"), 0);
        QCOMPARE(literalAndStringNamesAgree(editor, "rUSSIAN"), 0);
        QCOMPARE(literalAndStringNamesAgree(editor, "INDEX"), 0);
        QCOMPARE(literalAndStringNamesAgree(editor, "Ruſſian"), 0);
        QCOMPARE(literalAndStringNamesAgree(editor, "Englis"), int(ItemNotFound));
        QCOMPARE(literalAndStringNamesAgree(editor, ""), int(ItemNotFound));
        QCOMPARE(editor.text(Recordset::Field::Russian), editor.Fields("Russian").toString());

        editor.AddNew();
        QCOMPARE(failureOf([&] { editor.setFields("index", 7); }), int(FieldNotUpdatable));
        editor.setFields("english", "kettle");
        editor.setFields("russian", "чайник");
        QCOMPARE(editor.Fields("English").toString(), QString("kettle"));
        QCOMPARE(editor.text(Recordset::Field::Russian), QString("чайник"));
        // A move drops the unsaved record.
        editor.MoveFirst();
        QCOMPARE(failureOf([&] { editor.Update(); }), int(UpdateWithoutAddNewOrEdit));
        QCOMPARE(rawPairs(path), SomePairs);
    }
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
