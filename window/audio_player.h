// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

namespace jt4dds {

// Plays WAV files through jt4dds-play, a process of its own: the window never
// loads Qt Multimedia, and a sound system that fails or crashes ends only
// that process. Whatever stops a minute early is said through stopped().
class AudioPlayer final : public QObject {
    Q_OBJECT

public:
    explicit AudioPlayer(QObject* parent);

    // Starts `wavPath`; false, with why() saying so, when the player is not
    // installed or does not start.
    bool play(const QString& wavPath);
    // Ends the minute playing, if one is; stopped() then says nothing.
    void stop();
    bool playing() const { return process_.state() != QProcess::NotRunning; }
    QString why() const { return why_; }

    // Where jt4dds-play lies beside this program; empty when it is not there.
    static QString playerPath();

signals:
    void playingChanged(bool playing);
    // The minute ended: `why` is empty when it played to its end or Stop
    // ended it, else what went wrong ("no audio output: …").
    void stopped(const QString& why);

private:
    void finished(int status, QProcess::ExitStatus how);

    QProcess process_;
    bool stopping_ = false;
    QString why_;
};

}  // namespace jt4dds
