// Opening the options dialog, from the menu's "&Options..." to the dialog's
// first paint, next to opening a plain QDialog with the same widgets (same
// kinds, texts and places, standard Qt classes in place of the skin), both in
// the same run. Target: under 100 ms. Run it on the screen to measure:
//   xvfb-run -a <build>/bench/bin/bench_optionsdialog
// or with QT_QPA_PLATFORM=offscreen for the cost without a display server.
#include "common/settings/settings.h"
#include "common/settings/settingsstore.h"
#include "dialogs/menu/menuhost.h"
#include "dialogs/menu/popupmenu.h"
#include "dialogs/options/optionshost.h"
#include "dialogs/options/optionsopener.h"
#include "skin/captionbutton.h"
#include "skin/skinbutton.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

// The strip, doing nothing: only the dialog's own cost is measured.
class QuietStrip final : public menu::MenuHost, public options::OptionsHost
{
public:
    speech::AgentCharacter* currentCharacter() const override { return nullptr; }
    void exitByMenu() override {}
    bool menuHotSpotEnabled() const override { return true; }
    void setMenuHotSpotEnabled(bool) override {}
    double widthTwips() const override { return 6000; }
    int fullHeightTwips() const override { return 360; }
    double twipsPerPixel() const override { return 15; }
    QPoint originOnScreen() const override { return {}; }
    void layOutForFontSize() override {}
    void rememberWindowRect() override {}
    void repaintStrip() override {}
    void setLineTextColour(double) override {}
    void setBackColour(double) override {}
    void setRussianLineCaption(const QString&) override {}
    void hideCharacter() override {}
    void showCharacter() override {}
    void pausePresentation() override {}
    void resumePresentation() override {}
    qint16 countdownValue() const override { return 1; }
    void autoHideChanged() override {}
    void stressMarksChanged() override {}
};

// Notes the first paint of any widget in a window of the kind being timed.
class PaintWatch final : public QObject
{
public:
    std::function<bool(const QWidget*)> timed;
    bool painted = false;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && timed && watched->isWidgetType() &&
            timed(static_cast<QWidget*>(watched)->window()))
            painted = true;
        return false;
    }
};

PaintWatch* g_watch = nullptr;

bool isOptionsDialog(const QWidget* window)
{
    return qobject_cast<const options::OptionsDialog*>(window) != nullptr;
}

