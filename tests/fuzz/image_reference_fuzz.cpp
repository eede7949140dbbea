// Any bytes as the value of an image reference and as a gradient text.

#include "fuzz_support.h"

KESTA_FUZZ_TARGET(fuzzImageReference)(const uint8_t* data, size_t size) {
    fuzzing::prepare();
    QString value = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    value.replace(u'\n', u' ').replace(u'\r', u' ');
    try {
        parseGradient(value, QStringLiteral("fuzz"));
    } catch (const std::exception&) {
    }
    TsSkinSource source;
    source.text = TsSkinText::parse(
        ("[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[PANEL]\nBORDERSMASK=" + value +
         "\n[BUTTON]\nPARENTCLASS=PANEL\nGLYPHMASK=" + value + "\nPATTERN=" + value + "\n")
            .toLatin1());
    fuzzing::load(std::move(source));
    return 0;
}
