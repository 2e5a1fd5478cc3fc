#pragma once

#include "dialogs/options/optionsdialog.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

namespace options {

// Keeps at most one options dialog. The menu's "&Options..." builds it at the
// given place, or, while it is open, only moves it back there with its
// controls as they are. A closed dialog is released; the next opening builds
// it again.
class OptionsOpener final : public QObject
{
    Q_OBJECT

public:
    // Supplies what each new dialog reaches besides the strip (the real
    // services when it returns an empty set).
    using ServicesFactory = std::function<OptionsServices()>;

    OptionsOpener(settings::SettingsStore& store, settings::Settings& values, OptionsHost& host,
                  ServicesFactory services = {}, QObject* parent = nullptr);
    ~OptionsOpener() override;

    // topLeft in screen pixels.
    void open(QPoint topLeft);
    // The open dialog, or nullptr.
    OptionsDialog* dialog() const { return m_dialog; }

signals:
    // The dialog's "New Dialogs Manager".
    void wordBookEditorRequested();

private:
    settings::SettingsStore& m_store;
    settings::Settings& m_values;
    OptionsHost& m_host;
    ServicesFactory m_services;
    QPointer<OptionsDialog> m_dialog;
};

} // namespace options
