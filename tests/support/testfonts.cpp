#include "support/testfonts.h"

#include <QByteArray>
#include <QtGlobal>

namespace testfonts {

void pin() {
    qputenv("FONTCONFIG_FILE", QByteArrayLiteral(GIMNASIO_TEST_FONTCONFIG));
}

} // namespace testfonts
