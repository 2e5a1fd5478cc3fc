#include "agenttestsupport.h"

#include "common/speech/agent/agent.h"
#include "common/speech/agent/characterwindow.h"
#include "common/speech/agent/positionstore.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

using speech::agent::Agent;
using speech::agent::AgentOptions;
using speech::agent::CharacterWindow;
using speech::agent::DesktopCharacter;

class TestAgent : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void userFolderComesFirst();
    void listsEachNameOnce();
    void extensionAndNamesIgnoreCase();
    void refusesBadNamesAndFiles();
    void unloadReleasesCharacter();
    void draggedPositionIsRemembered();
    void windowMaskFollowsFrame();

private:
    std::unique_ptr<Agent> makeAgent();
    static void write(const QString& path, const QByteArray& bytes);

    QString m_user;
    QString m_shipped;
    agenttest::FakeClock m_clock;
    agenttest::FakeRandom m_random;
};

void TestAgent::init()
{
    auto& env = testsupport::TestEnvironment::instance();
    env.reset();
    m_user = env.dataHome() + "/Velkor/msagent/chars";
    m_shipped = env.root() + "/app/msagent/chars";
    QVERIFY(QDir(env.root() + "/app").removeRecursively());
    QVERIFY(QDir().mkpath(m_user));
    QVERIFY(QDir().mkpath(m_shipped));
}

std::unique_ptr<Agent> TestAgent::makeAgent()
{
    AgentOptions options;
    options.userFolder = m_user;
    options.shippedFolder = m_shipped;
    options.positionFile =
        testsupport::TestEnvironment::instance().configHome() + "/Velkor/characters.ini";
    options.clock = &m_clock;
    options.random = &m_random;
    return std::make_unique<Agent>(std::make_unique<agenttest::FakeSynthesizer>(), options);
}

void TestAgent::write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

void TestAgent::userFolderComesFirst()
{
    QByteArray user = agenttest::tinyCharacter();
    user.replace("size 32 32", "size 40 40");
    write(m_user + "/Tiny.acs", user);
    write(m_shipped + "/Tiny.acs", agenttest::tinyCharacter());
    write(m_shipped + "/Other.acs", agenttest::tinyCharacter());
    auto agent = makeAgent();

    QVERIFY(agent->Load("Tiny", "Tiny.acs"));
    auto* tiny = static_cast<DesktopCharacter*>(agent->Character("tiny"));
    QVERIFY(tiny);
    QCOMPARE(tiny->data().width, 40);
    QCOMPARE(tiny->name(), QStringLiteral("Tiny"));

    // Found in the shipped folder only; the extension may be left off.
    QVERIFY(agent->Load("Other", "Other"));
    QCOMPARE(static_cast<DesktopCharacter*>(agent->Character("Other"))->data().width, 32);

    // A damaged user copy is refused, not skipped in favour of the shipped one:
    // the learner's file is the one that name stands for.
    write(m_user + "/Tiny.acs", "VELKOR-ACS 1\nname Broken\n");
    QVERIFY(!agent->Load("Tiny2", "Tiny.acs"));
    QVERIFY(agent->lastError().contains(m_user));
}

void TestAgent::listsEachNameOnce()
{
    write(m_user + "/Merlin.acs", "x");
    write(m_user + "/Own.acs", "x");
    write(m_user + "/notes.txt", "x");
    write(m_shipped + "/Merlin.acs", "x");
    write(m_shipped + "/Sova.acs", "x");
    QVERIFY(QDir().mkpath(m_shipped + "/Folder.acs"));
    QCOMPARE(makeAgent()->availableCharacters(), QStringList({"Merlin", "Own", "Sova"}));

    AgentOptions missing;
    missing.userFolder = m_user + "/nowhere";
    QVERIFY(Agent::availableCharacters(missing).isEmpty());
}

// "Owl.ACS" is listed and loads as "Owl"; a name in both folders, whatever
// its case, is listed once, as the learner's folder spells it.
void TestAgent::extensionAndNamesIgnoreCase()
{
    write(m_user + "/Owl.ACS", agenttest::tinyCharacter());
    write(m_user + "/merlin.Acs", "x");
    write(m_shipped + "/Merlin.acs", "x");
    write(m_shipped + "/OWL.acs", "x");
    write(m_shipped + "/Rivet.acsx", "x");
    AgentOptions folders;
    folders.userFolder = m_user;
    folders.shippedFolder = m_shipped;
    QCOMPARE(Agent::characterFiles(folders), QStringList({"merlin.Acs", "Owl.ACS"}));
    QCOMPARE(Agent::availableCharacters(folders), QStringList({"Owl", "merlin"}));

    auto agent = makeAgent();
    QVERIFY2(agent->Load("Owl", "Owl.acs"), qPrintable(agent->lastError()));
    QCOMPARE(agent->resolve("owl.acs"), m_user + "/Owl.ACS");
}

