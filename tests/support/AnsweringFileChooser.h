#pragma once

#include "platform/FileChooser.h"

#include <QStringList>

namespace tessaly::testing {

// Answers the file and folder dialogs in turn from `answers` (cancelled once
// none is left), records where each one opened, and shows nothing.
class AnsweringFileChooser : public FileChooser
{
public:
    QString openFile(const QString &filter) override { return openFileIn(filter, QString()); }
    QString openFileIn(const QString &, const QString &startFolder) override { return answer(startFolder); }
    QString chooseFolder(const QString &startFolder) override { return answer(startFolder); }

    QStringList answers;
    QStringList startFolders;

private:
    QString answer(const QString &startFolder)
    {
        startFolders.append(startFolder);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

} // namespace tessaly::testing
