// SPDX-License-Identifier: GPL-3.0-or-later
// jt4dds-play FILE.wav: plays one minute and exits. The window runs it as a
// process of its own, so that Qt Multimedia and the sound system behind it
// are loaded only to play, and a media framework that fails (missing plugins,
// no sound server) can end this process but never the window. What went
// wrong is its last line on standard error; the status says what kind:
//   0 played to its end   2 usage   3 no audio output   4 the player failed
#include <QAudioDevice>
#include <QAudioOutput>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <cstdio>

namespace {

[[noreturn]] void quit(int status, const QString& why) {
    if (!why.isEmpty()) std::fprintf(stderr, "%s\n", why.toUtf8().constData());
    std::fflush(stderr);
    std::_Exit(status);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) quit(2, QStringLiteral("usage: jt4dds-play FILE.wav"));
    if (QMediaDevices::audioOutputs().isEmpty())
        quit(3, QStringLiteral("no audio output: no sound card, or no sound server running"));
    QMediaPlayer player;
    QAudioOutput output;
    player.setAudioOutput(&output);
    QObject::connect(&player, &QMediaPlayer::errorOccurred, [](QMediaPlayer::Error, const QString& text) {
        quit(4, text.isEmpty() ? QStringLiteral("the media player failed") : text);
    });
    QObject::connect(&player, &QMediaPlayer::mediaStatusChanged, [](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::EndOfMedia) quit(0, {});
        if (status == QMediaPlayer::InvalidMedia)
            quit(4, QStringLiteral("the media framework cannot read the WAV file"));
    });
    // A framework that never starts the minute is no player either.
    QTimer::singleShot(10000, [&player] {
        if (player.playbackState() != QMediaPlayer::PlayingState)
            quit(4, QStringLiteral("the media framework did not start the minute within 10 s"));
    });
    player.setSource(QUrl::fromLocalFile(args.at(1)));
    player.play();
    return QCoreApplication::exec();
}
