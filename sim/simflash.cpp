#include "sim/simflash.h"

#include <QCryptographicHash>

QByteArray SimFlash::digest() const {
    return QCryptographicHash::hash(image, QCryptographicHash::Sha256);
}