// Processes events until the window has painted; false after five seconds.
bool untilPainted()
{
    QElapsedTimer limit;
    limit.start();
    while (!g_watch->painted) {
        if (limit.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

// A standard widget standing for one of the dialog's, with the same text and
// place; composite widgets bring their own parts, as the originals do.
QWidget* standIn(QWidget* original, QWidget* parent, bool& descend)
{
    descend = false;
    QWidget* copy = nullptr;
    if (auto* radio = qobject_cast<QRadioButton*>(original)) {
        copy = new QRadioButton(radio->text(), parent);
    } else if (auto* check = qobject_cast<QCheckBox*>(original)) {
        copy = new QCheckBox(check->text(), parent);
    } else if (auto* label = qobject_cast<QLabel*>(original)) {
        copy = new QLabel(label->text(), parent);
        descend = true;
    } else if (auto* box = qobject_cast<QLineEdit*>(original)) {
        copy = new QLineEdit(box->text(), parent);
    } else if (auto* bar = qobject_cast<QScrollBar*>(original)) {
        copy = new QScrollBar(bar->orientation(), parent);
    } else if (auto* list = qobject_cast<QListWidget*>(original)) {
        auto* items = new QListWidget(parent);
        for (int i = 0; i < list->count(); ++i)
            items->addItem(list->item(i)->text());
        copy = items;
    } else if (auto* tabs = qobject_cast<QTabBar*>(original)) {
        auto* bar = new QTabBar(parent);
        for (int i = 0; i < tabs->count(); ++i)
            bar->addTab(tabs->tabText(i));
        copy = bar;
    } else if (auto* group = qobject_cast<QGroupBox*>(original)) {
        copy = new QGroupBox(group->title(), parent);
        descend = true;
    } else if (auto* button = qobject_cast<skin::SkinButton*>(original)) {
        copy = new QPushButton(button->caption(), parent);
    } else if (qobject_cast<skin::CaptionButton*>(original)) {
        copy = new QToolButton(parent);
    } else {
        copy = new QWidget(parent);
        descend = true;
    }
    copy->setGeometry(original->geometry());
    copy->setFont(original->font());
    copy->setVisible(original->isVisibleTo(original->parentWidget()));
    return copy;
}

void copyChildren(QWidget* original, QWidget* copy)
{
    for (QObject* child : original->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow())
            continue;
        bool descend = false;
        QWidget* made = standIn(widget, copy, descend);
        if (descend)
            copyChildren(widget, made);
    }
}

struct Bench {
    QTemporaryDir home;
    settings::Settings values;
    QuietStrip strip;
    std::unique_ptr<settings::SettingsStore> store;
    std::unique_ptr<menu::PopupMenu> menu;
    std::unique_ptr<options::OptionsOpener> opener;
    // The plain dialog's pattern: the options dialog's widgets, copied once.
    std::unique_ptr<QWidget> pattern;
    QAction plainItem{QStringLiteral("&Plain...")};
    std::unique_ptr<QDialog> plain;
    int optionsWidgets = 0;
    double coldOptionsMs = 0;

    Bench()
    {
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        store = std::make_unique<settings::SettingsStore>();
        values.showsPerPair = 1;
        values.russianSeconds = 5;
        values.englishSeconds = 3;
        values.speechSpeed = 90;
        values.fontSize = 12;
        values.topic = 14;
        values.textColour = 16777215;
        values.backColour = 11230520;
        menu = std::make_unique<menu::PopupMenu>(strip);
        opener = std::make_unique<options::OptionsOpener>(*store, values, strip, [] {
            options::OptionsServices services;
            services.characterFiles = [] {
                return QStringList({"Merlin.acs", "Rivet.acs", "Sova.acs"});
            };
            services.autoStart = [](qint16) {};
            return services;
        });
        QObject::connect(menu.get(), &menu::PopupMenu::optionsRequested, opener.get(),
                         [this] { opener->open(QPoint(100, 100)); });

        // The first opening, with nothing warmed up yet.
        QElapsedTimer cold;
        cold.start();
        g_watch->timed = isOptionsDialog;
        g_watch->painted = false;
        menu->optionsItem()->trigger();
        untilPainted();
        coldOptionsMs = double(cold.nsecsElapsed()) / 1e6;
        pattern = std::make_unique<QWidget>();
        pattern->resize(opener->dialog()->size());
        copyChildren(opener->dialog(), pattern.get());
        optionsWidgets = widgetsOf(opener->dialog());
        // Parts the skin widgets make for themselves (caption labels) have no
        // stand-in; empty labels make the count equal.
        for (int i = widgetsOf(pattern.get()); i < optionsWidgets; ++i)
            new QLabel(pattern.get());
        closeOptions();
        QObject::connect(&plainItem, &QAction::triggered, [this] {
            plain = std::make_unique<QDialog>();
            plain->resize(pattern->size());
            copyChildren(pattern.get(), plain.get());
            plain->move(100, 100);
            plain->show();
        });
    }

    void closeOptions()
    {
        opener->dialog()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    int widgetsOf(QWidget* window) const { return int(window->findChildren<QWidget*>().size()); }
};

Bench* g_bench = nullptr;

// Opens, times to the first paint of a window of the timed kind, closes
// (untimed).
template <typename Open, typename Close>
void timeOpening(benchmark::State& state, Open open, std::function<bool(const QWidget*)> timed,
                 Close close)
{
    g_watch->timed = std::move(timed);
    for (auto _ : state) {
        g_watch->painted = false;
        open();
        if (!untilPainted()) {
            state.SkipWithError("no paint within five seconds");
            break;
        }
        state.PauseTiming();
        close();
        state.ResumeTiming();
    }
}

void OptionsDialogFromMenu(benchmark::State& state)
{
    // Known by its class, the dialog's paints count even while it is built.
    timeOpening(
        state, [] { g_bench->menu->optionsItem()->trigger(); }, isOptionsDialog,
        [] { g_bench->closeOptions(); });
    state.counters["widgets"] = g_bench->optionsWidgets;
}
BENCHMARK(OptionsDialogFromMenu)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void PlainDialogSameWidgets(benchmark::State& state)
{
    timeOpening(
        state, [] { g_bench->plainItem.trigger(); },
        [](const QWidget* w) { return qobject_cast<const QDialog*>(w) != nullptr; },
        [] {
            g_bench->plain.reset();
            QCoreApplication::processEvents();
        });
    g_bench->plainItem.trigger();
    state.counters["widgets"] = g_bench->widgetsOf(g_bench->plain.get());
    g_bench->plain.reset();
}
BENCHMARK(PlainDialogSameWidgets)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    PaintWatch watch;
    g_watch = &watch;
    app.installEventFilter(&watch);
    Bench bench;
    g_bench = &bench;
    std::printf("widgets: options dialog %d, plain copy %d\n", bench.optionsWidgets,
                bench.widgetsOf(bench.pattern.get()));
    std::printf("first opening of the options dialog, menu to paint: %.1f ms\n",
                bench.coldOptionsMs);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
