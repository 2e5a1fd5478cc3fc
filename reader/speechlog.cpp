#include "reader/speechlog.h"

#include <QDateTime>

namespace reader {

std::unique_ptr<SpeechLog> SpeechLog::fromEnvironment()
{
    const QString fileName = qEnvironmentVariable(kVariable);
    if (fileName.isEmpty())
        return nullptr;
    return std::make_unique<SpeechLog>(fileName);
}

SpeechLog::SpeechLog(const QString& fileName) : m_file(fileName)
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        qWarning("speech log not written: %s", qUtf8Printable(m_file.errorString()));
}

void SpeechLog::write(const QString& event)
{
    if (!m_file.isOpen())
        return;
    QString line = QString::number(QDateTime::currentMSecsSinceEpoch()) + u' ' + event;
    line.replace(u'\n', u' ').replace(u'\r', u' ');
    line += u'\n';
    m_file.write(line.toUtf8());
    m_file.flush();
}

} // namespace reader
