// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

namespace jt4dds {

// Plays WAV files through the audio module, which it loads on the first
// play: a window that never plays a minute never loads Qt Multimedia.
class AudioPlayer final : public QObject {
    Q_OBJECT

public:
    explicit AudioPlayer(QObject* parent);

    // Starts `wavPath`; false, with why() saying so, when there is no audio
    // output to play it on.
    bool play(const QString& wavPath);
    void stop();
    bool playing() const;
    QString why() const { return why_; }

    // Where the audio module lies beside this program; empty when it is not there.
    static QString modulePath();

signals:
    void playingChanged(bool playing);

private slots:
    void stateChanged();

private:
    bool load();

    QObject* player_ = nullptr;
    QString why_;
};

}  // namespace jt4dds
