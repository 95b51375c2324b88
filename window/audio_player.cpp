// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/audio_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace jt4dds {
namespace {

// Where the player lies beside the program: installed, under the libexec
// directory; in a build tree, in libexec/jt4dds at its top (programs one or
// two folders below it).
QStringList playerCandidates() {
    const QString app = QCoreApplication::applicationDirPath();
    QStringList out;
    for (const QString& up : {QStringLiteral("/.."), QStringLiteral("/../..")}) {
        out << app + up + QStringLiteral("/" JT4DDS_INSTALL_LIBEXECDIR "/jt4dds/jt4dds-play");
        out << app + up + QStringLiteral("/libexec/jt4dds/jt4dds-play");
    }
    return out;
}

}  // namespace

AudioPlayer::AudioPlayer(QObject* parent) : QObject(parent) {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    connect(&process_, &QProcess::finished, this, &AudioPlayer::finished);
    connect(&process_, &QProcess::started, this, [this] { emit playingChanged(true); });
}

QString AudioPlayer::playerPath() {
    for (const QString& path : playerCandidates())
        if (QFileInfo(path).isExecutable()) return QDir::cleanPath(path);
    return {};
}

bool AudioPlayer::play(const QString& wavPath) {
    why_.clear();
    const QString path = playerPath();
    if (path.isEmpty()) {
        why_ = QStringLiteral("the player (jt4dds-play) is not installed beside the program");
        return false;
    }
    stopping_ = false;
    process_.start(path, {wavPath});
    if (!process_.waitForStarted()) {
        why_ = QStringLiteral("the player does not start: ") + process_.errorString();
        return false;
    }
    return true;
}

void AudioPlayer::stop() {
    if (!playing()) return;
    stopping_ = true;
    process_.kill();
}

void AudioPlayer::finished(int status, QProcess::ExitStatus how) {
    const QString said = QString::fromUtf8(process_.readAllStandardError()).trimmed().section(QLatin1Char('\n'), -1);
    if (stopping_ || (how == QProcess::NormalExit && status == 0))
        why_.clear();
    else if (how == QProcess::CrashExit)
        why_ = QStringLiteral(
            "the sound system crashed the player (are GStreamer's base and good plugins "
            "installed?)");
    else
        why_ = said.isEmpty() ? QStringLiteral("the player stopped with status %1").arg(status) : said;
    emit playingChanged(false);
    emit stopped(why_);
}

}  // namespace jt4dds
