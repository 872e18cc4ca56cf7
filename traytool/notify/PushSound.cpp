#include "traytool/notify/PushSound.h"

#include <QSoundEffect>
#include <QUrl>

CPushSound::CPushSound(const QString& filePath, QObject* parent)
    : QObject(parent), m_strFilePath(filePath), m_pEffect(new QSoundEffect(this))
{
    m_pEffect->setSource(QUrl::fromLocalFile(filePath));
}

void CPushSound::play()
{
    ++m_nPlayCount;
    m_pEffect->play();
}
