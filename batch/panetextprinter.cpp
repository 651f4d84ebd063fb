#include "panetextprinter.h"

#include "findingsprinter.h"
#include "jsontext.h"

namespace {

// One output line's JSON object, without the line end.
QByteArray jsonLine(const QString &action, const QString &check, const QString &text)
{
    return jsontext::object({{"action", action}, {"check", check}, {"text", text}});
}

} // namespace

PaneTextPrinter::PaneTextPrinter(Format format, int actionCount, std::FILE *out, std::FILE *progress)
    : m_format(format), m_actionCount(actionCount), m_out(out), m_progress(progress)
{
}

void PaneTextPrinter::actionStarted(const QString &action)
{
    m_action = action;
    m_checksStarted = 0;
    m_texts = 0;
    progress(QStringLiteral("[%1/%2] %3: started").arg(m_actionsDone + 1).arg(m_actionCount).arg(action));
}

void PaneTextPrinter::actionFinished()
{
    ++m_actionsDone;
    progress(QStringLiteral("[%1/%2] %3: done (checks run: %4, texts shown: %5); %1 of %2 actions done")
                 .arg(m_actionsDone)
                 .arg(m_actionCount)
                 .arg(m_action)
                 .arg(m_checksStarted)
                 .arg(m_texts));
}

void PaneTextPrinter::checkStarted(const QString &check)
{
    ++m_checksStarted;
    progress(QStringLiteral("[%1/%2] %3: check %4 running: %5")
                 .arg(m_actionsDone + 1)
                 .arg(m_actionCount)
                 .arg(m_action)
                 .arg(m_checksStarted)
                 .arg(check));
}

void PaneTextPrinter::paneTextAppended(const QString &check, const QString &text)
{
    ++m_texts;
    write((m_format == Format::JsonLines ? jsonLine(m_action, check, text) : text.toUtf8()) + '\n');
}

void PaneTextPrinter::findingsShown(const findings::Review &review, const QString &paneText)
{
    // As JSON, the findings themselves rather than the block listing them.
    if (m_format == Format::JsonLines)
        write(findingsprinter::jsonLines(review));
    else
        paneTextAppended(QStringLiteral("findings"), paneText);
}

void PaneTextPrinter::write(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), m_out);
    // A reader on the other end of a pipe sees each text as it comes.
    std::fflush(m_out);
}

void PaneTextPrinter::progress(const QString &message)
{
    std::fprintf(m_progress, "SupportToolBatch: %s\n", message.toLocal8Bit().constData());
    std::fflush(m_progress);
}
