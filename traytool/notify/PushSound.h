#pragma once
// The push sound, "PushSound.wav" beside the program, played asynchronously.
// Without an audio device, or without the file, nothing is heard and nothing
// is reported.

#include <QObject>
#include <QString>

class QSoundEffect;

class CPushSound : public QObject {
    Q_OBJECT

public:
    explicit CPushSound(const QString& filePath, QObject* parent = nullptr);

    void play();
    QString filePath() const { return m_strFilePath; }
    // How often play() was asked for in this run.
    int playCount() const { return m_nPlayCount; }

private:
    QString m_strFilePath;
    QSoundEffect* m_pEffect = nullptr;
    int m_nPlayCount = 0;
};
