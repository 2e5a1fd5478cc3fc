// Opening the word book editor on a book of 100,000 pairs, from the request
// to the first paint of its list, next to the simplest list a program could
// show: a plain QListView over a QStringListModel filled with the same rows
// in the same order straight from SQLite, in a window of the same size.
// Both run in this process, one after the other, on the offscreen platform.
// Everything happens on the one GUI thread, so the time to the first paint
// is also the longest the program does not answer. A second pair of figures
// times the editor's actions on the open book; none may freeze the window.
#include "bench/wordbook/benchbook.h"
#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/editorcontroller.h"
#include "dialogs/wordbook/editormessages.h"
#include "dialogs/wordbook/wordbookeditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QListView>
#include <QStringListModel>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int BookSize = 100000;
QString g_book;

class NoMessages final : public wordbook::EditorMessages
{
public:
    void error(const QString&) override {}
};

// Notes the first paint of a widget.
class PaintWatch final : public QObject
{
public:
    explicit PaintWatch(QWidget* widget) { widget->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Runs the event loop until the watched widget has painted once.
void untilPainted(const PaintWatch& watch)
{
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
}

void dropClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void FirstPaint_editor(benchmark::State& state)
{
    const auto messages = std::make_shared<NoMessages>();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto editor = std::make_unique<wordbook::WordBookEditor>(
            wordbook::Connection(g_book, wordbook::ConnectionKind::Exclusive), messages);
        PaintWatch watch(editor->wordList()->viewport());
        editor->open();
        untilPainted(watch);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.counters["entries"] = editor->wordList()->model()->rowCount();
        editor->close();
        editor.reset();
        dropClosedWindows();
    }
}

void FirstPaint_plainListView(benchmark::State& state)
{
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QStringList texts;
        sqlite3* db = wordbookbench::openRaw(g_book);
        sqlite3_stmt* query = nullptr;
        wordbookbench::check(
            sqlite3_prepare_v2(db, wordbookbench::RawEditorSql, -1, &query, nullptr), db);
        while (sqlite3_step(query) == SQLITE_ROW) {
            texts << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, 1)),
                                       sqlite3_column_bytes(query, 1));
        }
        sqlite3_finalize(query);
        sqlite3_close_v2(db);
        QStringListModel model(texts);
        QListView view;
        view.resize(345, 465);
        view.setModel(&model);
        PaintWatch watch(view.viewport());
        view.show();
        untilPainted(watch);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.counters["entries"] = model.rowCount();
        view.close();
        dropClosedWindows();
    }
}

// The learner's actions on the open book, each shown before the next: to
// the last record, to the first, a click halfway down the list, a change
// saved, and a delete followed by an add, so the book keeps its size.
void Actions_editor(benchmark::State& state)
{
    const auto messages = std::make_shared<NoMessages>();
    wordbook::WordBookEditor editor(
        wordbook::Connection(g_book, wordbook::ConnectionKind::Exclusive), messages);
    editor.open();
    QCoreApplication::processEvents();
    wordbook::EditorController& controller = *editor.controller();
    long long round = 0;
    const auto shown = [&](auto&& action) {
        QElapsedTimer timer;
        timer.start();
        action();
        QCoreApplication::processEvents();
        return timer.nsecsElapsed();
    };
    qint64 longest = 0;
    for (auto _ : state) {
        ++round;
        QElapsedTimer timer;
        timer.start();
        const qint64 steps[] = {
            shown([&] { editor.lastButton()->click(); }),
            shown([&] { editor.firstButton()->click(); }),
            shown([&] { controller.selectEntry(BookSize / 2); }),
            shown([&] {
                controller.setRussianText(QStringLiteral("изменено %1").arg(round));
                controller.save();
            }),
            shown([&] {
                controller.selectEntry(BookSize / 3);
                controller.deleteRecord();
            }),
            shown([&] {
                controller.add();
                controller.setEnglishText(QStringLiteral("added %1").arg(round));
                controller.setRussianText(QStringLiteral("добавлено %1").arg(round));
                controller.save();
            }),
        };
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        for (qint64 step : steps)
            longest = std::max(longest, step);
    }
    state.counters["longest_action_ms"] = double(longest) / 1e6;
    editor.close();
}

} // namespace

BENCHMARK(FirstPaint_plainListView)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(FirstPaint_editor)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(Actions_editor)->Unit(benchmark::kMillisecond)->UseManualTime();

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return wordbookbench::runOnBook(argc, argv, BookSize, VELKOR_SHIPPED_BOOK, g_book);
}