void TestAgent::refusesBadNamesAndFiles()
{
    write(m_shipped + "/Tiny.acs", agenttest::tinyCharacter());
    write(m_shipped + "/Empty.acs", "");
    write(m_shipped + "/Garbage.acs", QByteArray(5000, '\xAB'));
    write(m_shipped + "/Half.acs", agenttest::tinyCharacter().left(300));
    write(m_user + "/../Secret.acs", agenttest::tinyCharacter());
    auto agent = makeAgent();

    for (const char* file : {"Missing.acs", "Empty.acs", "Garbage.acs", "Half.acs", "../Secret.acs",
                             "../../Velkor/Secret.acs", "", "/etc/passwd"}) {
        QVERIFY2(!agent->Load("X", file), file);
        QVERIFY(!agent->Character("X"));
        QVERIFY(!agent->lastError().isEmpty());
    }
    QVERIFY(agent->Load("X", "Tiny.acs"));
    QVERIFY(agent->lastError().isEmpty());
}

void TestAgent::unloadReleasesCharacter()
{
    write(m_shipped + "/Tiny.acs", agenttest::tinyCharacter());
    auto agent = makeAgent();
    QVERIFY(agent->Load("Tiny", "Tiny.acs"));
    auto* tiny = agent->Character("Tiny");
    QPointer<QObject> guard(tiny);
    QSignalSpy done(tiny, &speech::AgentCharacter::requestComplete);
    const quint64 show = tiny->Show();
    QVERIFY(tiny->Visible());
    agent->Unload("TINY");
    QVERIFY(!agent->Character("Tiny"));
    // Pending requests are reported dropped; the object goes once events run.
    QCOMPARE(done.size(), 1);
    QCOMPARE(done.at(0).at(0).toULongLong(), show);
    QTRY_VERIFY(guard.isNull());
    agent->Unload("Tiny"); // not loaded: ignored
}

void TestAgent::draggedPositionIsRemembered()
{
    write(m_shipped + "/Tiny.acs", agenttest::tinyCharacter());
    QPoint dropped;
    {
        auto agent = makeAgent();
        QVERIFY(agent->Load("Tiny", "Tiny.acs"));
        auto* tiny = static_cast<DesktopCharacter*>(agent->Character("Tiny"));
        tiny->Show();
        CharacterWindow* window = tiny->window();
        const QPoint start = window->pos();
        const QPointF grab(10, 10);
        const QPointF grabGlobal = QPointF(start) + grab;
        QMouseEvent press(QEvent::MouseButtonPress, grab, grabGlobal, Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &press);
        const QPointF toGlobal = grabGlobal - QPointF(123, 45);
        QMouseEvent move(QEvent::MouseMove, grab, toGlobal, Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(window, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, grab, toGlobal, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window, &release);
        dropped = start - QPoint(123, 45);
        QCOMPARE(window->pos(), dropped);
        // A move the program asks for is not the learner's choice.
        m_clock.now += 1000;
        tiny->tick();
        tiny->MoveTo(3, 4);
        QCOMPARE(window->pos(), QPoint(3, 4));
    }
    auto agent = makeAgent();
    QVERIFY(agent->Load("Tiny", "Tiny.acs"));
    QCOMPARE(static_cast<DesktopCharacter*>(agent->Character("Tiny"))->window()->pos(), dropped);
    // Another character keeps its own place.
    QVERIFY(agent->Load("Other", "Tiny.acs"));
    QVERIFY(static_cast<DesktopCharacter*>(agent->Character("Other"))->window()->pos() != dropped);
    // A place on a screen that has gone is not used.
    speech::agent::PositionStore positions(testsupport::TestEnvironment::instance().configHome() +
                                           "/Velkor/characters.ini");
    positions.setPosition("Far", QPoint(50000, 50000));
    // At the very end of the numbers: no overflow (UBSan), a place on the screen.
    positions.setPosition("Edge", QPoint(2147483647, 2147483647));
    for (const char* name : {"Far", "Edge"}) {
        QVERIFY(agent->Load(name, "Tiny.acs"));
        QVERIFY(QGuiApplication::screenAt(
            static_cast<DesktopCharacter*>(agent->Character(name))->window()->geometry().center()));
    }
}

void TestAgent::windowMaskFollowsFrame()
{
    write(m_shipped + "/Tiny.acs", agenttest::tinyCharacter());
    auto agent = makeAgent();
    QVERIFY(agent->Load("Tiny", "Tiny.acs"));
    auto* tiny = static_cast<DesktopCharacter*>(agent->Character("Tiny"));
    CharacterWindow* window = tiny->window();
    QVERIFY(window->windowFlags().testFlags(Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint |
                                            Qt::Tool));
    QVERIFY(window->testAttribute(Qt::WA_TranslucentBackground));
    tiny->Show();
    // Show's first frame draws the square at (0,0): 24 x 24 at (4,4).
    QCOMPARE(window->size(), QSize(32, 32));
    QCOMPARE(window->mask().boundingRect(), QRect(4, 4, 24, 24));
    m_clock.now += 400;
    tiny->tick();
    tiny->Play("Blink"); // drawn one pixel lower
    QCOMPARE(window->mask().boundingRect(), QRect(4, 5, 24, 24));
}

QTEST_MAIN(TestAgent)
#include "tst_agent.moc"
