#include "dialogkit/DialogFont.h"

#include "dialogkit/DialogUnits.h"
#include "dialogkit/Utf8Text.h"

#include <QApplication>
#include <QStringList>

namespace lumora::dialogkit {
namespace {

constexpr int kLogicalDpi = 96;
constexpr int kPointsPerInch = 72;

QStringList familiesFor(std::string_view face) {
    const QString name = utf8Text(face);
    if (name == QStringLiteral("굴림") || name.compare(QStringLiteral("Gulim"), Qt::CaseInsensitive) == 0) {
        return {QStringLiteral("굴림"), QStringLiteral("Gulim"), QStringLiteral("Baekmuk Gulim"),
                QStringLiteral("NanumGothic")};
    }
    return {name};
}

} // namespace

QFont dialogFont(const FontTemplate& font) {
    QFont result;
    result.setFamilies(familiesFor(font.face));
    result.setPixelSize(DialogUnits::mulDiv(font.pointSize, kLogicalDpi, kPointsPerInch));
    // Weight 0 asks for the default, which is normal; Qt shares the 100 to 900 scale otherwise.
    result.setWeight(font.weight == 0 ? QFont::Normal : static_cast<QFont::Weight>(font.weight));
    result.setItalic(font.italic);
    return result;
}

QFont templateFont(const DialogTemplate& dialogTemplate) {
    return (dialogTemplate.style & style::kSetFont) != 0 ? dialogFont(dialogTemplate.font)
                                                         : QApplication::font();
}

} // namespace lumora::dialogkit
