// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFileInfo>
#include <QString>

namespace jt4dds {

// Where the window's save dialogs open: the folder of the last file used (a
// beacon file opened or saved, an export, a WAV file) for as long as the
// program runs; before any, the working folder.
inline QString& lastSaveFolder() {
    static QString folder;
    return folder;
}
inline QString proposedSavePath(const QString& fileName) {
    return QDir(lastSaveFolder().isEmpty() ? QDir::currentPath() : lastSaveFolder()).filePath(fileName);
}
inline void rememberSaveFolder(const QString& written) { lastSaveFolder() = QFileInfo(written).absolutePath(); }

}  // namespace jt4dds
