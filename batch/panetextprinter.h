#pragma once
// Prints what the window's pane receives: each text on standard output,
// plain or as one JSON object per line, and the progress of the run on
// standard error.

#include "window/paneobserver.h"

#include <QString>

#include <cstdio>

class PaneTextPrinter : public PaneObserver
{
public:
    enum class Format { Plain, JsonLines };

    PaneTextPrinter(Format format, int actionCount, std::FILE *out = stdout, std::FILE *progress = stderr);

    // Brackets one requested action; texts in between belong to it.
    void actionStarted(const QString &action);
    void actionFinished();

    void checkStarted(const QString &check) override;
    void paneTextAppended(const QString &check, const QString &text) override;
    void findingsShown(const findings::Review &review, const QString &paneText) override;

private:
    void progress(const QString &message);
    void write(const QByteArray &bytes);

    Format m_format;
    int m_actionCount;
    std::FILE *m_out;
    std::FILE *m_progress;
    int m_actionsDone = 0;
    QString m_action;
    int m_checksStarted = 0;
    int m_texts = 0;
};
