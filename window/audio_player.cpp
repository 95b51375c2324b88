// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/audio_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QMetaMethod>
#include <QUrl>

namespace jt4dds {
namespace {

// Where the module lies beside the program: installed, under the library
// directory; in a build tree, in lib/jt4dds at its top (programs one or two
// folders below it).
QStringList moduleCandidates() {
    const QString app = QCoreApplication::applicationDirPath();
    QStringList out;
    for (const QString& up : {QStringLiteral("/.."), QStringLiteral("/../..")}) {
        out << app + up + QStringLiteral("/" JT4DDS_INSTALL_LIBDIR "/jt4dds/libjt4dds_audio.so");
        out << app + up + QStringLiteral("/lib/jt4dds/libjt4dds_audio.so");
    }
    return out;
}

// The QMediaPlayer::PlayingState value of its playbackState property.
constexpr int kPlayingState = 1;

}  // namespace

AudioPlayer::AudioPlayer(QObject* parent) : QObject(parent) {}

QString AudioPlayer::modulePath() {
    for (const QString& path : moduleCandidates())
        if (QFileInfo::exists(path)) return QDir::cleanPath(path);
    return {};
}

bool AudioPlayer::load() {
    if (player_) return true;
    using Make = QObject* (*)(QObject*);
    if (const QString path = modulePath(); !path.isEmpty()) {
        QLibrary module(path);
        const auto make = reinterpret_cast<Make>(module.resolve("jt4dds_audio_player"));
        if (!make) {
            why_ = QStringLiteral("the audio module does not load: ") + module.errorString();
            return false;
        }
        player_ = make(this);
        const QMetaObject* meta = player_->metaObject();
        const QMetaMethod changed = meta->property(meta->indexOfProperty("playbackState")).notifySignal();
        connect(player_, changed, this, metaObject()->method(metaObject()->indexOfSlot("stateChanged()")));
        return true;
    }
    if (why_.isEmpty()) why_ = QStringLiteral("the audio module (libjt4dds_audio.so) is not installed");
    return false;
}

bool AudioPlayer::play(const QString& wavPath) {
    if (!load()) return false;
    QMetaObject::invokeMethod(player_, "setSource", Q_ARG(QUrl, QUrl::fromLocalFile(wavPath)));
    QMetaObject::invokeMethod(player_, "play");
    return true;
}

void AudioPlayer::stop() {
    if (player_) QMetaObject::invokeMethod(player_, "stop");
}

bool AudioPlayer::playing() const { return player_ && player_->property("playbackState").toInt() == kPlayingState; }

void AudioPlayer::stateChanged() { emit playingChanged(playing()); }

}  // namespace jt4dds
