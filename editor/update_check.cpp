#include "update_check.h"

#include <QFileInfo>

namespace vrayu {

QString UpdateCheckAddress(const QString& site, const ProgramVersion& v, const QString& exeName) {
    return site + QStringLiteral(
                      "checkupdates.asp?major=%1&minor=%2&revision=%3&exename=%4"
                      "&glyfafontmajor=%5&glyfafontminor=%6")
                      .arg(v.major)
                      .arg(v.minor)
                      .arg(v.revision)
                      .arg(ExecutableBaseName(exeName))
                      .arg(kShippedFontMajor)
                      .arg(kShippedFontMinor);
}

QString ExecutableBaseName(const QString& exePath) {
    const QString name = QFileInfo(exePath).fileName();
    const qsizetype dot = name.lastIndexOf('.');
    return dot > 0 ? name.left(dot) : name;
}

}  // namespace vrayu
