#include "dialogs/options/optionsopener.h"

#include <utility>

namespace options {

OptionsOpener::OptionsOpener(settings::SettingsStore& store, settings::Settings& values,
                             OptionsHost& host, ServicesFactory services, QObject* parent)
    : QObject(parent), m_store(store), m_values(values), m_host(host),
      m_services(std::move(services))
{}

OptionsOpener::~OptionsOpener()
{
    delete m_dialog.data();
}

void OptionsOpener::open(QPoint topLeft)
{
    if (!m_dialog) {
        m_dialog = new OptionsDialog(m_store, m_values, m_host,
                                     m_services ? m_services() : OptionsServices{});
        m_dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_dialog, &OptionsDialog::wordBookEditorRequested, this,
                &OptionsOpener::wordBookEditorRequested);
    }
    m_dialog->move(topLeft);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

} // namespace options
