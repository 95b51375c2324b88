// SPDX-License-Identifier: GPL-3.0-or-later
// The window's audio output, in a module of its own: Qt Multimedia and the
// sound system's libraries behind it are loaded when the first minute is
// played, not when the program starts.
#include <QAudioOutput>
#include <QMediaPlayer>

// A media player with its audio output, owned by `parent`. The window drives
// it through its slots (setSource, play, stop) and its playbackState property.
extern "C" Q_DECL_EXPORT QObject* jt4dds_audio_player(QObject* parent) {
    auto* player = new QMediaPlayer(parent);
    player->setAudioOutput(new QAudioOutput(player));
    return player;
}
