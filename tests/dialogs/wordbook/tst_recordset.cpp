#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/dberror.h"
#include "tests/dialogs/wordbook/bookfixture.h"
#include "tests/support/testenvironment.h"

#include <QtTest>

#include <functional>

using namespace wordbook;
using namespace wordbooktest;

namespace {

const char* const PlaybackSql = "SELECT * FROM Word ORDER BY index;";
const char* const EditorSql = "select * from word ORDER BY English";

// The failure number of action, or 0 when it succeeds.
int failureOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const DbError& error) {
        return error.number();
    }
    return 0;
}

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

        editor.AddNew();
        QCOMPARE(failureOf([&] { editor.setFields("index", 7); }), int(FieldNotUpdatable));
        editor.setFields("english", "kettle");
        editor.setFields("russian", "чайник");
        QCOMPARE(editor.Fields("English").toString(), QString("kettle"));
        // A move drops the unsaved record.
        editor.MoveFirst();
        QCOMPARE(failureOf([&] { editor.Update(); }), int(UpdateWithoutAddNewOrEdit));
        QCOMPARE(rawPairs(path), SomePairs);
    }
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
