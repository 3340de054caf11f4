#include "dialogkit/UnscaledFont.h"

#include <QFontInfo>

#include <fontconfig/fontconfig.h>
#include <memory>

namespace lumora::dialogkit {
namespace {

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

// What fontconfig asks of the family Qt picked, at the font's pixel size, as Qt asks it.
Pattern matchFor(const QFont& font) {
    const QFontInfo resolved(font);
    const Pattern query(FcPatternCreate());
    if (!query) {
        return nullptr;
    }
    const QByteArray family = resolved.family().toUtf8();
    FcPatternAddString(query.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.constData()));
    FcPatternAddDouble(query.get(), FC_PIXEL_SIZE, resolved.pixelSize());
    FcConfigSubstitute(nullptr, query.get(), FcMatchPattern);
    FcDefaultSubstitute(query.get());
    FcResult result = FcResultNoMatch;
    return Pattern(FcFontMatch(nullptr, query.get(), &result));
}

QFont::HintingPreference hintingFor(int hintStyle) {
    switch (hintStyle) {
    case FC_HINT_NONE:
        return QFont::PreferNoHinting;
    case FC_HINT_SLIGHT:
        return QFont::PreferVerticalHinting;
    default:
        return QFont::PreferFullHinting;
    }
}

} // namespace

QFont unscaledFont(const QFont& font) {
    QFont result = font;
    const Pattern match = matchFor(font);
    if (!match) {
        return result;
    }
    int hintStyle = FC_HINT_SLIGHT;
    if (FcPatternGetInteger(match.get(), FC_HINT_STYLE, 0, &hintStyle) == FcResultMatch) {
        result.setHintingPreference(hintingFor(hintStyle));
    }
    FcBool antialias = FcTrue;
    if (FcPatternGetBool(match.get(), FC_ANTIALIAS, 0, &antialias) == FcResultMatch && antialias == FcFalse) {
        result.setStyleStrategy(QFont::NoAntialias);
    }
    return result;
}

} // namespace lumora::dialogkit
